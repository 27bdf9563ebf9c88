#include "max/scene.h"

#include "frame/module_state.h"
#include "max/class_directory.h"
#include "max/look_at.h"
#include "max/mesh_node.h"
#include "max/nodes.h"
#include "platform/heap.h"
#include "platform/text_format.h"

namespace {

constexpr uint16_t ChunkRefList = 0x2034;
constexpr uint16_t ChunkSparseRefList = 0x2035;
constexpr uint32_t SceneClassA = 2;
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

// A "Node" entry whose object reached the host.
MaxNode* emittedNode(const MaxFile& file, int32_t index) {
    if (index < 0 || index >= file.refCount) return nullptr;
    const RefEntry& entry = file.refs[index];
    if (file.nodeClassIndex < 0 || entry.classIndex != file.nodeClassIndex) return nullptr;
    return entry.object && entry.object->hostNode ? entry.object : nullptr;
}

void logSceneObject(MaxFile& file, int32_t sceneIndex) {
    char text[320];
    formatText(text, "SCENE CLASS %x", sceneIndex);
    hostApp->ShowMessage(MessageSceneLog, text);
    ChunkHeader scene{};
    if (!readChunkAt(file, file.refs[sceneIndex].position, scene)) return;
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(scene), c); skipChunk(file, c)) {
        if (c.id != ChunkRefList) continue;
        uint32_t count = 0;
        int32_t* list = readRefList(file, c, count);
        for (uint32_t i = 0; i < count; ++i) {
            const RefEntry* item = refAt(file, list[i]);
            const ClassEntry* itemClass = item ? classAt(file, item->classIndex) : nullptr;
            if (!itemClass) continue;
            uint32_t a = 0, b = 0;
            const bool sceneClass = classId(file, item->classIndex, a, b) && a == SceneClassA;
            formatText(text, "SCENE Items %s [%x]%s", itemClass->name ? itemClass->name : "", list[i],
                       sceneClass ? "" : " SKIPED");
            hostApp->ShowMessage(MessageSceneLog, text);
        }
        heapFree(list);
    }
}

// Union-find over reference indices: the top ancestor of each node linked so
// far. A node about to be linked is still at the top of its own tree, so a
// parent whose top ancestor is the node itself would close a cycle.
int32_t topAncestor(int32_t* up, int32_t index) {
    int32_t top = index;
    while (up[top] != top) top = up[top];
    while (up[index] != top) {
        const int32_t next = up[index];
        up[index] = top;
        index = next;
    }
    return top;
}

void linkParents(MaxFile& file) {
    auto* up = static_cast<int32_t*>(heapAllocArray(static_cast<uint32_t>(file.refCount), sizeof(int32_t)));
    if (!up) return;  // every node stays at the top level
    for (int32_t i = 0; i < file.refCount; ++i) up[i] = i;
    for (int32_t i = 0; i < file.refCount; ++i) {
        MaxNode* child = emittedNode(file, i);
        if (!child) continue;
        const int32_t p = child->parentRef;
        MaxNode* parent = emittedNode(file, p);
        if (!parent || topAncestor(up, p) == i) continue;
        up[i] = p;
        setNodeParent(child->hostNode, parent->hostNode);
        child->parent = parent;
        child->nextSibling = parent->firstChild;
        parent->firstChild = child;
    }
    heapFree(up);
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

int32_t* readRefList(MaxFile& file, const ChunkHeader& header, uint32_t& count) {
    count = 0;
    if (header.id == ChunkRefList) return readDenseList(file, header, count);
    if (header.id == ChunkSparseRefList) return readSparseList(file, header, count);
    return nullptr;
}

int32_t findSceneObject(MaxFile& file) {
    file.nodeClassIndex = -1;
    int32_t sceneClass = -1;
    for (int32_t i = 0; i < file.classCount; ++i) {
        const char* name = file.classes[i]->name;
        if (!name) continue;
        if (lstrcmpiA(name, "Scene") == 0) sceneClass = i;
        if (lstrcmpiA(name, "Node") == 0) file.nodeClassIndex = i;
    }
    if (sceneClass < 0) return -1;
    for (int32_t i = file.refCount - 1; i >= 0; --i) {
        if (file.refs[i].classIndex == sceneClass) return i;
    }
    return -1;
}

int32_t readScene(MaxFile& file) {
    const int32_t sceneIndex = findSceneObject(file);
    if (sceneIndex < 0) {
        hostApp->ShowMessage(MessageSceneLog, "MAX: SCENE CLASS not found");
    } else {
        logSceneObject(file, sceneIndex);
    }
    if (file.nodeClassIndex < 0) return 1;
    for (int32_t i = 0; i < file.refCount; ++i) {
        if (file.refs[i].classIndex == file.nodeClassIndex) readNode(file, file.refs[i]);
    }
    resolveLookAtNodes(file);
    for (int32_t i = 0; i < file.refCount; ++i) {
        if (file.refs[i].classIndex == file.nodeClassIndex && file.refs[i].object) {
            file.refs[i].object->emit(file.scene);
        }
    }
    linkParents(file);
    for (int32_t i = 0; i < file.refCount; ++i) {
        MaxNode* node = emittedNode(file, i);
        if (node && node->firstChild && !node->parent) linkHierarchy(node);
    }
    return 1;
}

void releaseSceneObjects(MaxFile& file) {
    for (int32_t i = 0; i < file.refCount; ++i) {
        destroyNode(file.refs[i].object);
        file.refs[i].object = nullptr;
    }
}
