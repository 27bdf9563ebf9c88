#include "max/names.h"

void widenName(WCHAR* dest, const char* src, uint32_t units) {
    if (!dest || !src || units == 0) return;
    uint32_t i = 0;
    for (; i + 1 < units && src[i] != 0; ++i) dest[i] = static_cast<unsigned char>(src[i]);
    dest[i] = 0;
}

void narrowName(char* dest, const WCHAR* src) {
    if (!dest || !src) return;
    uint32_t i = 0;
    for (; src[i] != 0; ++i) dest[i] = static_cast<char>(src[i] & 0xFF);
    dest[i] = 0;
}
