// The state that a frame's blocks share: the output so far, the window,
// the repeat offsets and the entropy tables that later blocks may reuse.
#pragma once

#include <cstdint>

#include "fse.h"
#include "huffman.h"
#include "platform/zstd.h"

namespace zstd {

constexpr uint32_t MaxBlockSize = 128u << 10;

struct Decoder {
    OutputBuffer* out;
    uint32_t frameStart;  // out->size where the frame's content begins
    uint64_t windowSize;
    uint32_t blockMax;
    uint32_t repeat[3];

    HuffmanTable huffman;
    bool hasHuffman;
    FseTable literalLengths, offsets, matchLengths;
    bool hasLiteralLengths, hasOffsets, hasMatchLengths;

    unsigned char literals[MaxBlockSize];
};

// Starts a frame: no tables yet and the initial repeat offsets.
void startFrame(Decoder& d, uint64_t windowSize);

// A compressed block of size bytes: its literals, then its sequences.
Status decodeCompressedBlock(Decoder& d, const unsigned char* block, uint32_t size);

// The literals section at the start of a block. Returns the bytes it takes
// (0 when damaged) and where its count literals are.
uint32_t readLiterals(Decoder& d, const unsigned char* in, uint32_t size, const unsigned char*& literals,
                      uint32_t& count);

// The sequences section, which makes up the rest of the block, carried out
// against the block's literals.
Status executeSequences(Decoder& d, const unsigned char* in, uint32_t size, const unsigned char* literals,
                        uint32_t count);

// Appends count bytes to the output.
Status appendBytes(Decoder& d, const unsigned char* bytes, uint32_t count);

}  // namespace zstd
