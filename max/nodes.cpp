#include "max/nodes.h"

#include "frame/module_state.h"
#include "max/class_directory.h"
#include "max/controllers.h"
#include "max/editable_poly.h"
#include "max/materials.h"
#include "max/mesh_node.h"
#include "max/object_offset.h"
#include "max/objects.h"
#include "max/plane.h"
#include "max/scene.h"
#include "platform/heap.h"

namespace {

constexpr uint16_t ChunkParent = 0x0960;
constexpr uint16_t ChunkName = 0x0962;
constexpr uint16_t ChunkColour = 0x0974;
constexpr uint16_t ChunkRefList = 0x2034;
constexpr uint16_t ChunkSparseRefList = 0x2035;

// Reference slots of a node.
constexpr uint32_t TransformSlot = 0;
constexpr uint32_t ObjectSlot = 1;
constexpr uint32_t MaterialSlot = 3;

// What a node chunk holds besides its references.
struct NodeValues {
    int32_t parentRef = 0;
    char* name = nullptr;
    uint32_t colour = DefaultNodeColour;
    int32_t* refs = nullptr;
    uint32_t refCount = 0;
    int32_t* sparseRefs = nullptr;
    uint32_t sparseRefCount = 0;
    ObjectOffset offset = IdentityOffset;
};

void readNodeValues(MaxFile& file, const ChunkHeader& node, NodeValues& values) {
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(node), c); skipChunk(file, c)) {
        switch (c.id) {
            case ChunkParent:
                if (chunkDataSize(c) >= 4) values.parentRef = readInt32(file);
                break;
            case ChunkName:
                heapFree(values.name);
                values.name = readChunkString(file, c);
                break;
            case ChunkColour:
                if (chunkDataSize(c) >= 4) values.colour = static_cast<uint32_t>(readInt32(file));
                break;
            case ChunkRefList:
                heapFree(values.refs);
                values.refs = readRefList(file, c, values.refCount);
                break;
            case ChunkSparseRefList:
                heapFree(values.sparseRefs);
                values.sparseRefs = readRefList(file, c, values.sparseRefCount);
                break;
            default:
                readObjectOffsetChunk(file, c, values.offset);
                break;
        }
    }
}

// The object becomes the node's, and the one it replaces is released.
void replaceObject(MaxMeshNode*& current, MaxMeshNode* replacement) {
    if (replacement == current) return;
    destroyNode(current);
    current = replacement;
}

}  // namespace

void readNode(MaxFile& file, RefEntry& entry) {
    ChunkHeader node{};
    if (!readChunkAt(file, entry.position, node)) return;
    NodeValues values;
    HostMatrix matrix;
    hostApp->MatrixIdentity(&matrix);
    readNodeValues(file, node, values);
    const int32_t* refs = values.refs ? values.refs : values.sparseRefs;
    const uint32_t refCount = values.refs ? values.refCount : values.sparseRefCount;

    MaxMeshNode* object = nullptr;
    LookAtSetup lookAt{};
    for (uint32_t i = 0; i < refCount; ++i) {
        const RefEntry* target = refAt(file, refs[i]);
        if (!target) continue;
        uint32_t a = 0, b = 0;
        if (classAt(file, target->classIndex)) {
            if (!classId(file, target->classIndex, a, b)) continue;
            ChunkHeader chunk{};
            if (a == EditableMeshClassA && b == 0) {
                if (readChunkAt(file, target->position, chunk)) {
                    if (MaxMeshNode* mesh = readEditableMesh(file, chunk, nullptr)) replaceObject(object, mesh);
                }
            } else if (a == EditablePolyClassA && b == EditablePolyClassB) {
                if (readChunkAt(file, target->position, chunk)) {
                    if (MaxMeshNode* poly = readEditablePoly(file, chunk, nullptr)) replaceObject(object, poly);
                }
            } else if (a == PlaneClassA && b == PlaneClassB) {
                if (MaxMeshNode* plane = readPlane(file, *target, nullptr)) replaceObject(object, plane);
            } else if (primitiveKind(a, b) != 0) {
                if (MaxMeshNode* primitive = readPrimitive(file, *target, a, b)) replaceObject(object, primitive);
            } else if (i == TransformSlot || isTransformController(file, target->classIndex)) {
                // Slot 0 always holds the transform controller; one that cannot be evaluated is reported.
                readTransformController(file, refs[i], matrix, lookAt);
            } else if (i == ObjectSlot) {
                reportUnsupportedClass(file, target->classIndex, MessageSceneLog);
            }
        } else if (target->classIndex == DerivedObjectId) {
            object = readDerivedObject(file, *target, object);
        }
    }
    // Mesh and poly vertices are kept relative to the object offset.
    if (object && !object->hostNode) applyObjectOffset(values.offset, object->vertexData, object->vertexCount);
    if (!object) object = createMeshNode();
    if (object) {
        object->colour = values.colour;
        object->parentRef = values.parentRef;
        object->name = values.name;
        values.name = nullptr;
        object->matrix = matrix;
        object->lookAt = lookAt;
        object->material = materialAt(file, refCount > MaterialSlot ? refs[MaterialSlot] : -1);
    }
    entry.object = object;
    heapFree(values.name);
    heapFree(values.refs);
    heapFree(values.sparseRefs);
}

void linkHierarchy(MaxNode* top) {
    MaxNode* node = top;
    node->hostNode->SetTransform(&node->matrix);
    while (node) {
        MaxNode* next = node->firstChild;
        if (!next) {
            // Climb to the nearest ancestor (within this tree) with a further child.
            while (node != top && !node->nextSibling) node = node->parent;
            if (node == top) return;
            next = node->nextSibling;
        }
        const HostMatrix own = next->matrix;
        hostApp->MatrixMultiply(&own, &next->parent->matrix, &next->matrix);
        next->hostNode->SetTransform(&next->matrix);
        node = next;
    }
}
