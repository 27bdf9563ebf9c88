#include "max/objects.h"

#include "frame/module_state.h"
#include "max/class_directory.h"
#include "max/controllers.h"
#include "max/editable_poly.h"
#include "max/map_channels.h"
#include "max/mesh_node.h"
#include "max/param_block2.h"
#include "max/plane.h"
#include "max/scene.h"
#include "platform/heap.h"

namespace {

constexpr uint16_t ChunkMesh = 0x08FE;
constexpr uint16_t ChunkVertices = 0x0914;
constexpr uint16_t ChunkFaces = 0x0912;
constexpr uint16_t ChunkRefList = 0x2034;
constexpr uint16_t ChunkDeclaredCount = 0x0001;
constexpr uint16_t ChunkParameter = 0x0002;
constexpr uint16_t ChunkParameterIndex = 0x0003;
constexpr uint16_t ChunkFloat = 0x0100;
constexpr uint16_t ChunkInt = 0x0101;
constexpr uint16_t ChunkPoint3 = 0x0102;
constexpr uint16_t ChunkInt2 = 0x0104;

constexpr uint32_t ParamBlockA = 8;
// Derived objects inside derived objects, down to the base.
constexpr uint32_t MaxDerivedDepth = 8;
constexpr char ParamBlockSource[] = "max\\max";
constexpr int32_t ParamBlockLine = 1004;

struct PrimitiveClass {
    uint32_t a, b;
    int32_t kind;
};

constexpr PrimitiveClass PrimitiveClasses[] = {
    {0x00000010u, 0, PrimitiveBox},
    {0x00000011u, 0, PrimitiveSphere},
    {0x00000012u, 0, PrimitiveCylinder},
    {0x00000020u, 0, PrimitiveTorus},
    {0xA86C23DDu, 0, PrimitiveCone},
    {0x00000000u, 0x00007F9Eu, PrimitiveGeoSphere},
    {0x00007B21u, 0, PrimitiveTube},
    {0x76BF318Au, 0x4BF37B10u, PrimitivePyramid},
    {0x63705FACu, 0x5C1F553Fu, PrimitivePrism},
    {0xF21C5E23u, 0, PrimitiveHedra},
    {0x1AD73F40u, 0x48EA0F97u, PrimitiveChamferBox},
    {0x210E642Au, 0x22F11EF8u, PrimitiveOilTank},
    {0x130B141Bu, 0x04B35AFEu, PrimitiveSpindle},
    {0x49BF599Fu, 0x35F945ABu, PrimitiveGengon},
    {0x7B9A546Eu, 0x21A446A1u, PrimitiveChamferCyl},
    {0x00001070u, 0, PrimitiveKind40},
};

// A count and its records must fit the chunk that holds them; otherwise
// nothing is read.
int32_t countThatFits(MaxFile& file, const ChunkHeader& chunk, uint32_t recordSize) {
    const uint32_t size = chunkDataSize(chunk);
    if (size < 4) return 0;
    const int32_t count = readInt32(file);
    if (count <= 0 || static_cast<uint32_t>(count) > (size - 4) / recordSize) return 0;
    return count;
}

void readVertices(MaxFile& file, const ChunkHeader& chunk, MaxMeshNode& mesh) {
    const int32_t count = countThatFits(file, chunk, sizeof(Point3));
    if (count == 0 || !mesh.allocVertices(count)) return;
    if (!readWords(file, mesh.vertexData, static_cast<uint32_t>(count) * 3)) mesh.allocVertices(0);
}

void readFaces(MaxFile& file, const ChunkHeader& chunk, MaxMeshNode& mesh) {
    const int32_t count = countThatFits(file, chunk, sizeof(MaxFace));
    if (count == 0 || !mesh.allocFaces(count)) return;
    if (!readWords(file, mesh.faceData, static_cast<uint32_t>(count) * 5)) mesh.allocFaces(0);
}

struct ParameterState {
    int32_t index;
    bool indexed;  // a chunk 0x0003 has set the index
    int32_t stored;
};

void readParameter(MaxFile& file, const ChunkHeader& parameter, HostParamBlock& block, ParameterState& state) {
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(parameter), c); skipChunk(file, c)) {
        const uint32_t size = chunkDataSize(c);
        switch (c.id) {
            case ChunkParameterIndex:
                if (size >= 4) {
                    state.index = readInt32(file);
                    state.indexed = true;
                }
                break;
            case ChunkFloat: {
                float value = 0;
                if (size >= 4 && readWords(file, &value, 1)) {
                    block.SetFloat(state.index, value);
                    ++state.stored;
                }
                break;
            }
            case ChunkInt:
            case ChunkInt2:
                if (size >= 4) {
                    block.SetInt(state.index, readInt32(file));
                    ++state.stored;
                }
                break;
            case ChunkPoint3: {
                Point3 value{};
                if (size >= sizeof value && readWords(file, &value, 3)) {
                    block.SetPoint3(state.index, &value);
                    ++state.stored;
                }
                break;
            }
            default:
                break;
        }
    }
}

MaxMeshNode* readDerivedStack(MaxFile& file, const RefEntry& entry, MaxMeshNode* current, uint32_t depth);

}  // namespace

int32_t primitiveKind(uint32_t a, uint32_t b) {
    for (const PrimitiveClass& p : PrimitiveClasses) {
        if (p.a == a && p.b == b) return p.kind;
    }
    return 0;
}

int32_t* readObjectRefs(MaxFile& file, const RefEntry& entry, uint32_t& count) {
    count = 0;
    int32_t* list = nullptr;
    ChunkHeader object{};
    if (!readChunkAt(file, entry.position, object)) return nullptr;
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(object), c); skipChunk(file, c)) {
        if (c.id != ChunkRefList) continue;
        heapFree(list);
        list = readRefList(file, c, count);
    }
    return list;
}

MaxMeshNode* readEditableMesh(MaxFile& file, const ChunkHeader& object, MaxMeshNode* target) {
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(object), c); skipChunk(file, c)) {
        if (c.id != ChunkMesh) continue;
        if (!target) target = createMeshNode();
        if (!target) return nullptr;
        MeshMapChunks map = NoMeshMapChunks;
        for (ChunkHeader m{}; nextChunk(file, chunkEnd(c), m); skipChunk(file, m)) {
            if (m.id == ChunkVertices) {
                readVertices(file, m, *target);
            } else if (m.id == ChunkFaces) {
                readFaces(file, m, *target);
            } else {
                noteMeshMapChunk(file, m, map);
            }
        }
        readMeshMapChannel(file, map, *target);
    }
    return target;
}

HostParamBlock* readParamBlock(MaxFile& file, const RefEntry& entry) {
    HostParamBlock* block = hostApp->CreateParamBlock();
    if (!block) return nullptr;
    int32_t declared = 0;
    ParameterState state{0, false, 0};
    int32_t parameterNumber = 0;
    ChunkHeader chunk{};
    if (readChunkAt(file, entry.position, chunk)) {
        for (ChunkHeader c{}; nextChunk(file, chunkEnd(chunk), c); skipChunk(file, c)) {
            if (c.id == ChunkDeclaredCount && chunkDataSize(c) >= 4) {
                declared = readInt32(file);
            } else if (c.id == ChunkParameter && c.kind == ChunkKindContainer) {
                // Until an index chunk says otherwise, parameters count from 0 in order.
                if (!state.indexed) state.index = parameterNumber;
                ++parameterNumber;
                readParameter(file, c, *block, state);
            }
        }
    }
    if (state.stored != declared) hostApp->ReportInternalError(ParamBlockSource, ParamBlockLine, 0);
    return block;
}

MaxMeshNode* readPrimitive(MaxFile& file, const RefEntry& entry, uint32_t a, uint32_t b) {
    uint32_t count = 0;
    int32_t* refs = readObjectRefs(file, entry, count);
    HostParamBlock* block = nullptr;
    for (uint32_t i = 0; i < count; ++i) {
        const RefEntry* target = refAt(file, refs[i]);
        uint32_t ta = 0, tb = 0;
        if (!target || !classId(file, target->classIndex, ta, tb) || tb != 0) continue;
        if (ta != ParamBlockA && ta != ParamBlock2ClassA) continue;
        // The last block read is used; an earlier one goes back to the host.
        if (block) block->Release();
        block = ta == ParamBlockA ? readParamBlock(file, *target) : readParamBlock2(file, *target);
    }
    heapFree(refs);
    if (!block) return nullptr;
    MaxMeshNode* object = nullptr;
    const int32_t kind = primitiveKind(a, b);
    if (kind != 0) {
        if (HostNode* primitive = file.scene->CreatePrimitive(kind, block)) {
            object = createMeshNode();
            if (object) object->hostNode = primitive;
        }
    }
    block->Release();
    return object;
}

MaxMeshNode* readDerivedObject(MaxFile& file, const RefEntry& entry, MaxMeshNode* current) {
    return readDerivedStack(file, entry, current, 0);
}

namespace {

// The stack from its base (the last entry) up: the base object fills the
// node's object or replaces it; modifiers are passed over. A base that is
// itself a derived object is read the same way.
MaxMeshNode* readDerivedStack(MaxFile& file, const RefEntry& entry, MaxMeshNode* current, uint32_t depth) {
    if (!current) current = createMeshNode();
    if (depth >= MaxDerivedDepth) return current;
    uint32_t count = 0;
    int32_t* refs = readObjectRefs(file, entry, count);
    for (uint32_t i = count; i-- > 0;) {
        const RefEntry* target = refAt(file, refs[i]);
        if (!target) continue;
        if (target->classIndex == DerivedObjectId && i + 1 == count) {
            current = readDerivedStack(file, *target, current, depth + 1);
            continue;
        }
        uint32_t a = 0, b = 0;
        if (!classId(file, target->classIndex, a, b)) continue;
        ChunkHeader object{};
        if (a == EditableMeshClassA && b == 0) {
            if (readChunkAt(file, target->position, object)) current = readEditableMesh(file, object, current);
        } else if (a == EditablePolyClassA && b == EditablePolyClassB) {
            if (readChunkAt(file, target->position, object)) current = readEditablePoly(file, object, current);
        } else if (a == PlaneClassA && b == PlaneClassB) {
            current = readPlane(file, *target, current);
        } else if (primitiveKind(a, b) != 0) {
            destroyNode(current);
            current = readPrimitive(file, *target, a, b);
        } else if (i + 1 == count) {
            reportUnsupportedClass(file, target->classIndex, MessageSceneLog);
        }
    }
    heapFree(refs);
    return current;
}

}  // namespace
