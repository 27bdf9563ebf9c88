// Numbers of the ASE text: atof and atol leading-part rules, correctly
// rounded. Independence of the locale is checked end to end (import_test).
#include "ase/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

// Bit for bit, so that -0 differs from 0 and every rounding shows.
::testing::AssertionResult sameBits(const std::string& text, double expected) {
    const double got = DecimalTextToDouble(text.c_str());
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
         {"9007199254740993", "9007199254740995", "1e23", "8.98846567431158e307", "1e22", "1e-22",
          "9999999999999999999", "1.7976931348623157e308", "2.2250738585072011e-308", "4.9406564584124654e-324",
          "123456789012345678901234567890", "0.000000000000000000000000000123456", "10000000000000000001"}) {
        EXPECT_TRUE(sameBits(text, std::strtod(text, nullptr)));
    }
}

// Each case is the text, a bar, and the value expected.
TEST(NumberText, LeadingPartRules) {
    for (const std::string c : {"+1.5|1.5",    " \t\v2.25|2.25",
                                "-.5|-0.5",    "5.|5",
                                "1.5e3x|1500", "2E-2|0.02",
                                "1e|1",        "1e+|1",
                                "7e-x|7",      "12:34|12",
                                "1.2.3|1.2",   "-0.0000|-0",
                                "|0",          "abc|0",
                                "-|0",         ".|0",
                                "e5|0",        "*MESH|0",
                                "\"1.0|0",     "0x1p3|0",
                                "-0x10|-0",    "inf|0",
                                "NAN(123)|0",  "1.#QNAN0|1",
                                "1e400|inf",   "-123456789e999999999999|-inf",
                                "1e-400|0",    "-0.000001e-999999999999|-0"}) {
        const std::size_t bar = c.find('|');
        EXPECT_TRUE(sameBits(c.substr(0, bar), std::strtod(c.c_str() + bar + 1, nullptr)));
    }
    for (const std::string c : {"-7|-7", "+3|3", " \t42|42", "0:|0", "17:|17", "12.5|12", "1e3|1", "|0", "-|0", "A:|0",
                                "2147483647|2147483647", "-2147483648|-2147483648", "2147483648|2147483647",
                                "-99999999999999999999999|-2147483648", "4294967297|2147483647",
                                "0000000000000000000000000012|12", "123456789|123456789", "1234567890|1234567890"}) {
        const std::size_t bar = c.find('|');
        EXPECT_EQ(DecimalTextToInt(c.substr(0, bar).c_str()), std::stol(c.substr(bar + 1))) << c;
    }
}
