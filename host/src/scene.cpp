// The scene, its node list and its materials.
#include <cstring>

#include "host/primitives.h"
#include "scene_objects.h"

namespace refhost {

namespace {

std::string lowerCase(const char* text) {
    std::string s(text ? text : "");
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

// How the host reads each material property it knows.
MaterialValue::Type materialValueType(int32_t id) {
    switch (id) {
        case MaterialAmbient:
        case MaterialDiffuse:
        case MaterialSpecular:
            return MaterialValue::Type::Colour;
        case MaterialDiffuseMap:
            return MaterialValue::Type::Text;
        case MaterialUTiling:
        case MaterialVTiling:
        case MaterialUOffset:
        case MaterialVOffset:
        case MaterialOpacity:
        case MaterialShineStrength:
        case MaterialShine:
            return MaterialValue::Type::Float;
        default:
            return MaterialValue::Type::Raw;
    }
}

template <class T>
void destroyObject(void* p) {
    delete static_cast<T*>(p);
}

}  // namespace

Scene::Scene(App& app) : app_(app), nodeList_(std::make_unique<NodeListObject>(*this)) {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
    static_assert(offsetof(Scene, record_) == sizeof(void*), "scene record at byte 4");
#pragma GCC diagnostic pop
    std::memset(record_, 0, sizeof record_);
    writeField<HostNodeList*>(this, record::SceneNodes, nodeList_.get());
}

Scene::~Scene() = default;

template <class T>
T* Scene::addNode(NodeKind kind) {
    auto* node = new T(*this, kind);
    node->data.index = static_cast<int>(nodes_.size());
    nodes_.push_back(&node->data);
    nodeObjects_.emplace_back(node, &destroyObject<T>);
    return node;
}

HostMeshNode* Scene::CreateNode() {
    auto* node = addNode<MeshNodeObject>(NodeKind::Node);
    REFHOST_TRACE(app_, "Scene.CreateNode -> #%d", node->data.index);
    return node;
}

HostMaterial* Scene::CreateMaterial() {
    auto object = std::make_unique<MaterialObject>(app_);
    object->data.self = object.get();
    object->data.index = static_cast<int>(materials_.size());
    materials_.push_back(&object->data);
    materialIndex_[reinterpret_cast<uint32_t>(object.get())] = object->data.index;
    REFHOST_TRACE(app_, "Scene.CreateMaterial -> M%d", object->data.index);
    materialObjects_.push_back(std::move(object));
    return materialObjects_.back().get();
}

HostLight* Scene::CreateLight() {
    auto* node = addNode<LightObject>(NodeKind::Light);
    REFHOST_TRACE(app_, "Scene.CreateLight -> #%d", node->data.index);
    return node;
}

HostCamera* Scene::CreateCamera() {
    auto* node = addNode<CameraObject>(NodeKind::Camera);
    REFHOST_TRACE(app_, "Scene.CreateCamera -> #%d", node->data.index);
    return node;
}

HostNode* Scene::CreateTarget() {
    auto* node = addNode<TargetObject>(NodeKind::Target);
    REFHOST_TRACE(app_, "Scene.CreateTarget -> #%d", node->data.index);
    return node;
}

int32_t Scene::AddSceneInfo(int32_t kind, const char* text) {
    sceneInfo_.emplace_back(kind, text ? text : "");
    REFHOST_TRACE(app_, "Scene.AddSceneInfo(%d, %s)", kind, text ? text : "");
    return 1;
}

HostNode* Scene::CreatePrimitive(int32_t kind, HostParamBlock* parameters) {
    const ParamValues* values = app_.findParamBlock(parameters);
    if (!values) {
        reportContractViolation("CreatePrimitive with a parameter block the host did not hand out");
        return nullptr;
    }
    switch (kind) {
        case PrimitiveBox:
        case PrimitiveSphere:
        case PrimitiveCylinder:
        case PrimitiveTorus:
        case PrimitiveCone:
        case PrimitiveGeoSphere:
        case PrimitiveTube:
        case PrimitivePyramid:
        case PrimitivePrism:
        case PrimitiveHedra:
        case PrimitiveChamferBox:
        case PrimitiveOilTank:
        case PrimitiveSpindle:
        case PrimitiveGengon:
        case PrimitiveChamferCyl:
        case PrimitiveKind40:
            break;
        default:
            REFHOST_TRACE(app_, "Scene.CreatePrimitive(%d) -> null", kind);
            return nullptr;
    }
    auto* node = addNode<MeshNodeObject>(NodeKind::Primitive);
    NodeData& data = node->data;
    data.primitiveKind = kind;
    data.parameters = *values;
    PrimitiveMesh mesh = buildPrimitive(kind, *values);
    data.vertices = std::move(mesh.vertices);
    data.texVertices = std::move(mesh.texVertices);
    data.faces = std::move(mesh.faces);
    data.smoothing = std::move(mesh.smoothing);
    data.placeholder = mesh.placeholder;
    data.syncArrays();
    const std::string where = "primitive #" + std::to_string(data.index) + " (" + primitiveName(kind) + ")";
    if (mesh.placeholder) {
        app_.addHostNote(where + " is not built: an axis-aligned box stands in for it" +
                         (mesh.note.empty() ? "" : " (" + mesh.note + ")"));
    } else if (!mesh.note.empty()) {
        app_.addHostNote(where + ": " + mesh.note);
    }
    REFHOST_TRACE(app_, "Scene.CreatePrimitive(%d) -> #%d", kind, data.index);
    return node;
}

int32_t Scene::EndImport() {
    ++endImportCalls_;
    REFHOST_TRACE(app_, "Scene.EndImport");
    return 1;
}

HostAnimation* Scene::GetAnimation(int32_t create) {
    if (!animation_ && create) animation_ = std::make_unique<AnimationObject>(app_);
    REFHOST_TRACE(app_, "Scene.GetAnimation(%d) -> %s", create, animation_ ? "animation" : "null");
    return animation_.get();
}

const AnimationData* Scene::animation() const {
    return animation_ ? &animation_->data : nullptr;
}

int Scene::indexOf(const HostNode* node) const {
    const NodeData* data = app_.findNode(node);
    return data && data->scene == this ? data->index : -1;
}

int Scene::materialIndexOf(uint32_t value) const {
    const auto it = materialIndex_.find(value);
    return it == materialIndex_.end() ? -1 : it->second;
}

HostNode* Scene::findByName(const char* name) const {
    const auto it = byName_.find(lowerCase(name));
    return it == byName_.end() || it->second.empty() ? nullptr : it->second.front()->self;
}

void Scene::nameChanged(NodeData& node, const std::optional<std::string>& previous) {
    if (previous) {
        auto& list = byName_[lowerCase(previous->c_str())];
        for (auto it = list.begin(); it != list.end(); ++it) {
            if (*it == &node) {
                list.erase(it);
                break;
            }
        }
    }
    // The first node of a name in list order is the one found.
    auto& list = byName_[lowerCase(node.name->c_str())];
    auto at = list.begin();
    while (at != list.end() && (*at)->index < node.index) ++at;
    list.insert(at, &node);
}

int32_t NodeListObject::Count() {
    return static_cast<int32_t>(scene_.nodes_.size());
}

HostNode* NodeListObject::GetAt(int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= scene_.nodes_.size()) return nullptr;
    return scene_.nodes_[static_cast<std::size_t>(index)]->self;
}

HostNode* NodeListObject::FindByName(const char* name) {
    HostNode* found = scene_.findByName(name);
    REFHOST_TRACE(scene_.app(), "Nodes.FindByName(%s) -> %s", name ? name : "",
                  found ? ("#" + std::to_string(scene_.indexOf(found))).c_str() : "null");
    return found;
}

int32_t MaterialObject::SetName(const char* name) {
    data.name = name ? std::string(name) : std::string();
    REFHOST_TRACE(app_, "M%d.SetName(%s)", data.index, data.name->c_str());
    return 1;
}

int32_t MaterialObject::SetProperty(int32_t id, const void* value) {
    if (!value) return 0;
    MaterialValue v{materialValueType(id), {0, 0, 0}, 0, {}, 0};
    switch (v.type) {
        case MaterialValue::Type::Colour:
            std::memcpy(&v.colour, value, sizeof v.colour);
            REFHOST_TRACE(app_, "M%d.SetProperty(%d, %g %g %g)", data.index, id, static_cast<double>(v.colour.x),
                          static_cast<double>(v.colour.y), static_cast<double>(v.colour.z));
            break;
        case MaterialValue::Type::Float:
            std::memcpy(&v.number, value, sizeof v.number);
            REFHOST_TRACE(app_, "M%d.SetProperty(%d, %g)", data.index, id, static_cast<double>(v.number));
            break;
        case MaterialValue::Type::Text:
            v.text = static_cast<const char*>(value);
            REFHOST_TRACE(app_, "M%d.SetProperty(%d, %s)", data.index, id, v.text.c_str());
            break;
        case MaterialValue::Type::Raw:
            std::memcpy(&v.raw, value, sizeof v.raw);
            REFHOST_TRACE(app_, "M%d.SetProperty(%d, raw %08x)", data.index, id, v.raw);
            break;
    }
    for (auto& [existing, old] : data.properties) {
        if (existing == id) {
            old = v;
            return 1;
        }
    }
    data.properties.emplace_back(id, v);
    return 1;
}

}  // namespace refhost
