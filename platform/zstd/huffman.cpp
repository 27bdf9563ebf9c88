#include "huffman.h"

#include "bitstream.h"
#include "fse.h"

namespace zstd {

namespace {

constexpr uint32_t MaxStoredWeights = 255;  // the last symbol's weight is implied
constexpr uint32_t DirectWeightsHeader = 128;
constexpr uint32_t WeightsMaxLog = 6;
constexpr uint32_t JumpTableSize = 6;

// Weights compressed with FSE: two states take turns over one stream until
// it is used up; the state whose turn comes next gives the last weight.
bool decodeFseWeights(const unsigned char* data, uint32_t size, uint8_t* weights, uint32_t& count) {
    FseDistribution distribution;
    const uint32_t used = readFseDistribution(data, size, HuffmanMaxBits, WeightsMaxLog, distribution);
    if (used == 0 || used >= size) return false;
    FseTable table;
    if (!buildFseTable(distribution, table)) return false;
    BackwardBits bits;
    if (!bits.start(data + used, size - used)) return false;
    FseState states[2];
    states[0].start(table, bits);
    states[1].start(table, bits);
    if (bits.overrun()) return false;
    count = 0;
    for (uint32_t turn = 0;; turn ^= 1) {
        if (count + 2 > MaxStoredWeights) return false;
        weights[count++] = states[turn].symbol();
        states[turn].update(bits);
        if (bits.overrun()) {
            weights[count++] = states[turn ^ 1].symbol();
            return true;
        }
    }
}

}  // namespace

uint32_t readHuffmanTable(const unsigned char* data, uint32_t size, HuffmanTable& table) {
    if (size == 0) return 0;
    uint8_t weights[MaxStoredWeights + 1];
    uint32_t count = 0;
    uint32_t used = 0;
    const uint32_t header = data[0];
    if (header >= DirectWeightsHeader) {
        count = header - (DirectWeightsHeader - 1);
        used = 1 + (count + 1) / 2;
        if (used > size) return 0;
        for (uint32_t i = 0; i < count; ++i) {
            const unsigned char pair = data[1 + i / 2];
            weights[i] = static_cast<uint8_t>(i % 2 == 0 ? pair >> 4 : pair & 0x0F);
        }
    } else {
        used = 1 + header;
        if (used > size || !decodeFseWeights(data + 1, header, weights, count)) return 0;
    }

    // The weights given make up all but the last symbol's share of a power
    // of two; the last weight completes it.
    uint32_t total = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (weights[i] > HuffmanMaxBits) return 0;
        if (weights[i]) total += 1u << (weights[i] - 1);
    }
    if (total == 0) return 0;
    const uint32_t maxBits = highBit(total) + 1;
    if (maxBits > HuffmanMaxBits) return 0;
    const uint32_t rest = (1u << maxBits) - total;
    if (rest & (rest - 1)) return 0;
    weights[count++] = static_cast<uint8_t>(highBit(rest) + 1);

    // Codes go to the symbols by ascending weight, then ascending value.
    uint32_t start[HuffmanMaxBits + 2] = {};
    for (uint32_t i = 0; i < count; ++i) {
        if (weights[i]) start[weights[i]] += 1u << (weights[i] - 1);
    }
    uint32_t position = 0;
    for (uint32_t w = 1; w <= maxBits; ++w) {
        const uint32_t cells = start[w];
        start[w] = position;
        position += cells;
    }
    for (uint32_t s = 0; s < count; ++s) {
        const uint32_t w = weights[s];
        if (!w) continue;
        const HuffmanEntry entry{static_cast<uint8_t>(s), static_cast<uint8_t>(maxBits + 1 - w)};
        for (uint32_t i = 0; i < 1u << (w - 1); ++i) table.entries[start[w]++] = entry;
    }
    table.maxBits = maxBits;
    return used;
}

namespace {

bool decodeStream(const HuffmanTable& table, const unsigned char* data, uint32_t size, unsigned char* out,
                  uint32_t count) {
    BackwardBits bits;
    if (!bits.start(data, size)) return false;
    for (uint32_t i = 0; i < count; ++i) {
        const HuffmanEntry& e = table.entries[bits.peek(table.maxBits)];
        out[i] = e.symbol;
        bits.skip(e.bits);
    }
    return bits.exhausted();
}

uint32_t le16(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
}

}  // namespace

bool decodeHuffmanLiterals(const HuffmanTable& table, const unsigned char* streams, uint32_t size, bool fourStreams,
                           unsigned char* out, uint32_t count) {
    if (!fourStreams) return decodeStream(table, streams, size, out, count);
    if (size < JumpTableSize) return false;
    const uint32_t sizes[3] = {le16(streams), le16(streams + 2), le16(streams + 4)};
    const uint32_t first = sizes[0] + sizes[1] + sizes[2];
    if (first > size - JumpTableSize) return false;
    const uint32_t quarter = (count + 3) / 4;
    if (3 * quarter > count) return false;
    const unsigned char* at = streams + JumpTableSize;
    for (uint32_t i = 0; i < 4; ++i) {
        const uint32_t streamSize = i < 3 ? sizes[i] : size - JumpTableSize - first;
        const uint32_t literals = i < 3 ? quarter : count - 3 * quarter;
        if (!decodeStream(table, at, streamSize, out + i * quarter, literals)) return false;
        at += streamSize;
    }
    return true;
}

}  // namespace zstd
