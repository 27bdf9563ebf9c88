#include "max/param_block2.h"

#include <cstring>

#include "frame/module_state.h"
#include "max/chunk_reader.h"
#include "max/class_directory.h"
#include "max/objects.h"
#include "max/scene.h"

namespace {

// A parameter record: 0x000A in R3 to version 8, 0x000E in versions 9 to
// 12, 0x100E in newer ones.
constexpr uint16_t ChunkParameterRecordOld = 0x000A;
constexpr uint16_t ChunkParameterRecord = 0x000E;
constexpr uint16_t ChunkParameterRecordNew = 0x100E;
constexpr uint32_t RecordHeaderSize = 4;  // number and type
// Number, type, 10 bytes of flags, then the value: 19 bytes with a value,
// 15 when a controller holds it.
constexpr uint32_t RecordWithValue = 19;
constexpr uint32_t TypeOffset = 2;
constexpr uint32_t ValueOffset = 15;

// Value types: plain, angle, percentage and world-unit floats; integers and
// switches.
bool isFloatType(uint16_t type) {
    return type == 0 || type == 5 || type == 6 || type == 7;
}
bool isIntegerType(uint16_t type) {
    return type == 1 || type == 4;
}

uint16_t le16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
uint32_t le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

void readBlock2Values(MaxFile& file, const RefEntry& entry, Block2Value (&values)[MaxBlock2Parameters]) {
    for (Block2Value& v : values) v = Block2Value{false, false, 0, 0};
    ChunkHeader block{};
    if (!readChunkAt(file, entry.position, block)) return;
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(block), c); skipChunk(file, c)) {
        if (c.id != ChunkParameterRecord && c.id != ChunkParameterRecordNew) continue;
        if (chunkDataSize(c) != RecordWithValue) continue;
        unsigned char record[RecordWithValue];
        if (readBytes(file, record, RecordWithValue) != static_cast<int32_t>(RecordWithValue)) continue;
        const uint16_t number = le16(record);
        const uint16_t type = le16(record + TypeOffset);
        if (number >= MaxBlock2Parameters) continue;
        const uint32_t bits = le32(record + ValueOffset);
        Block2Value& value = values[number];
        if (isFloatType(type)) {
            value.present = true;
            value.isFloat = true;
            std::memcpy(&value.number, &bits, sizeof value.number);
        } else if (isIntegerType(type)) {
            value.present = true;
            value.isFloat = false;
            value.integer = static_cast<int32_t>(bits);
        }
    }
}

HostParamBlock* readParamBlock2(MaxFile& file, const RefEntry& entry) {
    Block2Value values[MaxBlock2Parameters];
    readBlock2Values(file, entry, values);
    HostParamBlock* block = hostApp->CreateParamBlock();
    if (!block) return nullptr;
    for (uint32_t i = 0; i < MaxBlock2Parameters; ++i) {
        if (!values[i].present) continue;
        if (values[i].isFloat) {
            block->SetFloat(static_cast<int32_t>(i), values[i].number);
        } else {
            block->SetInt(static_cast<int32_t>(i), values[i].integer);
        }
    }
    return block;
}

bool readBlock2Words(MaxFile& file, int32_t block, uint16_t number, uint16_t type, void* words, uint32_t count) {
    const RefEntry* entry = refAt(file, block);
    uint32_t a = 0, b = 0;
    ChunkHeader object{};
    if (!entry || !classId(file, entry->classIndex, a, b) || a != ParamBlock2ClassA || b != 0 ||
        !readChunkAt(file, entry->position, object)) {
        return false;
    }
    bool found = false;
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(object), c); skipChunk(file, c)) {
        if (c.id != ChunkParameterRecordOld && c.id != ChunkParameterRecord && c.id != ChunkParameterRecordNew)
            continue;
        if (chunkDataSize(c) < RecordHeaderSize + 4 * count) continue;
        if (static_cast<uint16_t>(readInt16(file)) != number || static_cast<uint16_t>(readInt16(file)) != type)
            continue;
        seekTo(file, static_cast<int32_t>(chunkEnd(c) - 4 * count));
        found = readWords(file, words, count);
    }
    return found;
}
