#include "support/mutations.h"

#include <cstdio>
#include <random>

namespace testing_support {

namespace {

// Bytes that end, open or count things: zero, the extremes of signed and
// unsigned bytes, a chunk header's length, and the characters that give a
// text its structure.
constexpr unsigned char InterestingBytes[] = {0x00, 0x01, 0x06, 0x7F, 0x80, 0xFF, '{',
                                              '}',  '"',  '*',  '-',  '9',  ' ',  '\n'};
// Words for counts, lengths, indices and sector numbers.
constexpr uint32_t InterestingWords[] = {0u,          1u,          6u,          0x7FFFFFFFu, 0x80000000u, 0x80000006u,
                                         0xFFFFFFFFu, 0xFFFFFFFEu, 0xFFFFFFFDu, 0xFFFFFFFAu, 0x00010000u, 0x0000FFFFu};

}  // namespace

std::vector<std::size_t> truncationLengths(std::size_t size, std::size_t limit) {
    std::vector<std::size_t> lengths;
    if (size <= limit) {
        for (std::size_t n = 0; n < size; ++n) lengths.push_back(n);
        return lengths;
    }
    const std::size_t head = limit / 4;  // every one of the shortest lengths
    for (std::size_t n = 0; n < head; ++n) lengths.push_back(n);
    const std::size_t rest = limit - head;
    for (std::size_t k = 0; k < rest; ++k) lengths.push_back(head + (size - head) * k / rest);
    return lengths;
}

std::vector<Patch> seededPatches(std::size_t size, uint32_t seed, int count) {
    std::vector<Patch> patches;
    if (size == 0) return patches;
    std::mt19937 random(seed);
    for (int i = 0; i < count; ++i) {
        Patch patch{random() % size, {}};
        const bool interesting = random() % 2 == 0;
        if (i % 2 == 0) {
            patch.bytes.push_back(interesting ? InterestingBytes[random() % sizeof InterestingBytes]
                                              : static_cast<unsigned char>(random()));
        } else {
            const uint32_t word = interesting ? InterestingWords[random() % (sizeof InterestingWords / 4)]
                                              : static_cast<uint32_t>(random());
            for (int b = 0; b < 4; ++b) patch.bytes.push_back(static_cast<unsigned char>(word >> (8 * b)));
        }
        patches.push_back(patch);
    }
    return patches;
}

std::string describe(const Patch& patch) {
    std::string text = "at " + std::to_string(patch.offset) + ":";
    for (unsigned char b : patch.bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02x", b);
        text += hex;
    }
    return text;
}

}  // namespace testing_support
