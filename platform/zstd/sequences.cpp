// The sequences section: the three code tables, then one backward stream of
// (literal length, offset, match length) triples, each carried out as it is
// decoded.
#include <cstring>

#include "decoder.h"

namespace zstd {

namespace {

enum TableMode : uint32_t { PredefinedMode = 0, RleMode = 1, FseMode = 2, RepeatMode = 3 };

constexpr uint32_t LiteralLengthMaxSymbol = 35;
constexpr uint32_t MatchLengthMaxSymbol = 52;
constexpr uint32_t OffsetMaxSymbol = 31;
constexpr uint32_t LiteralLengthMaxLog = 9;
constexpr uint32_t MatchLengthMaxLog = 9;
constexpr uint32_t OffsetMaxLog = 8;
constexpr uint32_t LongSequenceCount = 0x7F00;

const FseDistribution PredefinedLiteralLengths = {
    {4, 3, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 2, 1, 1, 1, 1, 1, -1, -1, -1, -1},
    36,
    6};
const FseDistribution PredefinedMatchLengths = {
    {1, 4, 3, 2, 2, 2, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  1,  1,  1,  1,  1,  1, 1,
     1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, -1, -1, -1, -1, -1, -1, -1},
    53,
    6};
const FseDistribution PredefinedOffsets = {
    {1, 1, 1, 1, 1, 1, 2, 2, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, -1, -1, -1, -1, -1}, 29, 5};

// Baselines and extra bits of the length codes.
struct LengthCode {
    uint32_t base;
    uint8_t bits;
};
constexpr LengthCode LiteralLengthCodes[LiteralLengthMaxSymbol + 1] = {
    {0, 0},   {1, 0},   {2, 0},     {3, 0},     {4, 0},     {5, 0},     {6, 0},      {7, 0},      {8, 0},
    {9, 0},   {10, 0},  {11, 0},    {12, 0},    {13, 0},    {14, 0},    {15, 0},     {16, 1},     {18, 1},
    {20, 1},  {22, 1},  {24, 2},    {28, 2},    {32, 3},    {40, 3},    {48, 4},     {64, 6},     {128, 7},
    {256, 8}, {512, 9}, {1024, 10}, {2048, 11}, {4096, 12}, {8192, 13}, {16384, 14}, {32768, 15}, {65536, 16}};
constexpr LengthCode MatchLengthCodes[MatchLengthMaxSymbol + 1] = {
    {3, 0},   {4, 0},     {5, 0},     {6, 0},     {7, 0},     {8, 0},      {9, 0},      {10, 0},    {11, 0},
    {12, 0},  {13, 0},    {14, 0},    {15, 0},    {16, 0},    {17, 0},     {18, 0},     {19, 0},    {20, 0},
    {21, 0},  {22, 0},    {23, 0},    {24, 0},    {25, 0},    {26, 0},     {27, 0},     {28, 0},    {29, 0},
    {30, 0},  {31, 0},    {32, 0},    {33, 0},    {34, 0},    {35, 1},     {37, 1},     {39, 1},    {41, 1},
    {43, 2},  {47, 2},    {51, 3},    {59, 3},    {67, 4},    {83, 4},     {99, 5},     {131, 7},   {259, 8},
    {515, 9}, {1027, 10}, {2051, 11}, {4099, 12}, {8195, 13}, {16387, 14}, {32771, 15}, {65539, 16}};

// Reads one table by its mode, moving in past its description. False when
// it is damaged, or repeats a table that the frame does not have yet.
bool readTable(uint32_t mode, const unsigned char*& in, uint32_t& size, const FseDistribution& predefined,
               uint32_t maxSymbol, uint32_t maxLog, FseTable& table, bool& present) {
    switch (mode) {
        case PredefinedMode:
            present = buildFseTable(predefined, table);
            return present;
        case RleMode:
            if (size < 1 || in[0] > maxSymbol) return false;
            buildSingleSymbolTable(in[0], table);
            ++in;
            --size;
            present = true;
            return true;
        case FseMode: {
            FseDistribution distribution;
            const uint32_t used = readFseDistribution(in, size, maxSymbol, maxLog, distribution);
            present = used != 0 && buildFseTable(distribution, table);
            in += used;
            size -= used;
            return present;
        }
        default:
            return present;
    }
}

// The offset a sequence asks for, from its offset value and the three most
// recent offsets, which it updates.
uint32_t resolveOffset(uint32_t repeat[3], uint64_t value, uint32_t literalLength) {
    if (value > 3) {
        const auto offset = static_cast<uint32_t>(value - 3);
        repeat[2] = repeat[1];
        repeat[1] = repeat[0];
        repeat[0] = offset;
        return offset;
    }
    // With no literals before the match, the repeat codes shift by one.
    const uint32_t index = static_cast<uint32_t>(value) - 1 + (literalLength == 0 ? 1 : 0);
    if (index == 0) return repeat[0];
    const uint32_t offset = index == 3 ? repeat[0] - 1 : repeat[index];
    if (index != 1) repeat[2] = repeat[1];
    repeat[1] = repeat[0];
    repeat[0] = offset;
    return offset;
}

// Copies a match of length bytes from offset bytes back; the source may
// overlap what is being written.
Status copyMatch(Decoder& d, uint32_t offset, uint32_t length) {
    OutputBuffer& out = *d.out;
    if (offset == 0 || offset > out.size - d.frameStart || offset > d.windowSize) return Status::Damaged;
    const Status room = reserveOutput(out, length);
    if (room != Status::Ok) return room;
    unsigned char* to = out.data + out.size;
    const unsigned char* from = to - offset;
    if (offset >= length) {
        std::memcpy(to, from, length);
    } else {
        for (uint32_t i = 0; i < length; ++i) to[i] = from[i];
    }
    out.size += length;
    return Status::Ok;
}

}  // namespace

Status appendBytes(Decoder& d, const unsigned char* bytes, uint32_t count) {
    const Status room = reserveOutput(*d.out, count);
    if (room != Status::Ok) return room;
    if (count) std::memcpy(d.out->data + d.out->size, bytes, count);
    d.out->size += count;
    return Status::Ok;
}

Status executeSequences(Decoder& d, const unsigned char* in, uint32_t size, const unsigned char* literals,
                        uint32_t count) {
    if (size < 1) return Status::Damaged;
    uint32_t sequences = in[0];
    uint32_t header = 1;
    if (sequences == 0) {
        // No sequences: the block is its literals, and nothing may follow.
        return size == 1 ? appendBytes(d, literals, count) : Status::Damaged;
    }
    if (sequences == 255) {
        header = 3;
        if (size < header) return Status::Damaged;
        sequences = (in[1] | in[2] << 8) + LongSequenceCount;
    } else if (sequences >= 128) {
        header = 2;
        if (size < header) return Status::Damaged;
        sequences = ((sequences - 128) << 8) + in[1];
    }
    if (size < header + 1) return Status::Damaged;
    const uint32_t modes = in[header];
    if (modes & 3) return Status::Damaged;  // reserved bits
    in += header + 1;
    size -= header + 1;
    if (!readTable(modes >> 6, in, size, PredefinedLiteralLengths, LiteralLengthMaxSymbol, LiteralLengthMaxLog,
                   d.literalLengths, d.hasLiteralLengths) ||
        !readTable(modes >> 4 & 3, in, size, PredefinedOffsets, OffsetMaxSymbol, OffsetMaxLog, d.offsets,
                   d.hasOffsets) ||
        !readTable(modes >> 2 & 3, in, size, PredefinedMatchLengths, MatchLengthMaxSymbol, MatchLengthMaxLog,
                   d.matchLengths, d.hasMatchLengths)) {
        return Status::Damaged;
    }

    BackwardBits bits;
    if (!bits.start(in, size)) return Status::Damaged;
    FseState literalState, offsetState, matchState;
    literalState.start(d.literalLengths, bits);
    offsetState.start(d.offsets, bits);
    matchState.start(d.matchLengths, bits);

    uint32_t blockOutput = 0;
    uint32_t literalsUsed = 0;
    for (uint32_t i = 0; i < sequences; ++i) {
        const uint32_t offsetCode = offsetState.symbol();
        const LengthCode& match = MatchLengthCodes[matchState.symbol()];
        const LengthCode& literal = LiteralLengthCodes[literalState.symbol()];
        const uint64_t offsetValue = (uint64_t{1} << offsetCode) + bits.read(offsetCode);
        const uint32_t matchLength = match.base + bits.read(match.bits);
        const uint32_t literalLength = literal.base + bits.read(literal.bits);
        if (i + 1 < sequences) {
            literalState.update(bits);
            matchState.update(bits);
            offsetState.update(bits);
        }
        if (bits.overrun()) return Status::Damaged;

        if (literalLength > count - literalsUsed) return Status::Damaged;
        const uint64_t produced = uint64_t{blockOutput} + literalLength + matchLength;
        if (produced > d.blockMax) return Status::Damaged;
        blockOutput = static_cast<uint32_t>(produced);
        Status status = appendBytes(d, literals + literalsUsed, literalLength);
        literalsUsed += literalLength;
        if (status == Status::Ok)
            status = copyMatch(d, resolveOffset(d.repeat, offsetValue, literalLength), matchLength);
        if (status != Status::Ok) return status;
    }
    if (!bits.exhausted()) return Status::Damaged;
    if (uint64_t{blockOutput} + (count - literalsUsed) > d.blockMax) return Status::Damaged;
    return appendBytes(d, literals + literalsUsed, count - literalsUsed);
}

}  // namespace zstd
