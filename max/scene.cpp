#include "max/scene.h"

#include "frame/module_state.h"
#include "max/chunk_ids.h"
#include "max/class_directory.h"
#include "max/look_at.h"
#include "max/mesh_node.h"
#include "max/nodes.h"
#include "max/references.h"
#include "platform/heap.h"
#include "platform/text_format.h"

namespace {

constexpr uint32_t SceneClassA = 2;

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
        RefList list;
        list.read(file, c);
        for (uint32_t i = 0; i < list.count(); ++i) {
            const RefEntry* item = refAt(file, list.at(i));
            const ClassEntry* itemClass = item ? classAt(file, item->classIndex) : nullptr;
            if (!itemClass) continue;
            uint32_t a = 0, b = 0;
            const bool sceneClass = classId(file, item->classIndex, a, b) && a == SceneClassA;
            formatText(text, "SCENE Items %s [%x]%s", itemClass->name ? itemClass->name : "", list.at(i),
                       sceneClass ? "" : " SKIPED");
            hostApp->ShowMessage(MessageSceneLog, text);
        }
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
        heapDelete(file.refs[i].object);
        file.refs[i].object = nullptr;
    }
}
