#include "xxhash64.h"

#include "bitstream.h"

namespace zstd {

namespace {

constexpr uint64_t Prime1 = 0x9E3779B185EBCA87ull;
constexpr uint64_t Prime2 = 0xC2B2AE3D27D4EB4Full;
constexpr uint64_t Prime3 = 0x165667B19E3779F9ull;
constexpr uint64_t Prime4 = 0x85EBCA77C2B2AE63ull;
constexpr uint64_t Prime5 = 0x27D4EB2F165667C5ull;
constexpr uint32_t StripeSize = 32;

uint64_t rotateLeft(uint64_t value, uint32_t count) {
    return value << count | value >> (64 - count);
}

uint32_t loadLittle32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

uint64_t round(uint64_t accumulator, uint64_t input) {
    return rotateLeft(accumulator + input * Prime2, 31) * Prime1;
}

uint64_t mergeRound(uint64_t accumulator, uint64_t lane) {
    return (accumulator ^ round(0, lane)) * Prime1 + Prime4;
}

}  // namespace

uint64_t xxhash64(const unsigned char* data, uint32_t size, uint64_t seed) {
    const unsigned char* p = data;
    uint32_t left = size;
    uint64_t hash;
    if (size >= StripeSize) {
        uint64_t lanes[4] = {seed + Prime1 + Prime2, seed + Prime2, seed, seed - Prime1};
        for (; left >= StripeSize; p += StripeSize, left -= StripeSize) {
            for (uint32_t i = 0; i < 4; ++i) lanes[i] = round(lanes[i], loadLittle64(p + 8 * i));
        }
        hash = rotateLeft(lanes[0], 1) + rotateLeft(lanes[1], 7) + rotateLeft(lanes[2], 12) + rotateLeft(lanes[3], 18);
        for (uint64_t lane : lanes) hash = mergeRound(hash, lane);
    } else {
        hash = seed + Prime5;
    }
    hash += size;
    for (; left >= 8; p += 8, left -= 8) hash = rotateLeft(hash ^ round(0, loadLittle64(p)), 27) * Prime1 + Prime4;
    if (left >= 4) {
        hash = rotateLeft(hash ^ (loadLittle32(p) * Prime1), 23) * Prime2 + Prime3;
        p += 4;
        left -= 4;
    }
    for (; left > 0; ++p, --left) hash = rotateLeft(hash ^ (*p * Prime5), 11) * Prime1;
    hash ^= hash >> 33;
    hash *= Prime2;
    hash ^= hash >> 29;
    hash *= Prime3;
    hash ^= hash >> 32;
    return hash;
}

}  // namespace zstd
