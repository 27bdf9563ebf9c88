#include "max/chunk_reader.h"

#include <cstring>

#include "platform/byte_cursor.h"
#include "platform/heap.h"

namespace {

// The window's size: chunk headers and small values are served from it, and
// a read as large as the window goes to the stream directly.
constexpr uint32_t WindowBlock = 32u << 10;
// What the window takes after a seek elsewhere, which often reads no more
// than an object's header and a few values; a walk that goes on past it
// takes whole blocks again.
constexpr uint32_t SeekBlock = 512;
// Streams are addressed with 32-bit positions, and position + length must fit.
constexpr uint64_t MaxStreamSize = 0x7FFFFFFFu;
constexpr uint32_t ContainerBit = 0x80000000u;
constexpr uint64_t LongContainerBit = uint64_t{1} << 63;
constexpr uint32_t StringPieceUnits = 256;
// The work budget of a stream: this many bytes read or served for each byte
// of the stream, and a fixed allowance for the small ones. Real files take
// at most 5 per byte; what runs out of budget reads as the stream's end.
constexpr uint64_t WorkPerStreamByte = 64;
constexpr uint64_t WorkAllowance = 16u << 20;

uint64_t seekStream(IStream* stream, int64_t offset, DWORD origin) {
    LARGE_INTEGER move;
    move.QuadPart = offset;
    ULARGE_INTEGER result;
    result.QuadPart = 0;
    stream->Seek(move, origin, &result);
    return result.QuadPart;
}

uint32_t readStreamAt(IStream* stream, uint32_t position, void* buffer, uint32_t count) {
    seekStream(stream, position, STREAM_SEEK_SET);
    ULONG got = 0;
    stream->Read(buffer, count, &got);
    return got <= count ? got : count;
}

// False, with nothing spent, when the budget cannot pay for bytes.
bool spendWork(StreamWindow& w, uint32_t bytes) {
    if (w.workLeft < bytes) return false;
    w.workLeft -= bytes;
    return true;
}

// A stream's reads, seeks included, may cost a bounded multiple of its size.
void fillWorkBudget(StreamWindow& w) {
    w.workLeft = static_cast<uint64_t>(w.size) * WorkPerStreamByte + WorkAllowance;
}

void reserveWindow(StreamWindow& w) {
    if (w.data) return;
    w.data = static_cast<unsigned char*>(heapAlloc(WindowBlock));
    w.capacity = w.data ? WindowBlock : 0;
}

}  // namespace

void selectStream(MaxFile& file, IStream* stream) {
    StreamWindow& w = file.window;
    file.stream = stream;
    w.start = 0;
    w.length = 0;
    w.position = 0;
    w.size = 0;
    if (!stream) return;
    const uint64_t position = seekStream(stream, 0, STREAM_SEEK_CUR);
    const uint64_t size = seekStream(stream, 0, STREAM_SEEK_END);
    seekStream(stream, static_cast<int64_t>(position), STREAM_SEEK_SET);
    w.size = static_cast<uint32_t>(size < MaxStreamSize ? size : MaxStreamSize);
    w.position = static_cast<uint32_t>(position < w.size ? position : w.size);
    fillWorkBudget(w);
    reserveWindow(w);
}

void serveFromMemory(MaxFile& file, unsigned char* bytes, uint32_t size) {
    StreamWindow& w = file.window;
    heapFree(w.data);
    w.data = bytes;
    w.capacity = size;
    w.start = 0;
    w.length = size;
    w.position = 0;
    w.size = size;
    fillWorkBudget(w);
}

void releaseStreamWindow(MaxFile& file) {
    heapFree(file.window.data);
    std::memset(&file.window, 0, sizeof file.window);
}

int32_t readBytes(MaxFile& file, void* buffer, int32_t count) {
    StreamWindow& w = file.window;
    if (!file.stream || count <= 0 || w.position >= w.size) return 0;
    const uint32_t wanted =
        static_cast<uint32_t>(count) < w.size - w.position ? static_cast<uint32_t>(count) : w.size - w.position;
    if (!spendWork(w, wanted)) return 0;
    auto* out = static_cast<unsigned char*>(buffer);
    uint32_t done = 0;
    while (done < wanted) {
        const uint32_t at = w.position;
        if (at >= w.start && at - w.start < w.length) {
            uint32_t piece = w.length - (at - w.start);
            if (piece > wanted - done) piece = wanted - done;
            std::memcpy(out + done, w.data + (at - w.start), piece);
            done += piece;
            w.position += piece;
            continue;
        }
        uint32_t got = 0;
        if (!w.data || wanted - done >= w.capacity) {
            got = readStreamAt(file.stream, at, out + done, wanted - done);  // too large to pass through the window
            done += got;
            w.position += got;
        } else {
            const bool walkGoesOn = at == w.start + w.length;
            uint32_t fill = walkGoesOn || wanted - done > SeekBlock ? w.capacity : SeekBlock;
            if (fill > w.size - at) fill = w.size - at;
            if (!spendWork(w, fill)) break;
            w.start = at;
            w.length = readStreamAt(file.stream, at, w.data, fill);
            got = w.length;
        }
        if (got == 0) break;
    }
    return static_cast<int32_t>(done);
}

int16_t readInt16(MaxFile& file) {
    unsigned char b[2] = {0, 0};
    readBytes(file, b, 2);
    return static_cast<int16_t>(le16(b));
}

int32_t readInt32(MaxFile& file) {
    unsigned char b[4] = {0, 0, 0, 0};
    readBytes(file, b, 4);
    return static_cast<int32_t>(le32(b));
}

bool readWords(MaxFile& file, void* words, uint32_t count) {
    if (count > 0x1FFFFFFFu) return false;
    const uint32_t bytes = count * 4;
    if (bytes > 0x7FFFFFFFu) return false;
    if (static_cast<uint32_t>(readBytes(file, words, static_cast<int32_t>(bytes))) != bytes) return false;
    wordsFromLittleEndian(words, count);
    return true;
}

void wordsFromLittleEndian(void* words, uint32_t count) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    // The file's order is the machine's.
    (void)words;
    (void)count;
#else
    auto* bytes = static_cast<unsigned char*>(words);
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t value = le32(bytes + 4 * i);
        std::memcpy(bytes + 4 * i, &value, 4);
    }
#endif
}

uint32_t seekTo(MaxFile& file, int32_t position) {
    if (position >= 0) file.window.position = static_cast<uint32_t>(position);
    return file.window.position;
}

uint32_t tellPosition(MaxFile& file) {
    return file.window.position;
}

uint32_t streamSize(MaxFile& file) {
    return file.window.size;
}

void readChunkHeader(MaxFile& file, ChunkHeader& header) {
    header.position = tellPosition(file);
    unsigned char b[LongChunkHeaderSize] = {};
    readBytes(file, b, ChunkHeaderSize);
    header.id = le16(b);
    const uint32_t length = le32(b + 2);
    if (length != 0) {
        header.headerSize = ChunkHeaderSize;
        header.kind = (length & ContainerBit) ? ChunkKindContainer : ChunkKindData;
        header.length = length & ~ContainerBit;
        return;
    }
    readBytes(file, b + ChunkHeaderSize, LongChunkHeaderSize - ChunkHeaderSize);
    const uint64_t longLength = le64(b + 6);
    header.headerSize = LongChunkHeaderSize;
    header.kind = (longLength & LongContainerBit) ? ChunkKindContainer : ChunkKindData;
    // No stream holds more than MaxStreamSize bytes; a walk cuts the rest.
    const uint64_t total = longLength & ~LongContainerBit;
    header.length = static_cast<uint32_t>(total < MaxStreamSize ? total : MaxStreamSize);
}

void skipChunk(MaxFile& file, const ChunkHeader& header) {
    seekTo(file, static_cast<int32_t>(chunkEnd(header)));
}

bool nextChunk(MaxFile& file, uint32_t end, ChunkHeader& header) {
    if (tellPosition(file) >= end) return false;
    readChunkHeader(file, header);
    const uint32_t room = end - header.position;
    if (header.length > room) header.length = room;
    return header.length >= header.headerSize;
}

bool readChunkAt(MaxFile& file, uint32_t position, ChunkHeader& header) {
    seekTo(file, static_cast<int32_t>(position));
    return nextChunk(file, streamSize(file), header);
}

char* readChunkString(MaxFile& file, const ChunkHeader& header) {
    if (chunkDataSize(header) == 0) return nullptr;
    const uint32_t units = chunkDataSize(header) / 2;
    auto* text = static_cast<char*>(heapAlloc(units + 1));
    if (!text) return nullptr;
    unsigned char piece[2 * StringPieceUnits];
    uint32_t done = 0;
    while (done < units) {
        const uint32_t take = units - done < StringPieceUnits ? units - done : StringPieceUnits;
        const uint32_t got = static_cast<uint32_t>(readBytes(file, piece, static_cast<int32_t>(2 * take))) / 2;
        for (uint32_t i = 0; i < got; ++i) text[done + i] = static_cast<char>(piece[2 * i]);
        done += got;
        if (got < take) break;
    }
    text[done] = 0;
    return text;
}
