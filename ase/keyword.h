// Keywords and the words compared with them. A token equals a keyword when
// both have the same length and the same letters, without regard to ASCII
// case: the platform's lstrcmpiA equality on these ASCII texts. The length is
// the cheap exact test that rules out almost every other keyword at once.
#pragma once

#include <cstdint>

struct Keyword {
    const char* text;
    int32_t length;

    template <int32_t N>
    constexpr Keyword(const char (&literal)[N]) : text(literal), length(N - 1) {}
};

inline bool EqualsIgnoringCase(const char* token, const Keyword& keyword) {
    for (int32_t i = 0; i < keyword.length; ++i) {
        const unsigned char a = static_cast<unsigned char>(token[i]);
        const unsigned char b = static_cast<unsigned char>(keyword.text[i]);
        if (a == b) continue;
        const unsigned char foldedA = (a >= 'A' && a <= 'Z') ? a + ('a' - 'A') : a;
        const unsigned char foldedB = (b >= 'A' && b <= 'Z') ? b + ('a' - 'A') : b;
        if (foldedA != foldedB) return false;
    }
    return true;
}
