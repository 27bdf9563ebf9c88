// The host's packed records: fields at fixed byte offsets of host objects,
// which both sides read and write directly. Every offset is defined here once
// and reached only through the accessors below, which copy bytes, so no field
// is ever read through a misaligned pointer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "frame/contract/abi.h"

class HostNode;
class HostScene;
class HostNodeList;
class HostKey;

// Three 32-bit floats: x, y, z or red, green, blue, in file order.
struct Point3 {
    float x, y, z;
};
static_assert(sizeof(Point3) == 12, "Point3 is three floats");

// 4 rows of 4 64-bit floats, row after row. Row vectors: p' = p * M, with the
// translation in row 3.
struct HostMatrix {
    double m[4][4];
};
static_assert(sizeof(HostMatrix) == 128, "HostMatrix is 128 bytes");

// A texture vertex: u, v.
struct HostTexVertex {
    float u, v;
};
static_assert(sizeof(HostTexVertex) == 8, "texture vertices are two floats");

#pragma pack(push, 1)
// One face of a mesh node, as GetFace returns it.
struct HostFace {
    uint16_t flags;      // FaceEdgeAB | FaceEdgeBC | FaceEdgeCA | FaceTwoSided
    uint32_t material;   // a material number while read; then a HostMaterial pointer
    int32_t a, b, c;     // vertex indices
    int32_t ta, tb, tc;  // texture vertex indices
};
// One line of a shape node, as GetLine returns it.
struct HostLine {
    uint16_t flags;      // LineInUse on every line read
    uint16_t reserved;   // host's own
    uint16_t reserved2;  // host's own
    uint16_t pointCount;
    int32_t* points;  // pointCount indices into the shape's point table
};
#pragma pack(pop)
static_assert(sizeof(HostFace) == 30, "HostFace is 30 packed bytes");
static_assert(offsetof(HostFace, material) == 2 && offsetof(HostFace, a) == 6 && offsetof(HostFace, b) == 10 &&
                  offsetof(HostFace, c) == 14 && offsetof(HostFace, ta) == 18 && offsetof(HostFace, tb) == 22 &&
                  offsetof(HostFace, tc) == 26,
              "HostFace layout");
static_assert(offsetof(HostLine, pointCount) == 6 && offsetof(HostLine, points) == 8 && sizeof(HostLine) == 12,
              "HostLine layout");

constexpr uint16_t FaceEdgeAB = 1;
constexpr uint16_t FaceEdgeBC = 2;
constexpr uint16_t FaceEdgeCA = 4;
constexpr uint16_t FaceTwoSided = 8;
constexpr uint16_t LineInUse = 1;

// Byte offsets of the fields the plug-in reads and writes directly.
namespace record {

// HostScene
constexpr uint32_t SceneNodes = 24;  // HostNodeList pointer
constexpr uint32_t SceneRecordSize = 28;

// Every HostNode
constexpr uint32_t NodeKind = 20;       // 16-bit
constexpr uint32_t NodeUserData = 23;   // the plug-in's pointer; null on a new node
constexpr uint32_t NodeScene = 39;      // owning HostScene
constexpr uint32_t NodeParent = 43;     // HostNode, null at the top level
constexpr uint32_t NodeTransform = 47;  // HostMatrix, world space

// Mesh and shape nodes
constexpr uint32_t MeshVertexCount = 307;  // 32-bit
constexpr uint32_t MeshFaceCount = 315;    // 32-bit, mesh only
constexpr uint32_t MeshVertices = 323;     // Point3 array
constexpr uint32_t MeshTexVertices = 327;  // HostTexVertex array, mesh only

// Cameras
constexpr uint32_t CameraTarget = 307;  // HostNode

// Lights
constexpr uint32_t LightType = 307;              // 32-bit: LightOmni, LightTarget, LightDirectional
constexpr uint32_t LightUseAttenuation = 311;    // 32-bit
constexpr uint32_t LightColor = 365;             // three floats, red, green, blue
constexpr uint32_t LightIntensity = 377;         // float
constexpr uint32_t LightAttenuationStart = 381;  // float
constexpr uint32_t LightAttenuationEnd = 385;    // float
constexpr uint32_t LightFalloff = 389;           // float
constexpr uint32_t LightHotspot = 393;           // float
constexpr uint32_t LightTarget = 409;            // HostNode

// Bytes of every node record, the table pointer included.
constexpr uint32_t NodeRecordSize = 416;

// HostKey: the TCB numbers of a key, floats.
constexpr uint32_t KeyContinuity = 8;
constexpr uint32_t KeyTension = 12;
constexpr uint32_t KeyBias = 16;
constexpr uint32_t KeyEaseIn = 20;
constexpr uint32_t KeyEaseOut = 24;
constexpr uint32_t KeyRecordSize = 28;

static_assert(NodeTransform + sizeof(HostMatrix) <= MeshVertexCount, "node fields overlap");
static_assert(MeshTexVertices + 4 <= NodeRecordSize && LightTarget + 4 <= NodeRecordSize, "node record size");
static_assert(KeyEaseOut + 4 == KeyRecordSize, "key record size");

}  // namespace record

// Node kinds at record::NodeKind that the plug-in relies on.
constexpr int16_t NodeKindLight = 3;
constexpr int16_t NodeKindCamera = 4;

// Light types at record::LightType.
constexpr int32_t LightOmni = 0;
constexpr int32_t LightTargetSpot = 1;
constexpr int32_t LightDirectional = 3;

// Raw field access at a byte offset of a host object.
template <class T>
inline T readField(const void* object, uint32_t offset) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(object) + offset, sizeof(T));
    return value;
}

template <class T>
inline void writeField(void* object, uint32_t offset, const T& value) {
    std::memcpy(static_cast<unsigned char*>(object) + offset, &value, sizeof(T));
}

// Typed accessors, one per field.
inline HostNodeList* sceneNodes(const HostScene* scene) {
    return readField<HostNodeList*>(scene, record::SceneNodes);
}

inline int16_t nodeKind(const HostNode* node) {
    return readField<int16_t>(node, record::NodeKind);
}
inline void* nodeUserData(const HostNode* node) {
    return readField<void*>(node, record::NodeUserData);
}
inline void setNodeUserData(HostNode* node, void* data) {
    writeField(node, record::NodeUserData, data);
}
inline HostScene* nodeScene(const HostNode* node) {
    return readField<HostScene*>(node, record::NodeScene);
}
inline HostNode* nodeParent(const HostNode* node) {
    return readField<HostNode*>(node, record::NodeParent);
}
inline void setNodeParent(HostNode* node, HostNode* parent) {
    writeField(node, record::NodeParent, parent);
}
inline HostMatrix nodeTransform(const HostNode* node) {
    return readField<HostMatrix>(node, record::NodeTransform);
}

inline int32_t meshVertexCount(const HostNode* node) {
    return readField<int32_t>(node, record::MeshVertexCount);
}
inline int32_t meshFaceCount(const HostNode* node) {
    return readField<int32_t>(node, record::MeshFaceCount);
}
inline Point3* meshVertices(const HostNode* node) {
    return readField<Point3*>(node, record::MeshVertices);
}
inline HostTexVertex* meshTexVertices(const HostNode* node) {
    return readField<HostTexVertex*>(node, record::MeshTexVertices);
}

inline HostNode* cameraTarget(const HostNode* camera) {
    return readField<HostNode*>(camera, record::CameraTarget);
}
inline void setCameraTarget(HostNode* camera, HostNode* target) {
    writeField(camera, record::CameraTarget, target);
}

inline int32_t lightType(const HostNode* light) {
    return readField<int32_t>(light, record::LightType);
}
inline void setLightType(HostNode* light, int32_t type) {
    writeField(light, record::LightType, type);
}
inline int32_t lightUsesAttenuation(const HostNode* light) {
    return readField<int32_t>(light, record::LightUseAttenuation);
}
inline void setLightUsesAttenuation(HostNode* light, int32_t on) {
    writeField(light, record::LightUseAttenuation, on);
}
inline Point3 lightColor(const HostNode* light) {
    return readField<Point3>(light, record::LightColor);
}
inline void setLightColor(HostNode* light, const Point3& colour) {
    writeField(light, record::LightColor, colour);
}
inline float lightIntensity(const HostNode* light) {
    return readField<float>(light, record::LightIntensity);
}
inline void setLightIntensity(HostNode* light, float v) {
    writeField(light, record::LightIntensity, v);
}
inline float lightAttenuationStart(const HostNode* light) {
    return readField<float>(light, record::LightAttenuationStart);
}
inline void setLightAttenuationStart(HostNode* light, float v) {
    writeField(light, record::LightAttenuationStart, v);
}
inline float lightAttenuationEnd(const HostNode* light) {
    return readField<float>(light, record::LightAttenuationEnd);
}
inline void setLightAttenuationEnd(HostNode* light, float v) {
    writeField(light, record::LightAttenuationEnd, v);
}
inline float lightFalloff(const HostNode* light) {
    return readField<float>(light, record::LightFalloff);
}
inline void setLightFalloff(HostNode* light, float v) {
    writeField(light, record::LightFalloff, v);
}
inline float lightHotspot(const HostNode* light) {
    return readField<float>(light, record::LightHotspot);
}
inline void setLightHotspot(HostNode* light, float v) {
    writeField(light, record::LightHotspot, v);
}
inline HostNode* lightTarget(const HostNode* light) {
    return readField<HostNode*>(light, record::LightTarget);
}
inline void setLightTarget(HostNode* light, HostNode* target) {
    writeField(light, record::LightTarget, target);
}

// The TCB numbers of a key: tension, continuity, bias, ease in, ease out.
struct KeyTcb {
    float tension, continuity, bias, easeIn, easeOut;
};
inline KeyTcb keyTcb(const HostKey* key) {
    return {readField<float>(key, record::KeyTension), readField<float>(key, record::KeyContinuity),
            readField<float>(key, record::KeyBias), readField<float>(key, record::KeyEaseIn),
            readField<float>(key, record::KeyEaseOut)};
}
inline void setKeyTcb(HostKey* key, const KeyTcb& tcb) {
    writeField(key, record::KeyTension, tcb.tension);
    writeField(key, record::KeyContinuity, tcb.continuity);
    writeField(key, record::KeyBias, tcb.bias);
    writeField(key, record::KeyEaseIn, tcb.easeIn);
    writeField(key, record::KeyEaseOut, tcb.easeOut);
}
