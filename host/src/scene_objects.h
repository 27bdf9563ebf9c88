// The host objects the plug-in calls: each implements its interface and, where
// the contract has a packed record, holds that record right after the table
// pointer.
#pragma once

#include <memory>
#include <vector>

#include "host/scene.h"

namespace refhost {

// Common part of every node. The record comes first, so it starts at byte 4.
template <class Interface>
class NodeObject : public Interface {
 public:
    unsigned char record[record::NodeRecordSize - sizeof(void*)];
    NodeData data;

    NodeObject(Scene& scene, NodeKind kind);

    int32_t HOSTAPI SetName(const char* name) override;
    int32_t HOSTAPI SetProperty(int32_t id, uint32_t value) override;
    int32_t HOSTAPI SetTransform(const HostMatrix* m) override;
    int32_t HOSTAPI GetTransform(HostMatrix* m) override;

 protected:
    ~NodeObject();
    static const char* contractName() { return "HostNode"; }
    HOST_UNUSED_SLOTS_HostNode(REFHOST_UNUSED_SLOT)
};

// Mesh, shape, helper and group nodes, and primitives.
class MeshNodeObject final : public NodeObject<HostMeshNode> {
 public:
    using NodeObject::NodeObject;
    int32_t HOSTAPI SetVertexCount(int32_t count, int32_t zero) override;
    int32_t HOSTAPI SetTexVertexCount(int32_t count, int32_t zero) override;
    int32_t HOSTAPI SetFaceCount(int32_t count, int32_t zero) override;
    int32_t HOSTAPI SetLineCount(int32_t count, int32_t zero) override;
    HostFace* HOSTAPI GetFace(int32_t index) override;
    HostLine* HOSTAPI GetLine(int32_t index) override;
    void* HOSTAPI AllocNodeMemory(int32_t bytes) override;
};

class CameraObject final : public NodeObject<HostCamera> {
 public:
    using NodeObject::NodeObject;
    int32_t HOSTAPI SetVectorB(const float* vector, int32_t one) override;
    int32_t HOSTAPI SetVectorA(const float* vector, int32_t one) override;
    int32_t HOSTAPI SetFov(float fov) override;

 private:
    static const char* contractName() { return "HostCamera"; }
    HOST_UNUSED_SLOTS_HostCamera(REFHOST_UNUSED_SLOT)
};

class LightObject final : public NodeObject<HostLight> {
 public:
    LightObject(Scene& scene, NodeKind kind);
};

class TargetObject final : public NodeObject<HostNode> {
 public:
    using NodeObject::NodeObject;
};

class NodeListObject final : public HostNodeList {
 public:
    explicit NodeListObject(Scene& scene) : scene_(scene) {}
    int32_t HOSTAPI Count() override;
    HostNode* HOSTAPI GetAt(int32_t index) override;
    HostNode* HOSTAPI FindByName(const char* name) override;

 private:
    static const char* contractName() { return "HostNodeList"; }
    HOST_UNUSED_SLOTS_HostNodeList(REFHOST_UNUSED_SLOT) Scene& scene_;
};

class MaterialObject final : public HostMaterial {
 public:
    MaterialData data;
    explicit MaterialObject(App& app) : app_(app) {}
    int32_t HOSTAPI SetName(const char* name) override;
    int32_t HOSTAPI SetProperty(int32_t id, const void* value) override;

 private:
    static const char* contractName() { return "HostMaterial"; }
    HOST_UNUSED_SLOTS_HostMaterial(REFHOST_UNUSED_SLOT) App& app_;
};

class KeyObject final : public HostKey {
 public:
    unsigned char record[record::KeyRecordSize - sizeof(void*)];
    KeyData data;

    KeyObject(App& app, KeyType type, float time);
    int32_t HOSTAPI SetValue(const float* value) override;

 private:
    static const char* contractName() { return "HostKey"; }
    HOST_UNUSED_SLOTS_HostKey(REFHOST_UNUSED_SLOT) App& app_;
};

class NodeTracksObject final : public HostNodeTracks {
 public:
    TracksData data;

    NodeTracksObject(App& app, const NodeData& node);
    int32_t HOSTAPI SetInitialTransform(const HostMatrix* m) override;
    HostKey* HOSTAPI AddRotationKey(float seconds) override;
    HostKey* HOSTAPI AddPositionKey(float seconds) override;
    HostKey* HOSTAPI AddScaleKey(float seconds) override;

 private:
    static const char* contractName() { return "HostNodeTracks"; }
    HOST_UNUSED_SLOTS_HostNodeTracks(REFHOST_UNUSED_SLOT) HostKey* addKey(KeyType type, float seconds);
    App& app_;
    std::vector<std::unique_ptr<KeyObject>> keys_;
};

class AnimationObject final : public HostAnimation {
 public:
    AnimationData data;

    explicit AnimationObject(App& app) : app_(app) {}
    HostNodeTracks* HOSTAPI GetNodeTracks(HostNode* node) override;
    int32_t HOSTAPI SetLength(float seconds) override;
    int32_t HOSTAPI SetPlayMode(int32_t mode) override;
    int32_t HOSTAPI SetFrameRate(float framesPerSecond) override;
    int32_t HOSTAPI SetStart(float seconds) override;

 private:
    static const char* contractName() { return "HostAnimation"; }
    HOST_UNUSED_SLOTS_HostAnimation(REFHOST_UNUSED_SLOT) App& app_;
    std::unordered_map<const NodeData*, std::unique_ptr<NodeTracksObject>> tracks_;
};

// The record of every object above starts at byte 4.
static_assert(sizeof(HostNode) == sizeof(void*) && sizeof(HostKey) == sizeof(void*) &&
                  sizeof(HostScene) == sizeof(void*),
              "interfaces hold only their table pointer");
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(offsetof(MeshNodeObject, record) == sizeof(void*), "node record at byte 4");
static_assert(offsetof(CameraObject, record) == sizeof(void*), "camera record at byte 4");
static_assert(offsetof(LightObject, record) == sizeof(void*), "light record at byte 4");
static_assert(offsetof(TargetObject, record) == sizeof(void*), "target record at byte 4");
static_assert(offsetof(KeyObject, record) == sizeof(void*), "key record at byte 4");
#pragma GCC diagnostic pop

}  // namespace refhost
