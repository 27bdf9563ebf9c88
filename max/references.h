// The reference table of the "Scene" stream: one entry per object of the
// scene container, in file order, so that a reference index names an
// object; and the reference lists (chunks 0x2034 and 0x2035) through which
// objects name one another.
#pragma once

#include <cstdint>

#include "max/chunk_reader.h"
#include "max/max_file.h"

class MaxNode;

struct RefEntry {
    uint16_t classIndex;  // the object chunk's identifier: a class index, or ChunkDerivedObject
    uint32_t position;    // of the object chunk's header
    MaxNode* object;      // built for node entries
};

constexpr uint32_t RefTableStep = 1024;
// The most slots a sparse reference list may have. Real owners have at most a
// few thousand (a material with many sub-materials), nodes 16.
constexpr uint32_t MaxRefListSlots = 1u << 16;

// Indexes the objects of the scene container.
void buildRefTable(MaxFile& file);
// False when the table could not grow: the entry is then not added.
bool appendRef(MaxFile& file, const ChunkHeader& header);
// The entry that index names, or null.
RefEntry* refAt(MaxFile& file, int32_t index);
// Frees the table; the objects built for its entries must be gone.
void releaseRefTable(MaxFile& file);

// A reference list made dense: one reference index per slot, -1 for an
// empty slot. It owns its heap memory.
class RefList {
 public:
    RefList() = default;
    RefList(const RefList&) = delete;
    RefList& operator=(const RefList&) = delete;
    RefList(RefList&& other) noexcept;
    RefList& operator=(RefList&& other) noexcept;
    ~RefList();

    uint32_t count() const { return count_; }
    // The reference in the slot, or -1 beyond the list.
    int32_t at(uint32_t slot) const { return slot < count_ ? slots_[slot] : -1; }
    bool empty() const { return count_ == 0; }

    // Reads chunk 0x2034 or 0x2035 (any other chunk gives an empty list).
    void read(MaxFile& file, const ChunkHeader& chunk);

 private:
    int32_t* slots_ = nullptr;
    uint32_t count_ = 0;
};

// The last reference list of the object that index names (empty when it
// has none).
RefList readObjectRefs(MaxFile& file, int32_t index);
