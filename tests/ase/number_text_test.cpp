// Numbers of the ASE text: atof and atol leading-part rules, correctly
// rounded and independent of the locale.
#include "ase/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "comma_locale.h"

namespace {

double toDouble(const std::string& text) {
    return DecimalTextToDouble(text.c_str());
}

int32_t toInt(const std::string& text) {
    return DecimalTextToInt(text.c_str());
}

// Bit for bit, so that -0 differs from 0 and every rounding shows.
::testing::AssertionResult sameBits(const std::string& text, double expected) {
    const double got = toDouble(text);
    if (std::memcmp(&got, &expected, sizeof got) == 0) return ::testing::AssertionSuccess();
    char message[160];
    std::snprintf(message, sizeof message, "\"%s\" gave %.17g, expected %.17g", text.c_str(), got, expected);
    return ::testing::AssertionFailure() << message;
}

}  // namespace

// glibc's strtod in the C locale is correctly rounded: it is the reference.
TEST(NumberText, DecimalNumbersAreCorrectlyRounded) {
    std::mt19937_64 random(20240601);
    for (int i = 0; i < 300000; ++i) {
        std::string text;
        if (random() % 4 == 0) text += '-';
        const int digits = 1 + static_cast<int>(random() % 24);
        const int point = static_cast<int>(random() % (digits + 1));
        for (int d = 0; d < digits; ++d) {
            if (d == point) text += '.';
            text += static_cast<char>('0' + random() % 10);
        }
        if (random() % 3 == 0) text += "e" + std::to_string(static_cast<int>(random() % 80) - 40);
        ASSERT_TRUE(sameBits(text, std::strtod(text.c_str(), nullptr)));
    }
    // Shortest and near-shortest forms of random doubles sit next to halfway points.
    for (int i = 0; i < 100000; ++i) {
        const double value = std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 120) - 60);
        for (const int digits : {17, 16, 15}) {
            char text[64];
            std::snprintf(text, sizeof text, "%.*g", digits, value);
            ASSERT_TRUE(sameBits(text, std::strtod(text, nullptr)));
        }
        char fixed[400];
        std::snprintf(fixed, sizeof fixed, "%.9f", value);
        ASSERT_TRUE(sameBits(fixed, std::strtod(fixed, nullptr)));
    }
    for (const char* text :
         {"9007199254740993", "9007199254740995", "1e23", "8.98846567431158e307", "1.7976931348623157e308",
          "2.2250738585072011e-308", "4.9406564584124654e-324", "123456789012345678901234567890",
          "0.000000000000000000000000000123456", "1e-22", "1e22", "9999999999999999999", "10000000000000000001"}) {
        EXPECT_TRUE(sameBits(text, std::strtod(text, nullptr)));
    }
}

TEST(NumberText, LeadingPartRulesOfAtof) {
    EXPECT_TRUE(sameBits("+1.5", 1.5));
    EXPECT_TRUE(sameBits(" \t\v2.25", 2.25)) << "leading white space is skipped";
    EXPECT_TRUE(sameBits("-.5", -0.5));
    EXPECT_TRUE(sameBits("5.", 5.0));
    EXPECT_TRUE(sameBits("1.5e3x", 1500.0));
    EXPECT_TRUE(sameBits("2E-2", 0.02));
    EXPECT_TRUE(sameBits("1e", 1.0)) << "an exponent without digits is not part of the number";
    EXPECT_TRUE(sameBits("1e+", 1.0));
    EXPECT_TRUE(sameBits("7e-x", 7.0));
    EXPECT_TRUE(sameBits("0:", 0.0));
    EXPECT_TRUE(sameBits("12:34", 12.0));
    EXPECT_TRUE(sameBits("1.2.3", 1.2));
    EXPECT_TRUE(sameBits("-0.0000", -0.0)) << "the sign of zero is kept";
    for (const char* none : {"", "abc", "-", "+", ".", "-.", "e5", ".e5", "*MESH", "\"1.0"}) {
        EXPECT_TRUE(sameBits(none, 0.0)) << "no number in \"" << none << "\"";
    }
    // Forms that only some runtimes read are not numbers here.
    EXPECT_TRUE(sameBits("0x1p3", 0.0));
    EXPECT_TRUE(sameBits("-0x10", -0.0));
    EXPECT_TRUE(sameBits("inf", 0.0));
    EXPECT_TRUE(sameBits("-infinity", 0.0));
    EXPECT_TRUE(sameBits("NAN(123)", 0.0));
    EXPECT_TRUE(sameBits("1.#QNAN0", 1.0));
    EXPECT_TRUE(sameBits("1e400", HUGE_VAL)) << "overflow gives infinity";
    EXPECT_TRUE(sameBits("-123456789e999999999999", -HUGE_VAL));
    EXPECT_TRUE(sameBits("1e-400", 0.0)) << "underflow gives zero";
    EXPECT_TRUE(sameBits("-0.000001e-999999999999", -0.0));
    EXPECT_TRUE(sameBits("0.5x7", 0.5)) << "the number ends at the first character not part of it";
}

TEST(NumberText, LeadingPartRulesOfAtol) {
    EXPECT_EQ(toInt("12"), 12);
    EXPECT_EQ(toInt("-7"), -7);
    EXPECT_EQ(toInt("+3"), 3);
    EXPECT_EQ(toInt(" \t42"), 42);
    EXPECT_EQ(toInt("0:"), 0);
    EXPECT_EQ(toInt("17:"), 17);
    EXPECT_EQ(toInt("12.5"), 12) << "a fraction is cut";
    EXPECT_EQ(toInt("1e3"), 1);
    for (const char* none : {"", "abc", "-", "+", "A:", "*MESH_FACE"}) EXPECT_EQ(toInt(none), 0) << none;
    EXPECT_EQ(toInt("2147483647"), INT32_MAX);
    EXPECT_EQ(toInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(toInt("2147483648"), INT32_MAX) << "beyond 32 bits the value is held at the limit";
    EXPECT_EQ(toInt("-99999999999999999999999"), INT32_MIN);
    EXPECT_EQ(toInt("0000000000000000000000000012"), 12);
    EXPECT_EQ(toInt("123456789"), 123456789) << "the longest plain form";
    EXPECT_EQ(toInt("1234567890"), 1234567890);
    EXPECT_EQ(toInt("4294967297"), INT32_MAX) << "not wrapped around 32 bits";
}

TEST(NumberText, DecimalCommaLocaleDoesNotMatter) {
    ase_testing::CommaLocale locale;
    if (!locale.active()) GTEST_SKIP() << locale.reason();
    EXPECT_TRUE(sameBits("0.5", 0.5));
    EXPECT_TRUE(sameBits("-1234.5678", -1234.5678));
    EXPECT_TRUE(sameBits("3.14159265358979323846264338327950288", 3.14159265358979323846264338327950288));
    EXPECT_TRUE(sameBits("0,5", 0.0)) << "a comma never separates decimals in an ASE text";
}
