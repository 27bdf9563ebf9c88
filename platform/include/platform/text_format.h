// Bounded formatting of message and item texts: the result is always cut to
// the destination buffer and terminated, whatever the arguments.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdio>

#if defined(__GNUC__)
#define TEXT_FORMAT_CHECK(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define TEXT_FORMAT_CHECK(fmt, args)
#endif

// Returns the length written, at most size - 1.
inline int formatTextBounded(char* dest, std::size_t size, const char* format, ...) TEXT_FORMAT_CHECK(3, 4);

inline int formatTextBounded(char* dest, std::size_t size, const char* format, ...) {
    if (!dest || size == 0) return 0;
    va_list args;
    va_start(args, format);
    const int wanted = std::vsnprintf(dest, size, format, args);
    va_end(args);
    if (wanted < 0) {
        dest[0] = 0;
        return 0;
    }
    dest[size - 1] = 0;
    return static_cast<std::size_t>(wanted) < size ? wanted : static_cast<int>(size - 1);
}

template <class T, std::size_t N>
constexpr std::size_t textBufferSize(T (&)[N]) {
    return N;
}

// formatText(buffer, "...", ...) for a char array: the array's own size bounds
// it, and a pointer in place of an array does not compile.
#define formatText(buffer, ...) formatTextBounded((buffer), textBufferSize(buffer), __VA_ARGS__)
