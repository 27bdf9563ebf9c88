#include "max/nodes.h"

#include "frame/module_state.h"
#include "max/class_directory.h"
#include "max/mesh_node.h"
#include "max/objects.h"
#include "max/scene.h"
#include "platform/heap.h"

namespace {

constexpr uint16_t ChunkParent = 0x0960;
constexpr uint16_t ChunkName = 0x0962;
constexpr uint16_t ChunkColour = 0x0974;
constexpr uint16_t ChunkRefList = 0x2034;
constexpr uint16_t ChunkSparseRefList = 0x2035;
constexpr uint16_t ChunkPosition = 0x2503;
constexpr uint16_t ChunkRotation = 0x2504;
constexpr uint16_t ChunkScale = 0x2505;

constexpr uint32_t TransformControllerA = 0x00002005u;
constexpr uint32_t PositionControllerA = 0x2008u;
constexpr uint32_t RotationControllerA = 0x2009u;
constexpr uint32_t TcbRotationControllerA = 0x442313u;
constexpr uint32_t ScaleControllerA = 0x2010u;

// What a node chunk holds besides its references.
struct NodeValues {
    int32_t parentRef = 0;
    char* name = nullptr;
    uint32_t colour = DefaultNodeColour;
    int32_t* refs = nullptr;
    uint32_t refCount = 0;
    int32_t* sparseRefs = nullptr;
    uint32_t sparseRefCount = 0;
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

// Applies the sub-controllers of a controller's reference list, last first.
void applySubControllers(MaxFile& file, const ChunkHeader& list, HostMatrix& matrix) {
    uint32_t count = 0;
    int32_t* refs = readRefList(file, list, count);
    for (uint32_t i = count; i-- > 0;) {
        const RefEntry* entry = refAt(file, refs[i]);
        uint32_t a = 0, b = 0;
        if (!entry || !classId(file, entry->classIndex, a, b)) continue;
        ChunkHeader sub{};
        if (!readChunkAt(file, entry->position, sub)) continue;
        if (a == PositionControllerA) {
            readPositionController(file, sub, matrix);
        } else if (a == RotationControllerA || a == TcbRotationControllerA) {
            readRotationController(file, sub, matrix);
        } else if (a == ScaleControllerA) {
            readScaleController(file, sub, matrix);
        }
    }
    heapFree(refs);
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
            } else if (a == TransformControllerA && b == 0) {
                if (readChunkAt(file, target->position, chunk)) readTransformController(file, chunk, matrix);
            } else if (primitiveKind(a, b) != 0) {
                if (MaxMeshNode* primitive = readPrimitive(file, *target, a, b)) replaceObject(object, primitive);
            }
        } else if (target->classIndex == DerivedObjectId) {
            object = readDerivedObject(file, *target, object);
        }
    }
    if (!object) object = createMeshNode();
    if (object) {
        object->colour = values.colour;
        object->parentRef = values.parentRef;
        object->name = values.name;
        values.name = nullptr;
        object->matrix = matrix;
    }
    entry.object = object;
    heapFree(values.name);
    heapFree(values.refs);
    heapFree(values.sparseRefs);
}

void readTransformController(MaxFile& file, const ChunkHeader& controller, HostMatrix& matrix) {
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(controller), c); skipChunk(file, c)) {
        if (c.id == ChunkRefList) applySubControllers(file, c, matrix);
    }
}

// Each sub-controller makes its host call for every value chunk it holds.
void readPositionController(MaxFile& file, const ChunkHeader& controller, HostMatrix& matrix) {
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(controller), c); skipChunk(file, c)) {
        Point3 position{};
        if (c.id == ChunkPosition && chunkDataSize(c) >= sizeof position && readWords(file, &position, 3)) {
            hostApp->MatrixTranslate(&matrix, &position);
        }
    }
}

void readRotationController(MaxFile& file, const ChunkHeader& controller, HostMatrix& matrix) {
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(controller), c); skipChunk(file, c)) {
        if (c.id != ChunkRotation) continue;
        // A short value leaves the rest of the preset in place.
        float quaternion[4] = {0.0f, 0.0f, 1.0f, 0.0f};
        const uint32_t size = chunkDataSize(c);
        readWords(file, quaternion, (size < sizeof quaternion ? size : sizeof quaternion) / 4);
        HostMatrix rotation;
        hostApp->MatrixFromQuat(&rotation, quaternion);
        const HostMatrix before = matrix;
        hostApp->MatrixMultiply(&before, &rotation, &matrix);
    }
}

void readScaleController(MaxFile& file, const ChunkHeader& controller, HostMatrix& matrix) {
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(controller), c); skipChunk(file, c)) {
        Point3 scale{};
        if (c.id == ChunkScale && chunkDataSize(c) >= sizeof scale && readWords(file, &scale, 3)) {
            hostApp->MatrixScale(&matrix, &scale);
        }
    }
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
