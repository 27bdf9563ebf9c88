#include "max/param_block.h"

bool readOldParamValue(MaxFile& file, const ChunkHeader& chunk, OldParam& param) {
    const uint32_t size = chunkDataSize(chunk);
    switch (chunk.id) {
        case ChunkParamFloat:
            param.type = ParamType::Float;
            return size >= 4 && readWords(file, &param.number, 1);
        case ChunkParamInt:
        case ChunkParamWord:
            param.type = ParamType::Int;
            if (size < 4) return false;
            param.integer = readInt32(file);
            return true;
        case ChunkParamPoint3:
            param.type = ParamType::Point3;
            return size >= sizeof param.point && readWords(file, &param.point, 3);
        default:
            return false;
    }
}
