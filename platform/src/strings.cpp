// String stand-ins. lstrcmpiA ignores case for ASCII letters only: the
// plug-in compares keywords, class names and stream names, all ASCII.
#include "platform/win32.h"

namespace {

inline int foldCase(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
}

}  // namespace

extern "C" {

int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b) {
    if (!a || !b) return a == b ? 0 : (a ? 1 : -1);
    const auto* x = reinterpret_cast<const unsigned char*>(a);
    const auto* y = reinterpret_cast<const unsigned char*>(b);
    for (;; ++x, ++y) {
        const int cx = foldCase(*x);
        const int cy = foldCase(*y);
        if (cx != cy) return cx < cy ? -1 : 1;
        if (cx == 0) return 0;
    }
}

int WINAPI lstrcmpA(LPCSTR a, LPCSTR b) {
    if (!a || !b) return a == b ? 0 : (a ? 1 : -1);
    const auto* x = reinterpret_cast<const unsigned char*>(a);
    const auto* y = reinterpret_cast<const unsigned char*>(b);
    for (;; ++x, ++y) {
        if (*x != *y) return *x < *y ? -1 : 1;
        if (*x == 0) return 0;
    }
}

LPSTR WINAPI lstrcpyA(LPSTR dest, LPCSTR src) {
    if (!dest || !src) return nullptr;
    char* d = dest;
    while ((*d++ = *src++) != 0) {
    }
    return dest;
}

int WINAPI lstrlenA(LPCSTR s) {
    if (!s) return 0;
    int n = 0;
    while (s[n]) ++n;
    return n;
}

LPSTR WINAPI lstrcatA(LPSTR dest, LPCSTR src) {
    if (!dest || !src) return nullptr;
    lstrcpyA(dest + lstrlenA(dest), src);
    return dest;
}

}  // extern "C"
