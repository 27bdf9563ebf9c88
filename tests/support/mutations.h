// Damaged copies of a file, made the same way wherever files are damaged on
// purpose: cut short at many lengths, and patched with seeded single bytes
// and 4-byte words. Deterministic for a seed; uses no test framework.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// The lengths to cut a file of size bytes at: all of them (0 to size - 1)
// while there are at most limit, else limit lengths spread evenly over the
// file, always with the shortest ones, which damage headers.
std::vector<std::size_t> truncationLengths(std::size_t size, std::size_t limit);

// Bytes written over a file at an offset.
struct Patch {
    std::size_t offset;
    std::vector<unsigned char> bytes;  // 1 or 4 of them
};

// count patches of a file of size bytes, half single bytes and half 4-byte
// words, with values that break counts, lengths and texts more often than
// random ones do, mixed with random ones.
std::vector<Patch> seededPatches(std::size_t size, uint32_t seed, int count);

template <class Bytes>
Bytes patched(Bytes bytes, const Patch& patch) {
    for (std::size_t i = 0; i < patch.bytes.size() && patch.offset + i < bytes.size(); ++i) {
        bytes[patch.offset + i] = static_cast<typename Bytes::value_type>(patch.bytes[i]);
    }
    return bytes;
}

std::string describe(const Patch& patch);

}  // namespace testing_support
