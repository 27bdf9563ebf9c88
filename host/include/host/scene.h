// The reference host's scene: nodes of every kind, materials, scene
// information and the animation object, built only through the calls the
// plug-in makes. Every host object has the contract's exact layout: the
// packed record follows the table pointer at byte 4, so plug-in code that
// writes fields directly works against it.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "frame/contract/host_interfaces.h"
#include "host/app.h"

namespace refhost {

class Scene;

// The host's node kinds, stored at the record's kind field. Light and camera
// are the contract's numbers; the others are the host's own.
enum class NodeKind : int16_t {
    Node = 1,    // CreateNode: mesh, shape, helper or group
    Target = 2,  // CreateTarget
    Light = NodeKindLight,
    Camera = NodeKindCamera,
    Primitive = 5,  // CreatePrimitive
};

// The most elements (vertices, faces, lines, ...) one array of a node takes,
// and the most bytes of one AllocNodeMemory: larger requests fail.
constexpr int32_t MaxElementCount = 1 << 24;
constexpr int32_t MaxNodeMemoryBytes = 1 << 28;

// Everything the host keeps of a node besides its record.
struct NodeData {
    Scene* scene = nullptr;
    HostNode* self = nullptr;  // the object the plug-in sees
    unsigned char* record = nullptr;
    NodeKind kind = NodeKind::Node;
    int index = 0;  // place in the node list
    std::optional<std::string> name;
    std::map<int32_t, uint32_t> properties;
    std::vector<Point3> vertices;  // shapes: the points handed over by StorePoints
    std::vector<HostTexVertex> texVertices;
    std::vector<HostFace> faces;
    // The host's own: smoothing group masks of the faces, one per face, for
    // a mesh the host built (a primitive); empty where they are not known.
    std::vector<uint32_t> smoothing;
    std::vector<HostLine> lines;
    std::vector<std::pair<std::unique_ptr<unsigned char[]>, int32_t>> memory;  // AllocNodeMemory blocks
    // Cameras
    std::optional<Point3> vectorA, vectorB;
    std::optional<float> fov;
    // Primitives
    int32_t primitiveKind = 0;
    ParamValues parameters;
    bool placeholder = false;  // the host could not build the kind: a box stands in

    // The record's fields, through the contract's accessors.
    HostNode* parent() const { return nodeParent(self); }
    HostMatrix transform() const { return nodeTransform(self); }
    void* userData() const { return nodeUserData(self); }
    void syncArrays();  // vertex, face and texture vertex fields after a resize
    bool ownsMemory(const void* p, std::size_t bytes) const;
};

// One material property as the plug-in set it.
struct MaterialValue {
    enum class Type { Colour, Float, Text, Raw } type;
    Point3 colour;
    float number;
    std::string text;
    uint32_t raw;  // Raw: the first 4 bytes of a value of an unknown property
};

class MaterialObject;

struct MaterialData {
    HostMaterial* self = nullptr;
    int index = 0;
    std::optional<std::string> name;
    std::vector<std::pair<int32_t, MaterialValue>> properties;  // in the order set; a later value replaces
};

enum class KeyType { Position, Rotation, Scale };

class KeyObject;
class NodeTracksObject;
class AnimationObject;

struct KeyData {
    KeyType type;
    float time;
    std::vector<float> value;  // 3 floats, 4 for rotation; empty until SetValue
    const HostKey* self;
};

struct TracksData {
    const NodeData* node;
    std::optional<HostMatrix> initialTransform;
    std::vector<KeyData*> keys;  // in the order made
};

struct AnimationData {
    std::optional<float> frameRate, start, length;
    std::optional<int32_t> playMode;
    std::vector<TracksData*> tracks;  // in the order first asked for
};

class NodeListObject;

class Scene final : public HostScene {
 public:
    explicit Scene(App& app);
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    HostMeshNode* HOSTAPI CreateNode() override;
    HostMaterial* HOSTAPI CreateMaterial() override;
    HostLight* HOSTAPI CreateLight() override;
    HostCamera* HOSTAPI CreateCamera() override;
    HostNode* HOSTAPI CreateTarget() override;
    int32_t HOSTAPI AddSceneInfo(int32_t kind, const char* text) override;
    HostNode* HOSTAPI CreatePrimitive(int32_t kind, HostParamBlock* parameters) override;
    int32_t HOSTAPI EndImport() override;
    HostAnimation* HOSTAPI GetAnimation(int32_t create) override;

    App& app() const { return app_; }
    const std::vector<NodeData*>& nodes() const { return nodes_; }
    const std::vector<MaterialData*>& materials() const { return materials_; }
    const std::vector<std::pair<int32_t, std::string>>& sceneInfo() const { return sceneInfo_; }
    const AnimationData* animation() const;
    int endImportCalls() const { return endImportCalls_; }

    int indexOf(const HostNode* node) const;  // -1 when not a node of this scene
    // The material whose object pointer is value, or -1: a face's material
    // field holds either a material or a number.
    int materialIndexOf(uint32_t value) const;

    // For the node list and the node objects.
    HostNode* findByName(const char* name) const;
    void nameChanged(NodeData& node, const std::optional<std::string>& previous);

 private:
    static const char* contractName() { return "HostScene"; }
    HOST_UNUSED_SLOTS_HostScene(REFHOST_UNUSED_SLOT)

        template <class T>
        T* addNode(NodeKind kind);

    unsigned char record_[record::SceneRecordSize - sizeof(void*)];
    App& app_;
    std::unique_ptr<NodeListObject> nodeList_;
    std::vector<NodeData*> nodes_;
    std::vector<std::unique_ptr<void, void (*)(void*)>> nodeObjects_;
    std::vector<MaterialData*> materials_;
    std::vector<std::unique_ptr<MaterialObject>> materialObjects_;
    std::unordered_map<uint32_t, int> materialIndex_;
    std::unordered_map<std::string, std::vector<NodeData*>> byName_;  // lower-cased name
    std::vector<std::pair<int32_t, std::string>> sceneInfo_;
    std::unique_ptr<AnimationObject> animation_;
    int endImportCalls_ = 0;

    friend class NodeListObject;
};

}  // namespace refhost
