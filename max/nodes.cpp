#include "max/nodes.h"

#include <new>

#include "frame/module_state.h"
#include "max/chunk_ids.h"
#include "max/class_directory.h"
#include "max/class_registry.h"
#include "max/controllers.h"
#include "max/derived_object.h"
#include "max/materials.h"
#include "max/mesh_node.h"
#include "max/object_offset.h"
#include "max/object_value.h"
#include "max/objects.h"
#include "max/references.h"
#include "platform/heap.h"

namespace {

// Reference slots of a node.
constexpr uint32_t TransformSlot = 0;
constexpr uint32_t ObjectSlot = 1;
constexpr uint32_t MaterialSlot = 3;

// What a node chunk holds besides its references.
struct NodeValues {
    NodeValues() = default;
    NodeValues(const NodeValues&) = delete;
    NodeValues& operator=(const NodeValues&) = delete;
    ~NodeValues() { heapFree(name); }

    int32_t parentRef = 0;
    char* name = nullptr;
    uint32_t colour = DefaultNodeColour;
    RefList refs;
    RefList sparseRefs;
    ObjectOffset offset = IdentityOffset;
};

void readNodeValues(MaxFile& file, const ChunkHeader& node, NodeValues& values) {
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(node), c); skipChunk(file, c)) {
        switch (c.id) {
            case ChunkNodeParent:
                if (chunkDataSize(c) >= 4) values.parentRef = readInt32(file);
                break;
            case ChunkNodeName:
                heapFree(values.name);
                values.name = readChunkString(file, c);
                break;
            case ChunkNodeColour:
                if (chunkDataSize(c) >= 4) values.colour = static_cast<uint32_t>(readInt32(file));
                break;
            case ChunkRefList:
                values.refs.read(file, c);
                break;
            case ChunkSparseRefList:
                values.sparseRefs.read(file, c);
                break;
            default:
                readObjectOffsetChunk(file, c, values.offset);
                break;
        }
    }
}

bool isTransformController(const ClassInfo* info) {
    if (!info) return false;
    switch (info->id) {
        case MaxClass::PositionRotationScale:
        case MaxClass::LookAt:
        case MaxClass::IkControl:
        case MaxClass::IkChainControl:
            return true;
        default:
            return false;
    }
}

// The slots in order: the transform controller (slot 0, or a transform
// controller in any slot) and the object, whose value is the last one read.
void readSlots(MaxFile& file, const RefList& refs, HostMatrix& matrix, LookAtSetup& lookAt, ObjectValue& value) {
    for (uint32_t i = 0; i < refs.count(); ++i) {
        const int32_t reference = refs.at(i);
        const RefEntry* target = refAt(file, reference);
        if (!target) continue;
        if (isDerivedObject(file, reference)) {
            evaluateObject(file, reference, value);
            continue;
        }
        uint32_t a = 0, b = 0;
        if (!classId(file, target->classIndex, a, b)) continue;
        const ClassInfo* info = classInfo(file, target->classIndex);
        if (info && info->role == ClassRole::Object) {
            evaluateObject(file, reference, value);
        } else if (i == TransformSlot || isTransformController(info)) {
            // Slot 0 always holds the transform controller; one that cannot be evaluated is reported.
            readTransformController(file, reference, matrix, lookAt);
        } else if (i == ObjectSlot) {
            reportUnsupportedClass(file, target->classIndex, MessageSceneLog);
        }
    }
}

}  // namespace

void readNode(MaxFile& file, RefEntry& entry) {
    ChunkHeader node{};
    if (!readChunkAt(file, entry.position, node)) return;
    NodeValues values;
    readNodeValues(file, node, values);
    const RefList& refs = values.refs.empty() ? values.sparseRefs : values.refs;

    auto* object = heapNew<MaxMeshNode>();
    if (!object) return;
    LookAtSetup lookAt{};
    ObjectValue value;
    try {
        readSlots(file, refs, object->matrix, lookAt, value);
        if (value.kind() == ValueKind::Mesh) {
            // Mesh and poly vertices are kept relative to the object offset.
            applyObjectOffset(values.offset, value.mesh().positions);
            object->mesh = std::move(value.mesh());
        }
    } catch (const std::bad_alloc&) {
        object->mesh.clear();  // the node stays, without its geometry
        value.reset();
    }
    // A primitive that reaches the host unchanged, the host builds.
    if (value.kind() == ValueKind::Primitive) {
        object->hostNode = file.scene->CreatePrimitive(value.primitiveKind(), value.parameters());
    }
    value.reset();
    object->colour = values.colour;
    object->parentRef = values.parentRef;
    object->name = values.name;
    values.name = nullptr;
    object->lookAt = lookAt;
    object->material = materialAt(file, refs.count() > MaterialSlot ? refs.at(MaterialSlot) : -1);
    entry.object = object;
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
