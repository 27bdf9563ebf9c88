// Node objects: names, properties, transforms, and the arrays of meshes and
// shapes that the plug-in fills in place.
#include <algorithm>
#include <cstring>
#include <new>

#include "host/matrix.h"
#include "scene_objects.h"

namespace refhost {

namespace {

std::string describe(const NodeData& node) {
    return "#" + std::to_string(node.index) + (node.name ? " " + *node.name : std::string());
}

// Resizes an array of a node, or fails (0) for a negative or too large count
// or when memory runs out.
template <class T>
int32_t resize(NodeData& node, std::vector<T>& array, int32_t count, const T& initial, const char* what) {
    if (count < 0 || count > MaxElementCount ||
        !node.scene->app().admitAllocation(static_cast<std::size_t>(count) * sizeof(T))) {
        REFHOST_TRACE(node.scene->app(), "Node%s.%s(%d) -> 0", describe(node).c_str(), what, count);
        return 0;
    }
    try {
        array.assign(static_cast<std::size_t>(count), initial);
    } catch (const std::bad_alloc&) {
        array.clear();
        node.syncArrays();
        return 0;
    }
    node.syncArrays();
    REFHOST_TRACE(node.scene->app(), "Node%s.%s(%d)", describe(node).c_str(), what, count);
    return 1;
}

}  // namespace

void NodeData::syncArrays() {
    // Cameras and lights keep other fields where meshes keep their arrays.
    if (kind != NodeKind::Node && kind != NodeKind::Primitive) return;
    writeField<int32_t>(self, record::MeshVertexCount, static_cast<int32_t>(vertices.size()));
    writeField<Point3*>(self, record::MeshVertices, vertices.empty() ? nullptr : vertices.data());
    writeField<int32_t>(self, record::MeshFaceCount, static_cast<int32_t>(faces.size()));
    writeField<HostTexVertex*>(self, record::MeshTexVertices, texVertices.empty() ? nullptr : texVertices.data());
}

bool NodeData::ownsMemory(const void* p, std::size_t bytes) const {
    const auto* q = static_cast<const unsigned char*>(p);
    for (const auto& [block, size] : memory) {
        if (q >= block.get() && q + bytes <= block.get() + size) return true;
    }
    return false;
}

template <class Interface>
NodeObject<Interface>::NodeObject(Scene& scene, NodeKind kind) {
    std::memset(record, 0, sizeof record);
    data.scene = &scene;
    data.self = this;
    data.record = reinterpret_cast<unsigned char*>(this);
    data.kind = kind;
    writeField<int16_t>(this, record::NodeKind, static_cast<int16_t>(kind));
    writeField<HostScene*>(this, record::NodeScene, &scene);
    writeField<HostMatrix>(this, record::NodeTransform, matrix::identity());
    scene.app().registerNode(this, &data);
}

template <class Interface>
NodeObject<Interface>::~NodeObject() {
    data.scene->app().unregisterNode(this);
}

template <class Interface>
int32_t NodeObject<Interface>::SetName(const char* name) {
    const std::optional<std::string> previous = data.name;
    data.name = name ? std::string(name) : std::string();
    data.scene->nameChanged(data, previous);
    REFHOST_TRACE(data.scene->app(), "Node#%d.SetName(%s)", data.index, data.name->c_str());
    return 1;
}

template <class Interface>
int32_t NodeObject<Interface>::SetProperty(int32_t id, uint32_t value) {
    data.properties[id] = value;
    REFHOST_TRACE(data.scene->app(), "Node%s.SetProperty(%d, %u)", describe(data).c_str(), id, value);
    return 1;
}

template <class Interface>
int32_t NodeObject<Interface>::SetTransform(const HostMatrix* m) {
    if (!m) return 0;
    writeField<HostMatrix>(this, record::NodeTransform, *m);
    REFHOST_TRACE(data.scene->app(), "Node%s.SetTransform", describe(data).c_str());
    return 1;
}

template <class Interface>
int32_t NodeObject<Interface>::GetTransform(HostMatrix* m) {
    if (!m) return 0;
    *m = nodeTransform(this);
    REFHOST_TRACE(data.scene->app(), "Node%s.GetTransform", describe(data).c_str());
    return 1;
}

template class NodeObject<HostMeshNode>;
template class NodeObject<HostCamera>;
template class NodeObject<HostLight>;
template class NodeObject<HostNode>;

int32_t MeshNodeObject::SetVertexCount(int32_t count, int32_t) {
    return resize(data, data.vertices, count, Point3{0, 0, 0}, "SetVertexCount");
}

int32_t MeshNodeObject::SetTexVertexCount(int32_t count, int32_t) {
    return resize(data, data.texVertices, count, HostTexVertex{0, 0}, "SetTexVertexCount");
}

int32_t MeshNodeObject::SetFaceCount(int32_t count, int32_t) {
    data.smoothing.clear();  // faces the plug-in fills carry no smoothing groups
    return resize(data, data.faces, count, HostFace{}, "SetFaceCount");
}

int32_t MeshNodeObject::SetLineCount(int32_t count, int32_t) {
    return resize(data, data.lines, count, HostLine{}, "SetLineCount");
}

HostFace* MeshNodeObject::GetFace(int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= data.faces.size()) {
        reportContractViolation("GetFace(" + std::to_string(index) + ") beyond the faces of node " + describe(data));
        return nullptr;
    }
    return &data.faces[static_cast<std::size_t>(index)];
}

HostLine* MeshNodeObject::GetLine(int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= data.lines.size()) {
        reportContractViolation("GetLine(" + std::to_string(index) + ") beyond the lines of node " + describe(data));
        return nullptr;
    }
    return &data.lines[static_cast<std::size_t>(index)];
}

void* MeshNodeObject::AllocNodeMemory(int32_t bytes) {
    if (bytes < 0 || bytes > MaxNodeMemoryBytes ||
        !data.scene->app().admitAllocation(static_cast<std::size_t>(bytes))) {
        return nullptr;
    }
    std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[bytes ? bytes : 1]());
    if (!block) return nullptr;
    void* p = block.get();
    data.memory.emplace_back(std::move(block), bytes);
    REFHOST_TRACE(data.scene->app(), "Node%s.AllocNodeMemory(%d)", describe(data).c_str(), bytes);
    return p;
}

int32_t CameraObject::SetVectorB(const float* vector, int32_t one) {
    if (!vector) return 0;
    data.vectorB = Point3{vector[0], vector[1], vector[2]};
    REFHOST_TRACE(data.scene->app(), "Camera#%d.SetVectorB(%g, %g, %g, %d)", data.index, vector[0], vector[1],
                  vector[2], one);
    return 1;
}

int32_t CameraObject::SetVectorA(const float* vector, int32_t one) {
    if (!vector) return 0;
    data.vectorA = Point3{vector[0], vector[1], vector[2]};
    REFHOST_TRACE(data.scene->app(), "Camera#%d.SetVectorA(%g, %g, %g, %d)", data.index, vector[0], vector[1],
                  vector[2], one);
    return 1;
}

int32_t CameraObject::SetFov(float fov) {
    data.fov = fov;
    REFHOST_TRACE(data.scene->app(), "Camera#%d.SetFov(%g)", data.index, static_cast<double>(fov));
    return 1;
}

LightObject::LightObject(Scene& scene, NodeKind kind) : NodeObject(scene, kind) {
    // A new light is a white omni light of intensity 1 without attenuation.
    setLightType(this, LightOmni);
    setLightColor(this, Point3{1, 1, 1});
    setLightIntensity(this, 1.0f);
}

}  // namespace refhost
