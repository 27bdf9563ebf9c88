// Huffman-coded literals: the tree description (weights, direct or
// FSE-compressed) and the streams, one or four, each read backward.
#pragma once

#include <cstdint>

namespace zstd {

constexpr uint32_t HuffmanMaxBits = 11;

struct HuffmanEntry {
    uint8_t symbol;
    uint8_t bits;
};

struct HuffmanTable {
    HuffmanEntry entries[1u << HuffmanMaxBits];  // indexed by the next maxBits bits
    uint32_t maxBits;
};

// Reads a tree description from the start of data into table. Returns the
// bytes it takes, or 0 when it is damaged.
uint32_t readHuffmanTable(const unsigned char* data, uint32_t size, HuffmanTable& table);

// Decodes count literals from streams (the jump table first when there are
// four). False when a stream is damaged or not used up exactly.
bool decodeHuffmanLiterals(const HuffmanTable& table, const unsigned char* streams, uint32_t size, bool fourStreams,
                           unsigned char* out, uint32_t count);

}  // namespace zstd
