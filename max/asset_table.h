// The asset table of a MAX file (stream FileAssetMetaData3, or
// FileAssetMetaData2 in version 12), which bitmaps of newer files name by a
// 16-byte identifier. Each record is the identifier and three strings, each a
// 32-bit unit count, the 16-bit units and a 16-bit terminator: the asset's
// type, its path and its resolved path. The table is indexed once, so that a
// lookup costs no more than a search however many bitmaps ask.
#pragma once

#include <cstdint>

constexpr uint32_t AssetIdSize = 16;
// The most bytes of a table that are read.
constexpr uint32_t MaxAssetTableSize = 64u << 20;

struct AssetEntry {
    const unsigned char* id;
    const unsigned char* path;  // 16-bit little-endian units
    uint32_t pathUnits;
};

struct AssetIndex {
    unsigned char* bytes;  // the table, owned
    uint32_t size;
    AssetEntry* entries;  // by identifier
    uint32_t count;
};

// Takes over bytes (from the heap) and indexes the records up to the first
// that does not fit in them. False when memory runs out; the index is then
// empty and bytes are freed.
bool indexAssets(AssetIndex& index, unsigned char* bytes, uint32_t size);
// The path of the first record with the identifier, narrowed to 8 bits: a
// heap string that the caller frees, or null when there is none or it is
// empty.
char* findAssetPath(const AssetIndex& index, const unsigned char* id);
void releaseAssets(AssetIndex& index);
