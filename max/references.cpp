#include "max/references.h"

#include "max/chunk_ids.h"
#include "platform/heap.h"

namespace {

constexpr uint32_t SparsePiecePairs = 64;
// Entries above this would make the table's byte size overflow 32 bits.
constexpr uint32_t MaxRefCapacity = 0x7FFFFFFFu / sizeof(RefEntry) / RefTableStep * RefTableStep;

bool growRefTable(MaxFile& file) {
    const auto capacity = static_cast<uint32_t>(file.refCapacity) + RefTableStep;
    if (capacity > MaxRefCapacity) return false;
    const SIZE_T bytes = capacity * sizeof(RefEntry);
    HGLOBAL block = nullptr;
    if (file.refMemory) {
        GlobalUnlock(file.refMemory);
        block = GlobalReAlloc(file.refMemory, bytes, GMEM_MOVEABLE);
        if (!block) {
            // The old block is still there and still the table.
            file.refs = static_cast<RefEntry*>(GlobalLock(file.refMemory));
            return false;
        }
    } else {
        block = GlobalAlloc(GMEM_MOVEABLE, bytes);
        if (!block) return false;
    }
    auto* refs = static_cast<RefEntry*>(GlobalLock(block));
    file.refMemory = block;
    file.refs = refs;
    if (!refs) {
        file.refCount = 0;  // nothing can be reached without the lock
        return false;
    }
    file.refCapacity = static_cast<int32_t>(capacity);
    return true;
}

int32_t* readDenseList(MaxFile& file, const ChunkHeader& header, uint32_t& count) {
    const uint32_t entries = chunkDataSize(header) / 4;
    if (entries == 0) return nullptr;
    auto* list = static_cast<int32_t*>(heapAllocArray(entries, sizeof(int32_t)));
    if (!list) return nullptr;
    if (!readWords(file, list, entries)) {
        heapFree(list);
        return nullptr;
    }
    count = entries;
    return list;
}

// The sparse form: the slot count N, then (slot, reference) pairs for the
// filled slots. It becomes the dense list of N slots, -1 where nothing is
// referenced, so that no reader takes N or a slot number for a reference. A
// pair whose slot is not below N names nothing; a partial pair at the end is
// ignored, as a partial entry of a dense list is.
int32_t* readSparseList(MaxFile& file, const ChunkHeader& header, uint32_t& count) {
    const uint32_t size = chunkDataSize(header);
    if (size < 4) return nullptr;
    const int32_t slots = readInt32(file);
    if (slots <= 0 || static_cast<uint32_t>(slots) > MaxRefListSlots) return nullptr;
    auto* list = static_cast<int32_t*>(heapAllocArray(static_cast<uint32_t>(slots), sizeof(int32_t)));
    if (!list) return nullptr;
    for (int32_t i = 0; i < slots; ++i) list[i] = -1;
    int32_t pairs[2 * SparsePiecePairs];
    for (uint32_t left = (size - 4) / 8; left > 0;) {
        const uint32_t take = left < SparsePiecePairs ? left : SparsePiecePairs;
        if (!readWords(file, pairs, 2 * take)) break;
        for (uint32_t i = 0; i < take; ++i) {
            const int32_t slot = pairs[2 * i];
            if (slot >= 0 && slot < slots) list[slot] = pairs[2 * i + 1];
        }
        left -= take;
    }
    count = static_cast<uint32_t>(slots);
    return list;
}

}  // namespace

bool appendRef(MaxFile& file, const ChunkHeader& header) {
    if (file.refCount + 1 >= file.refCapacity && !growRefTable(file)) return false;
    RefEntry& entry = file.refs[file.refCount];
    entry.classIndex = header.id;
    entry.position = header.position;
    entry.object = nullptr;
    ++file.refCount;
    return true;
}

void buildRefTable(MaxFile& file) {
    ChunkHeader scene{};
    if (readChunkAt(file, 0, scene)) {
        for (ChunkHeader c{}; nextChunk(file, chunkEnd(scene), c); skipChunk(file, c)) {
            if (!appendRef(file, c)) break;
        }
    }
    seekTo(file, 0);
}

RefEntry* refAt(MaxFile& file, int32_t index) {
    return index >= 0 && index < file.refCount ? &file.refs[index] : nullptr;
}

void releaseRefTable(MaxFile& file) {
    if (file.refMemory) {
        GlobalUnlock(file.refMemory);
        GlobalFree(file.refMemory);
    }
    file.refMemory = nullptr;
    file.refs = nullptr;
    file.refCount = 0;
    file.refCapacity = 0;
}

RefList::RefList(RefList&& other) noexcept : slots_(other.slots_), count_(other.count_) {
    other.slots_ = nullptr;
    other.count_ = 0;
}

RefList& RefList::operator=(RefList&& other) noexcept {
    if (this != &other) {
        heapFree(slots_);
        slots_ = other.slots_;
        count_ = other.count_;
        other.slots_ = nullptr;
        other.count_ = 0;
    }
    return *this;
}

RefList::~RefList() {
    heapFree(slots_);
}

void RefList::read(MaxFile& file, const ChunkHeader& chunk) {
    heapFree(slots_);
    slots_ = nullptr;
    count_ = 0;
    if (chunk.id == ChunkRefList) slots_ = readDenseList(file, chunk, count_);
    if (chunk.id == ChunkSparseRefList) slots_ = readSparseList(file, chunk, count_);
}

RefList readObjectRefs(MaxFile& file, int32_t index) {
    RefList list;
    const RefEntry* entry = refAt(file, index);
    ChunkHeader object{};
    if (!entry || !readChunkAt(file, entry->position, object)) return list;
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(object), c); skipChunk(file, c)) {
        if (c.id == ChunkRefList || c.id == ChunkSparseRefList) list.read(file, c);
    }
    return list;
}
