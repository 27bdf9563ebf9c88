// The bytes a decoder produces, in the plug-in's heap. The buffer grows by
// doubling but never past its limit, which the caller sets from what the
// input may reasonably expand to: hostile input cannot make it unbounded.
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/heap.h"

struct OutputBuffer {
    unsigned char* data = nullptr;  // owned: heapFree
    uint32_t size = 0;
    uint32_t capacity = 0;
    uint32_t limit = 0;
};

// What became of decoding into an output buffer.
enum class DecodeStatus {
    Ok,
    Damaged,   // the input is not what it claims to be
    TooLarge,  // the output would pass its limit
    NoMemory,
};

// The first block a growing buffer takes, unless the limit is below it.
constexpr uint32_t OutputFirstBlock = 64u << 10;

// Room for extra bytes after the current size, moving the bytes to a larger
// block when needed: Ok, TooLarge or NoMemory.
inline DecodeStatus reserveOutput(OutputBuffer& out, uint32_t extra) {
    if (out.size > out.limit || extra > out.limit - out.size) return DecodeStatus::TooLarge;
    const uint32_t needed = out.size + extra;
    if (needed <= out.capacity) return DecodeStatus::Ok;
    uint64_t grown = out.capacity ? 2ull * out.capacity : OutputFirstBlock;
    if (grown < needed) grown = needed;
    if (grown > out.limit) grown = out.limit;
    auto* bigger = static_cast<unsigned char*>(heapAlloc(static_cast<std::size_t>(grown)));
    if (!bigger) return DecodeStatus::NoMemory;
    if (out.size) std::memcpy(bigger, out.data, out.size);
    heapFree(out.data);
    out.data = bigger;
    out.capacity = static_cast<uint32_t>(grown);
    return DecodeStatus::Ok;
}

inline void releaseOutput(OutputBuffer& out) {
    heapFree(out.data);
    out.data = nullptr;
    out.size = 0;
    out.capacity = 0;
}
