// Decimal text to binary numbers. The common case (at most 19 significant
// digits and a decimal exponent within ±22, which covers every number an
// exporter writes) is converted with integer arithmetic only, by the
// Eisel-Lemire method: the result is correctly rounded whatever the x87
// precision control of the host's process is set to. Other numbers go to the
// standard library's conversion, which is correctly rounded as well.
#include "ase/number_text.h"

#include <charconv>
#include <cstring>
#include <limits>

namespace {

constexpr int MaxExactDigits = 19;  // every 19-digit decimal fits 64 bits
constexpr int MinFastExponent = -22;
constexpr int MaxFastExponent = 22;
constexpr int32_t ExponentLimit = 1000000;  // beyond it only zero or infinity remain

struct Wide {
    uint64_t high, low;
};

// The 128 leading bits of 5^q, scaled to have bit 127 set: exact for q >= 0,
// and one more than the truncated reciprocal for q < 0.
constexpr Wide powerOfFive(int q) {
    if (q >= 0) {
        uint64_t p = 1;
        for (int i = 0; i < q; ++i) p *= 5;
        int bits = 0;
        while (bits < 64 && (p >> bits) != 0) ++bits;
        return {p << (64 - bits), 0};
    }
    uint64_t divisor = 1;
    for (int i = 0; i < -q; ++i) divisor *= 5;
    int bits = 0;
    while ((uint64_t{1} << bits) < divisor) ++bits;
    // Long division of 2^(bits + 127) by divisor; the quotient fits 128 bits.
    const int top = bits + 127;
    uint64_t remainder = 0, high = 0, low = 0;
    for (int bit = top; bit >= 0; --bit) {
        remainder = remainder * 2 + (bit == top ? 1 : 0);
        high = (high << 1) | (low >> 63);
        low <<= 1;
        if (remainder >= divisor) {
            remainder -= divisor;
            low |= 1;
        }
    }
    ++low;
    if (low == 0) ++high;
    return {high, low};
}

struct PowerTable {
    Wide entries[MaxFastExponent - MinFastExponent + 1];
    constexpr PowerTable() : entries() {
        for (int q = MinFastExponent; q <= MaxFastExponent; ++q) entries[q - MinFastExponent] = powerOfFive(q);
    }
};
constexpr PowerTable powers;

Wide multiply(uint64_t a, uint64_t b) {
    const uint64_t aLow = static_cast<uint32_t>(a), aHigh = a >> 32;
    const uint64_t bLow = static_cast<uint32_t>(b), bHigh = b >> 32;
    const uint64_t lowLow = aLow * bLow, lowHigh = aLow * bHigh, highLow = aHigh * bLow, highHigh = aHigh * bHigh;
    const uint64_t middle = (lowLow >> 32) + static_cast<uint32_t>(lowHigh) + static_cast<uint32_t>(highLow);
    return {highHigh + (lowHigh >> 32) + (highLow >> 32) + (middle >> 32),
            (middle << 32) | static_cast<uint32_t>(lowLow)};
}

// w * b for a w whose low 32 bits are zero: two 32-bit products instead of four.
Wide multiplyHigh(uint32_t wHigh, uint64_t b) {
    const uint64_t low = static_cast<uint64_t>(wHigh) * static_cast<uint32_t>(b);
    const uint64_t high = static_cast<uint64_t>(wHigh) * (b >> 32);
    return {high + (low >> 32), low << 32};
}

// The nearest double to a normalized w (bit 63 set) times 10^q, from their
// product with the 128-bit entry of 5^q; leadingZeros is the shift that
// normalized w.
inline Wide productWithPower(uint64_t w, const Wide& power) {
    const bool narrow = static_cast<uint32_t>(w) == 0;
    const auto wHigh = static_cast<uint32_t>(w >> 32);
    Wide product = narrow ? multiplyHigh(wHigh, power.high) : multiply(w, power.high);
    if ((product.high & 0x1FF) == 0x1FF) {
        const Wide second = narrow ? multiplyHigh(wHigh, power.low) : multiply(w, power.low);
        product.low += second.high;
        if (second.high > product.low) ++product.high;
    }
    return product;
}

inline double nearestDouble(uint64_t w, int leadingZeros, int q, bool negative) {
    const Wide product = productWithPower(w, powers.entries[q - MinFastExponent]);
    const int upperBit = static_cast<int>(product.high >> 63);
    const int shift = upperBit + 9;
    uint64_t mantissa = product.high >> shift;
    int32_t biasedExponent = (((152170 + 65536) * q) >> 16) + 63 + upperBit - leadingZeros + 1023;
    // Exactly between two doubles: round to even.
    if (product.low <= 1 && q >= -4 && q <= 23 && (mantissa & 3) == 1 && (mantissa << shift) == product.high) {
        mantissa &= ~uint64_t{1};
    }
    mantissa += mantissa & 1;
    mantissa >>= 1;
    if (mantissa >= (uint64_t{2} << 52)) {
        mantissa = uint64_t{1} << 52;
        ++biasedExponent;
    }
    mantissa &= ~(uint64_t{1} << 52);
    const uint64_t bits = mantissa | (static_cast<uint64_t>(biasedExponent) << 52) | (negative ? uint64_t{1} << 63 : 0);
    double result;
    std::memcpy(&result, &bits, sizeof result);
    return result;
}

// w * 10^q as the nearest double; w != 0, q within the fast range.
double scaleExactly(uint64_t w, int q, bool negative) {
    const int leadingZeros = __builtin_clzll(w);
    return nearestDouble(w << leadingZeros, leadingZeros, q, negative);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// What atof and atol skip before a number: the C locale's white space.
const char* skipSpace(const char* text) {
    while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
    return text;
}

// The form exporters write: digits, a point and digits, 9 digits at most in
// all, and no exponent. False for anything else.
bool convertShortDecimal(const char* p, bool negative, double& value) {
    uint32_t w = 0;
    int digits = 0, fractionDigits = 0;
    for (; isDigit(*p); ++p, ++digits) w = w * 10 + static_cast<uint32_t>(*p - '0');
    if (*p == '.') {
        for (++p; isDigit(*p); ++p, ++fractionDigits) w = w * 10 + static_cast<uint32_t>(*p - '0');
        digits += fractionDigits;
    }
    if (digits == 0 || digits > 9 || *p == 'e' || *p == 'E') return false;
    value = ScaledDecimal(w, fractionDigits, negative);
    return true;
}

}  // namespace

double ScaledDecimal(uint32_t w, int fractionDigits, bool negative) {
    if (w == 0) return negative ? -0.0 : 0.0;
    const int leadingZeros = __builtin_clz(w);
    return nearestDouble(static_cast<uint64_t>(w << leadingZeros) << 32, leadingZeros + 32, -fractionDigits, negative);
}

double DecimalTextToDouble(const char* text) {
    const char* p = skipSpace(text);
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    const char* const numberStart = p;
    double value;
    if (convertShortDecimal(p, negative, value)) return value;

    uint64_t w = 0;
    int32_t taken = 0;       // significant digits in w
    int32_t q = 0;           // w * 10^q is the value read so far
    bool truncated = false;  // a non-zero digit did not fit w
    bool anyDigit = false;
    // Takes a digit into w while w has room and says so; a digit beyond it
    // only marks the value as truncated.
    const auto takeDigit = [&](int digit) {
        if (taken >= MaxExactDigits) {
            truncated |= digit != 0;
            return false;
        }
        if (taken > 0 || digit != 0) {
            w = w * 10 + static_cast<uint64_t>(digit);
            ++taken;
        }
        return true;
    };
    for (; isDigit(*p); ++p) {
        anyDigit = true;
        if (!takeDigit(*p - '0')) ++q;
    }
    if (*p == '.') {
        for (++p; isDigit(*p); ++p) {
            anyDigit = true;
            if (takeDigit(*p - '0')) --q;
        }
    }
    if (!anyDigit) return 0.0;

    if (*p == 'e' || *p == 'E') {
        const char* e = p + 1;
        bool negativeExponent = false;
        if (*e == '+' || *e == '-') negativeExponent = *e++ == '-';
        if (isDigit(*e)) {
            int32_t exponent = 0;
            for (; isDigit(*e); ++e) {
                if (exponent < ExponentLimit) exponent = exponent * 10 + (*e - '0');
            }
            q += negativeExponent ? -exponent : exponent;
            p = e;
        }
    }

    if (w == 0) return negative ? -0.0 : 0.0;
    if (!truncated && q >= MinFastExponent && q <= MaxFastExponent) return scaleExactly(w, q, negative);

    value = 0.0;
    const std::from_chars_result result = std::from_chars(numberStart, p, value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        // The first significant digit stands at 10^(q + taken - 1): far above 1
        // when the value is too large, far below when it is too small.
        value = q + taken > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

int32_t DecimalTextToIntSlowly(const char* text) {
    const char* p = skipSpace(text);
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    constexpr int64_t limit = int64_t{INT32_MAX} + 1;
    int64_t value = 0;
    for (; isDigit(*p); ++p) {
        value = value * 10 + (*p - '0');
        if (value > limit) value = limit;
    }
    if (negative) return static_cast<int32_t>(-value);
    return value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
}
