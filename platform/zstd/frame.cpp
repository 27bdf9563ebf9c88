// Frames and blocks: the frame header with its window, the blocks one after
// another, the content size and checksum at the end.
#include <cstring>

#include "decoder.h"
#include "platform/heap.h"
#include "xxhash64.h"

namespace zstd {

namespace {

constexpr uint32_t FrameMagic = 0xFD2FB528u;
constexpr uint32_t SkippableMagic = 0x184D2A50u;  // the low 4 bits are free
constexpr uint32_t SkippableMask = 0xFFFFFFF0u;
constexpr uint32_t BlockHeaderSize = 3;
constexpr uint32_t ChecksumSize = 4;
constexpr uint32_t MinWindowLog = 10;

enum BlockType : uint32_t { RawBlock = 0, RleBlock = 1, CompressedBlock = 2 };

uint64_t littleEndian(const unsigned char* p, uint32_t bytes) {
    uint64_t value = 0;
    for (uint32_t i = bytes; i-- > 0;) value = value << 8 | p[i];
    return value;
}

struct FrameHeader {
    uint32_t size;  // bytes
    uint64_t windowSize;
    bool hasContentSize;
    uint64_t contentSize;
    bool hasChecksum;
};

// The header after the magic number. False when it is damaged, names a
// dictionary or asks for a window beyond the limit.
bool readFrameHeader(const unsigned char* in, uint32_t size, FrameHeader& header) {
    if (size < 1) return false;
    const uint32_t descriptor = in[0];
    const uint32_t contentSizeFlag = descriptor >> 6;
    const bool singleSegment = (descriptor >> 5 & 1) != 0;
    if (descriptor & 0x08) return false;  // reserved bit
    header.hasChecksum = (descriptor >> 2 & 1) != 0;
    static const uint32_t DictionaryIdSizes[4] = {0, 1, 2, 4};
    const uint32_t dictionaryIdSize = DictionaryIdSizes[descriptor & 3];
    const uint32_t contentSizeSize = contentSizeFlag == 0 ? (singleSegment ? 1 : 0) : 1u << contentSizeFlag;
    header.size = 1 + (singleSegment ? 0 : 1) + dictionaryIdSize + contentSizeSize;
    if (header.size > size) return false;
    const unsigned char* at = in + 1;
    if (!singleSegment) {
        const uint32_t exponent = *at >> 3;
        const uint32_t mantissa = *at & 7;
        const uint64_t base = uint64_t{1} << (MinWindowLog + exponent);
        header.windowSize = base + (base / 8) * mantissa;
        ++at;
    }
    if (littleEndian(at, dictionaryIdSize) != 0) return false;  // dictionaries are not supported
    at += dictionaryIdSize;
    header.hasContentSize = contentSizeSize != 0;
    header.contentSize = littleEndian(at, contentSizeSize) + (contentSizeSize == 2 ? 256 : 0);
    if (singleSegment) header.windowSize = header.contentSize;
    return header.windowSize <= MaxWindowSize;
}

Status decodeBlock(Decoder& d, uint32_t type, const unsigned char* data, uint32_t size) {
    switch (type) {
        case RawBlock:
            return appendBytes(d, data, size);
        case RleBlock: {
            OutputBuffer& out = *d.out;
            const Status room = reserveOutput(out, size);
            if (room != Status::Ok || size == 0) return room;
            std::memset(out.data + out.size, data[0], size);
            out.size += size;
            return Status::Ok;
        }
        default: {
            const unsigned char* literals = nullptr;
            uint32_t count = 0;
            const uint32_t used = readLiterals(d, data, size, literals, count);
            if (used == 0) return Status::Damaged;
            return executeSequences(d, data + used, size - used, literals, count);
        }
    }
}

// One frame from in; moves in past it.
Status decodeFrame(Decoder& d, const unsigned char*& in, uint32_t& size) {
    FrameHeader header{};
    if (!readFrameHeader(in, size, header)) return Status::Damaged;
    in += header.size;
    size -= header.size;
    OutputBuffer& out = *d.out;
    if (header.hasContentSize && header.contentSize > out.limit - out.size) return Status::TooLarge;
    startFrame(d, header.windowSize);
    for (bool last = false; !last;) {
        if (size < BlockHeaderSize) return Status::Damaged;
        const auto blockHeader = static_cast<uint32_t>(littleEndian(in, BlockHeaderSize));
        last = (blockHeader & 1) != 0;
        const uint32_t type = blockHeader >> 1 & 3;
        const uint32_t blockSize = blockHeader >> 3;
        // An RLE block's size is what it expands to; its data is one byte.
        const uint32_t stored = type == RleBlock ? 1 : blockSize;
        if (type > CompressedBlock || blockSize > d.blockMax || stored > size - BlockHeaderSize) {
            return Status::Damaged;
        }
        const Status status = decodeBlock(d, type, in + BlockHeaderSize, blockSize);
        if (status != Status::Ok) return status;
        in += BlockHeaderSize + stored;
        size -= BlockHeaderSize + stored;
    }
    const uint32_t content = out.size - d.frameStart;
    if (header.hasContentSize && content != header.contentSize) return Status::Damaged;
    if (header.hasChecksum) {
        if (size < ChecksumSize) return Status::Damaged;
        const auto expected = static_cast<uint32_t>(littleEndian(in, ChecksumSize));
        if (static_cast<uint32_t>(xxhash64(out.data + d.frameStart, content)) != expected) return Status::Damaged;
        in += ChecksumSize;
        size -= ChecksumSize;
    }
    return Status::Ok;
}

}  // namespace

void startFrame(Decoder& d, uint64_t windowSize) {
    d.frameStart = d.out->size;
    d.windowSize = windowSize;
    d.blockMax = static_cast<uint32_t>(windowSize < MaxBlockSize ? windowSize : MaxBlockSize);
    d.repeat[0] = 1;
    d.repeat[1] = 4;
    d.repeat[2] = 8;
    d.hasHuffman = false;
    d.hasLiteralLengths = false;
    d.hasOffsets = false;
    d.hasMatchLengths = false;
}

Status decode(const unsigned char* input, uint32_t inputSize, OutputBuffer& output) {
    if (inputSize == 0) return Status::Damaged;
    auto* d = static_cast<Decoder*>(heapAlloc(sizeof(Decoder)));
    if (!d) return Status::NoMemory;
    d->out = &output;
    Status status = Status::Ok;
    const unsigned char* in = input;
    uint32_t size = inputSize;
    while (size > 0 && status == Status::Ok) {
        if (size < 4) {
            status = Status::Damaged;
            break;
        }
        const auto magic = static_cast<uint32_t>(littleEndian(in, 4));
        in += 4;
        size -= 4;
        if (magic == FrameMagic) {
            status = decodeFrame(*d, in, size);
        } else if ((magic & SkippableMask) == SkippableMagic && size >= 4 && littleEndian(in, 4) <= size - 4) {
            const auto skipped = static_cast<uint32_t>(littleEndian(in, 4));
            in += 4 + skipped;
            size -= 4 + skipped;
        } else {
            status = Status::Damaged;
        }
    }
    heapFree(d);
    return status;
}

}  // namespace zstd
