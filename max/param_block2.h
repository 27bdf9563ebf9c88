// The newer parameter block (class 0x82): one record per parameter (chunks
// 0x000A, 0x000E or 0x100E by version) of a parameter number, a type and,
// for a value held in the block itself, the value in its last bytes; a
// colour is the last 12 bytes, a number the last 4. Primitives, planes,
// shaders and, in newer files, modifiers keep their parameters there.
#pragma once

#include <cstdint>

#include "max/chunk_reader.h"
#include "max/max_file.h"

// Parameter numbers at or beyond this are passed over by readBlock2Values.
constexpr uint32_t MaxBlock2Parameters = 64;

struct Block2Record {
    uint16_t number;
    uint16_t type;
    ChunkHeader chunk;
};

struct Block2Value {
    bool present;
    bool isFloat;  // else an integer (counts, switches)
    float number;
    int32_t integer;
};

// Calls visit(const Block2Record&) for every record of the block that the
// reference names, in file order; false when it names no parameter block.
// visit may read the record (readBlock2Tail) before the walk goes on.
template <class Visit>
bool forEachBlock2Record(MaxFile& file, int32_t block, Visit visit);

// The last count 32-bit words of the record; false when it is too short.
bool readBlock2Tail(MaxFile& file, const Block2Record& record, void* words, uint32_t count);

// values[0 .. MaxBlock2Parameters) from the block's records of versions 9
// on that hold a number; a parameter whose value lives in a controller stays
// absent. False when the reference names no parameter block.
bool readBlock2Values(MaxFile& file, int32_t block, Block2Value (&values)[MaxBlock2Parameters]);

// The last count words of the last record of the parameter number and type.
bool readBlock2Words(MaxFile& file, int32_t block, uint16_t number, uint16_t type, void* words, uint32_t count);

// The parameter block the host builds primitives from, filled with the
// block's values, or null.
HostParamBlock* hostBlockFromBlock2(MaxFile& file, int32_t block);

bool isBlock2RecordChunk(uint16_t id);
// The block's chunk, when the reference names a parameter block.
bool block2Chunk(MaxFile& file, int32_t block, ChunkHeader& object);

template <class Visit>
bool forEachBlock2Record(MaxFile& file, int32_t block, Visit visit) {
    ChunkHeader object{};
    if (!block2Chunk(file, block, object)) return false;
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(object), c); skipChunk(file, c)) {
        if (!isBlock2RecordChunk(c.id) || chunkDataSize(c) < 4) continue;
        Block2Record record{};
        record.number = static_cast<uint16_t>(readInt16(file));
        record.type = static_cast<uint16_t>(readInt16(file));
        record.chunk = c;
        visit(record);
    }
    return true;
}
