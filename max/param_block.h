// The old parameter block (class 8): a declared count, then one entry per
// parameter with its index and a value chunk of its type. Primitives,
// materials and shapes of older files keep their parameters there.
#pragma once

#include <cstdint>

#include "frame/contract/host_records.h"
#include "max/chunk_ids.h"
#include "max/chunk_reader.h"
#include "max/max_file.h"

enum class ParamType : uint8_t { Float, Int, Point3 };

struct OldParam {
    int32_t index;  // the entry's own, or its place among the entries when it states none
    ParamType type;
    float number;
    int32_t integer;
    Point3 point;
};

struct OldParamBlockRead {
    bool found = false;     // the reference names an object whose chunk could be read
    int32_t declared = 0;   // chunk 0x0001
    uint32_t values = 0;    // value chunks handed over
};

// Hands every value of the block's entries to visit(const OldParam&), in
// file order. A value chunk too short for its type is passed over.
template <class Visit>
OldParamBlockRead readOldParamBlock(MaxFile& file, uint32_t position, Visit visit);

// The value chunk's parameter: false when the chunk is no value or too short.
bool readOldParamValue(MaxFile& file, const ChunkHeader& chunk, OldParam& param);

template <class Visit>
OldParamBlockRead readOldParamBlock(MaxFile& file, uint32_t position, Visit visit) {
    OldParamBlockRead read;
    ChunkHeader block{};
    if (!readChunkAt(file, position, block)) return read;
    read.found = true;
    int32_t place = 0;
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(block), c); skipChunk(file, c)) {
        if (c.id == ChunkParamCount && chunkDataSize(c) >= 4) {
            read.declared = readInt32(file);
            continue;
        }
        if (c.id != ChunkParamEntry || c.kind != ChunkKindContainer) continue;
        // The index comes first in every real entry; one that comes later still names the entry.
        int32_t index = place++;
        for (ChunkHeader v{}; nextChunk(file, chunkEnd(c), v); skipChunk(file, v)) {
            if (v.id == ChunkParamIndex && chunkDataSize(v) >= 4) index = readInt32(file);
        }
        seekTo(file, static_cast<int32_t>(c.position + c.headerSize));
        for (ChunkHeader v{}; nextChunk(file, chunkEnd(c), v); skipChunk(file, v)) {
            OldParam param{index, ParamType::Float, 0, 0, {0, 0, 0}};
            if (!readOldParamValue(file, v, param)) continue;
            ++read.values;
            visit(param);
        }
    }
    return read;
}
