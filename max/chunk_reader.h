// The chunk format of a MAX file's streams: a 16-bit identifier and a 32-bit
// length that counts the 6 header bytes, bit 31 marking a container of
// sub-chunks. A 32-bit length of 0 announces the long form instead: a 64-bit
// length that counts all 14 header bytes, bit 63 marking a container. The
// form is decided chunk by chunk; both mix freely at any depth. Everything is
// read from the context's current stream.
//
// A walk over the sub-chunks of a container:
//   for (ChunkHeader c{}; nextChunk(file, chunkEnd(container), c); skipChunk(file, c)) { ... }
// A length below its header's size ends the walk (it would never advance); a
// length that runs past the container is cut to it.
#pragma once

#include <cstdint>

#include "max/max_file.h"

constexpr uint32_t ChunkHeaderSize = 6;
constexpr uint32_t LongChunkHeaderSize = 14;
constexpr uint32_t ChunkKindContainer = 1;
constexpr uint32_t ChunkKindData = 2;

struct ChunkHeader {
    uint16_t id;
    uint32_t length;      // header included, with the container bit cleared
    uint32_t headerSize;  // ChunkHeaderSize or LongChunkHeaderSize
    uint32_t kind;        // ChunkKindContainer or ChunkKindData
    uint32_t position;
};

inline uint32_t chunkEnd(const ChunkHeader& h) {
    return h.position + h.length;
}
inline uint32_t chunkDataSize(const ChunkHeader& h) {
    return h.length > h.headerSize ? h.length - h.headerSize : 0;
}

// Makes stream the current one and reads it from its current position.
void selectStream(MaxFile& file, IStream* stream);
// Serves every read of the current stream from bytes, which the window takes
// over (a decoded stream), from position 0 on.
void serveFromMemory(MaxFile& file, unsigned char* bytes, uint32_t size);
void releaseStreamWindow(MaxFile& file);

void readChunkHeader(MaxFile& file, ChunkHeader& header);
void skipChunk(MaxFile& file, const ChunkHeader& header);
// The next sub-chunk of a walk that ends at end, or false when it is over.
bool nextChunk(MaxFile& file, uint32_t end, ChunkHeader& header);
// The chunk whose header is at position, bounded by the stream.
bool readChunkAt(MaxFile& file, uint32_t position, ChunkHeader& header);

int32_t readBytes(MaxFile& file, void* buffer, int32_t count);
// Values read short are completed with zero bytes.
int16_t readInt16(MaxFile& file);
int32_t readInt32(MaxFile& file);
// count 32-bit little-endian words (integers or floats); false when short.
bool readWords(MaxFile& file, void* words, uint32_t count);
uint32_t seekTo(MaxFile& file, int32_t position);
uint32_t tellPosition(MaxFile& file);
uint32_t streamSize(MaxFile& file);

// The data of a chunk of 16-bit units, narrowed to their low bytes and
// terminated: a heap string that the caller frees, or null for no data.
char* readChunkString(MaxFile& file, const ChunkHeader& header);

// Converts little-endian 32-bit words in place.
void wordsFromLittleEndian(void* words, uint32_t count);
