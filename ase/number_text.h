// Numbers of an ASE text: the leading decimal number of a token, converted as
// the C runtime's atof and atol convert it, but independent of the process's
// locale (a decimal comma locale must not turn "0.5" into 0). Both take a
// zero-terminated text, as the runtime's functions do.
#pragma once

#include <cstdint>

// atof rules: optional leading white space, an optional sign, decimal digits
// with an optional point, and an optional exponent ("e" or "E", optional sign,
// digits). The longest such prefix is converted, correctly rounded; without
// one the result is 0. Hexadecimal forms and the words "inf" and "nan" are not
// numbers here, as in the runtime the plug-in was written against: they give
// 0. Too large a magnitude gives infinity, too small a one zero.
double DecimalTextToDouble(const char* text);

// w * 10^-fractionDigits, correctly rounded: the value of a plain decimal
// of at most 9 digits, fractionDigits of them after the point.
double ScaledDecimal(uint32_t w, int fractionDigits, bool negative);

// atol rules: optional leading white space, an optional sign and decimal
// digits. A value beyond 32 bits is held at the nearest 32-bit limit.
int32_t DecimalTextToIntSlowly(const char* text);
inline int32_t DecimalTextToInt(const char* text) {
    // The common case, up to nine plain digits, which always fit 32 bits.
    uint32_t value = 0;
    const char* p = text;
    for (unsigned digit; (digit = static_cast<unsigned char>(*p) - 48u) < 10u; ++p) {
        if (p - text == 9) return DecimalTextToIntSlowly(text);
        value = value * 10 + digit;
    }
    return p == text ? DecimalTextToIntSlowly(text) : static_cast<int32_t>(value);
}
