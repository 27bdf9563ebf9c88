// Numbers of an ASE text: the leading decimal number of a token, converted as
// the C runtime's atof and atol convert it, but independent of the process's
// locale (a decimal comma locale must not turn "0.5" into 0).
#pragma once

#include <cstdint>

// atof rules: optional leading white space, an optional sign, decimal digits
// with an optional point, and an optional exponent ("e" or "E", optional sign,
// digits). The longest such prefix is converted, correctly rounded; without
// one the result is 0. Hexadecimal forms and the words "inf" and "nan" are not
// numbers here, as in the runtime the plug-in was written against: they give
// 0. Too large a magnitude gives infinity, too small a one zero.
double DecimalTextToDouble(const char* text, int32_t length);

// atol rules: optional leading white space, an optional sign and decimal
// digits. A value beyond 32 bits is held at the nearest 32-bit limit.
int32_t DecimalTextToInt(const char* text, int32_t length);
