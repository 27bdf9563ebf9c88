// The newer parameter block (class 0x82): records (0x000e, 0x100e) of a parameter
// number, a type and, for a value held in the block itself, the value in its
// last 4 bytes. Primitives of newer files keep their parameters there, in the
// order the older blocks give them by index.
#pragma once

#include <cstdint>

#include "max/max_file.h"

struct RefEntry;

constexpr uint32_t ParamBlock2ClassA = 0x82;
// Parameter numbers at or beyond this are passed over.
constexpr uint32_t MaxBlock2Parameters = 64;

struct Block2Value {
    bool present;
    bool isFloat;  // else an integer (counts, switches)
    float number;
    int32_t integer;
};

// Fills values[0 .. MaxBlock2Parameters) from the block's records; a
// parameter whose value lives in a controller stays absent.
void readBlock2Values(MaxFile& file, const RefEntry& entry, Block2Value (&values)[MaxBlock2Parameters]);

// The parameter block the host builds primitives from, filled with the
// block's values, or null.
HostParamBlock* readParamBlock2(MaxFile& file, const RefEntry& entry);

// The last count 32-bit words of the block's record of the parameter number
// and type, whatever the record's layout before them: a colour is the last
// 12 bytes, a switch the last 4. Records of R3 to version 8 (0x000A) count
// too. False when the block has no such record or it is too short.
bool readBlock2Words(MaxFile& file, int32_t block, uint16_t number, uint16_t type, void* words, uint32_t count);
