// Names of streams and classes: the 16-bit units of the compound document
// and of MAX files, one unit per byte of the 8-bit texts the host takes.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// One 16-bit unit per byte and back (the low byte), zero-terminated; nothing
// happens when either pointer is null. units bounds the destination of
// widenName, terminator included.
void widenName(WCHAR* dest, const char* src, uint32_t units);
void narrowName(char* dest, const WCHAR* src);
