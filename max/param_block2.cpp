#include "max/param_block2.h"

#include <cstring>

#include "frame/module_state.h"
#include "max/chunk_ids.h"
#include "max/class_registry.h"
#include "max/references.h"

namespace {

// Number, type, 10 bytes of flags, then the value: 19 bytes with a value,
// 15 when a controller holds it.
constexpr uint32_t RecordWithValue = 19;

// Value types: plain, angle, percentage and world-unit floats; integers and
// switches.
bool isFloatType(uint16_t type) {
    return type == 0 || type == 5 || type == 6 || type == 7;
}
bool isIntegerType(uint16_t type) {
    return type == 1 || type == 4;
}

}  // namespace

bool isBlock2RecordChunk(uint16_t id) {
    return id == ChunkBlock2RecordR3 || id == ChunkBlock2Record || id == ChunkBlock2RecordNew;
}

bool block2Chunk(MaxFile& file, int32_t block, ChunkHeader& object) {
    const RefEntry* entry = refAt(file, block);
    return entry && referencesClass(file, block, MaxClass::ParamBlock2) && readChunkAt(file, entry->position, object);
}

bool readBlock2Tail(MaxFile& file, const Block2Record& record, void* words, uint32_t count) {
    if (chunkDataSize(record.chunk) < 4 + 4 * count) return false;
    seekTo(file, static_cast<int32_t>(chunkEnd(record.chunk) - 4 * count));
    return readWords(file, words, count);
}

bool readBlock2Values(MaxFile& file, int32_t block, Block2Value (&values)[MaxBlock2Parameters]) {
    for (Block2Value& v : values) v = Block2Value{false, false, 0, 0};
    return forEachBlock2Record(file, block, [&](const Block2Record& record) {
        if (record.chunk.id == ChunkBlock2RecordR3 || chunkDataSize(record.chunk) != RecordWithValue) return;
        if (record.number >= MaxBlock2Parameters) return;
        const bool isFloat = isFloatType(record.type);
        if (!isFloat && !isIntegerType(record.type)) return;
        uint32_t bits = 0;
        if (!readBlock2Tail(file, record, &bits, 1)) return;
        Block2Value& value = values[record.number];
        value.present = true;
        value.isFloat = isFloat;
        if (isFloat) {
            std::memcpy(&value.number, &bits, sizeof value.number);
        } else {
            value.integer = static_cast<int32_t>(bits);
        }
    });
}

bool readBlock2Words(MaxFile& file, int32_t block, uint16_t number, uint16_t type, void* words, uint32_t count) {
    bool found = false;
    forEachBlock2Record(file, block, [&](const Block2Record& record) {
        if (record.number == number && record.type == type && readBlock2Tail(file, record, words, count)) {
            found = true;
        }
    });
    return found;
}

HostParamBlock* hostBlockFromBlock2(MaxFile& file, int32_t block) {
    Block2Value values[MaxBlock2Parameters];
    readBlock2Values(file, block, values);
    HostParamBlock* host = hostApp->CreateParamBlock();
    if (!host) return nullptr;
    for (uint32_t i = 0; i < MaxBlock2Parameters; ++i) {
        if (!values[i].present) continue;
        if (values[i].isFloat) {
            host->SetFloat(static_cast<int32_t>(i), values[i].number);
        } else {
            host->SetInt(static_cast<int32_t>(i), values[i].integer);
        }
    }
    return host;
}
