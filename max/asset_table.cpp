#include "max/asset_table.h"

#include <algorithm>
#include <cstring>

#include "platform/byte_cursor.h"
#include "platform/heap.h"

namespace {

constexpr uint32_t StringsPerRecord = 3;
constexpr uint32_t PathString = 1;
constexpr uint32_t CountSize = 4;
constexpr uint32_t TerminatorSize = 2;

// The record at offset at, which moves past it; false when it does not fit.
bool nextRecord(const unsigned char* bytes, uint32_t size, uint32_t& at, AssetEntry& entry) {
    if (size - at < AssetIdSize) return false;
    entry.id = bytes + at;
    at += AssetIdSize;
    for (uint32_t s = 0; s < StringsPerRecord; ++s) {
        if (size - at < CountSize) return false;
        const uint32_t units = le32(bytes + at);
        at += CountSize;
        if (units > (size - at) / 2 || size - at - 2 * units < TerminatorSize) return false;
        if (s == PathString) {
            entry.path = bytes + at;
            entry.pathUnits = units;
        }
        at += 2 * units + TerminatorSize;
    }
    return true;
}

// By identifier, and among equal ones by place in the table.
bool before(const AssetEntry& a, const AssetEntry& b) {
    const int order = std::memcmp(a.id, b.id, AssetIdSize);
    return order != 0 ? order < 0 : a.id < b.id;
}

}  // namespace

bool indexAssets(AssetIndex& index, unsigned char* bytes, uint32_t size) {
    releaseAssets(index);
    if (!bytes) return true;
    index.bytes = bytes;
    index.size = size;
    uint32_t count = 0;
    AssetEntry entry{};
    for (uint32_t at = 0; nextRecord(bytes, size, at, entry);) ++count;
    // Each record takes at least 34 bytes: the count follows the table's size.
    if (count == 0) return true;
    index.entries = static_cast<AssetEntry*>(heapAllocArray(count, sizeof(AssetEntry)));
    if (!index.entries) {
        releaseAssets(index);
        return false;
    }
    uint32_t at = 0;
    for (uint32_t i = 0; i < count; ++i) nextRecord(bytes, size, at, index.entries[i]);
    index.count = count;
    std::sort(index.entries, index.entries + count, before);
    return true;
}

char* findAssetPath(const AssetIndex& index, const unsigned char* id) {
    const AssetEntry* begin = index.entries;
    const AssetEntry* end = begin + index.count;
    const AssetEntry* found = std::lower_bound(begin, end, id, [](const AssetEntry& e, const unsigned char* key) {
        return std::memcmp(e.id, key, AssetIdSize) < 0;
    });
    if (found == end || std::memcmp(found->id, id, AssetIdSize) != 0 || found->pathUnits == 0) return nullptr;
    auto* text = static_cast<char*>(heapAlloc(found->pathUnits + 1));
    if (!text) return nullptr;
    for (uint32_t i = 0; i < found->pathUnits; ++i) text[i] = static_cast<char>(found->path[2 * i]);
    text[found->pathUnits] = 0;
    return text;
}

void releaseAssets(AssetIndex& index) {
    heapFree(index.entries);
    heapFree(index.bytes);
    index = AssetIndex{};
}
