#include "host/dump.h"

#include <cmath>

#include "host/text.h"

namespace refhost {

using Json = nlohmann::ordered_json;

namespace {

// JSON has no NaN or infinity; they are written as strings.
Json number(double v) {
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
    return v;
}

Json point(const Point3& p) {
    return Json::array({number(p.x), number(p.y), number(p.z)});
}

Json matrixJson(const HostMatrix& m) {
    Json a = Json::array();
    for (const auto& row : m.m) {
        for (double v : row) a.push_back(number(v));
    }
    return a;
}

Json nodeRef(const Scene& scene, const HostNode* node) {
    if (!node) return nullptr;
    const int index = scene.indexOf(node);
    return index >= 0 ? Json(index) : Json("foreign");
}

bool hasChildren(const Scene& scene, const NodeData& node) {
    for (const NodeData* other : scene.nodes()) {
        if (other->parent() == node.self) return true;
    }
    return false;
}

// Fields of the packed records are copied out by value: a reference to one
// would be misaligned.
Json triple(int32_t a, int32_t b, int32_t c) {
    return Json::array({a, b, c});
}

Json facesJson(const Scene& scene, const NodeData& node) {
    Json faces = Json::array();
    const bool smoothing = node.smoothing.size() == node.faces.size();
    for (std::size_t i = 0; i < node.faces.size(); ++i) {
        const HostFace& f = node.faces[i];
        Json face = Json::object();
        face["v"] = triple(f.a, f.b, f.c);
        face["t"] = triple(f.ta, f.tb, f.tc);
        face["flags"] = static_cast<int>(f.flags);
        if (smoothing) face["smoothing"] = node.smoothing[i];
        const uint32_t materialField = f.material;
        const int material = scene.materialIndexOf(materialField);
        if (material >= 0) {
            face["material"] = material;
        } else {
            face["materialId"] = materialField;
        }
        faces.push_back(face);
    }
    return faces;
}

Json linesJson(const NodeData& node) {
    Json lines = Json::array();
    for (const HostLine& l : node.lines) {
        Json line = Json::object();
        line["flags"] = static_cast<int>(l.flags);
        const int count = l.pointCount;
        const int32_t* indices = l.points;
        Json points = Json::array();
        if (count && node.ownsMemory(indices, count * sizeof(int32_t))) {
            for (int i = 0; i < count; ++i) points.push_back(indices[i]);
        } else if (count) {
            points = "not node memory";
        }
        line["points"] = points;
        lines.push_back(line);
    }
    return lines;
}

Json parametersJson(const ParamValues& values) {
    Json params = Json::object();
    for (const auto& [index, v] : values) {
        const std::string key = std::to_string(index);
        switch (v.type) {
            case ParamValue::Type::Int:
                params[key] = v.intValue;
                break;
            case ParamValue::Type::Float:
                params[key] = number(v.floatValue);
                break;
            case ParamValue::Type::Point:
                params[key] = point(v.point);
                break;
        }
    }
    return params;
}

Json propertyName(int32_t id) {
    switch (id) {
        case NodeCastShadow:
            return "castShadow";
        case NodeReceiveShadow:
            return "receiveShadow";
        case NodeMaterial:
            return "material";
        default:
            return std::to_string(id);
    }
}

Json nodeJson(const Scene& scene, const NodeData& node) {
    Json j = Json::object();
    j["name"] = node.name ? Json(utf8Text(*node.name)) : Json(nullptr);
    j["kind"] = nodeKindName(scene, node);
    j["parent"] = nodeRef(scene, node.parent());
    j["transform"] = matrixJson(node.transform());
    Json vertices = Json::array();
    for (const Point3& v : node.vertices) vertices.push_back(point(v));
    j["vertices"] = vertices;
    j["faces"] = facesJson(scene, node);
    Json tex = Json::array();
    for (const HostTexVertex& t : node.texVertices) tex.push_back({number(t.u), number(t.v)});
    j["texVertices"] = tex;
    j["lines"] = linesJson(node);
    Json props = Json::object();
    for (const auto& [id, value] : node.properties) {
        const Json name = propertyName(id);
        if (id == NodeMaterial) {
            const int m = scene.materialIndexOf(value);
            props[name.get<std::string>()] = m >= 0 ? Json(m) : Json(value);
        } else {
            props[name.get<std::string>()] = static_cast<int32_t>(value);
        }
    }
    j["properties"] = props;
    if (node.kind == NodeKind::Camera) {
        j["camera"] = {{"target", nodeRef(scene, cameraTarget(node.self))},
                       {"fov", node.fov ? number(*node.fov) : Json(nullptr)},
                       {"vectorA", node.vectorA ? point(*node.vectorA) : Json(nullptr)},
                       {"vectorB", node.vectorB ? point(*node.vectorB) : Json(nullptr)}};
    }
    if (node.kind == NodeKind::Light) {
        const HostNode* l = node.self;
        j["light"] = {{"type", lightType(l)},
                      {"useAttenuation", lightUsesAttenuation(l)},
                      {"colour", point(lightColor(l))},
                      {"intensity", number(lightIntensity(l))},
                      {"attenuationStart", number(lightAttenuationStart(l))},
                      {"attenuationEnd", number(lightAttenuationEnd(l))},
                      {"hotspot", number(lightHotspot(l))},
                      {"falloff", number(lightFalloff(l))},
                      {"target", nodeRef(scene, lightTarget(l))}};
    }
    if (node.kind == NodeKind::Primitive) {
        j["primitive"] = {{"kind", node.primitiveKind},
                          {"parameters", parametersJson(node.parameters)},
                          {"mesh", node.placeholder ? "placeholder" : "built"}};
    }
    if (node.userData()) j["userData"] = "set";
    return j;
}

Json materialJson(const MaterialData& m) {
    Json j = Json::object();
    j["name"] = m.name ? Json(utf8Text(*m.name)) : Json(nullptr);
    Json props = Json::object();
    for (const auto& [id, v] : m.properties) {
        const char* name = nullptr;
        switch (id) {
            case MaterialAmbient:
                name = "ambient";
                break;
            case MaterialDiffuse:
                name = "diffuse";
                break;
            case MaterialSpecular:
                name = "specular";
                break;
            case MaterialDiffuseMap:
                name = "diffuseMap";
                break;
            case MaterialUTiling:
                name = "uTiling";
                break;
            case MaterialVTiling:
                name = "vTiling";
                break;
            case MaterialUOffset:
                name = "uOffset";
                break;
            case MaterialVOffset:
                name = "vOffset";
                break;
            case MaterialOpacity:
                name = "opacity";
                break;
            case MaterialShineStrength:
                name = "shineStrength";
                break;
            case MaterialShine:
                name = "shine";
                break;
            default:
                break;
        }
        const std::string key = name ? name : std::to_string(id);
        switch (v.type) {
            case MaterialValue::Type::Colour:
                props[key] = point(v.colour);
                break;
            case MaterialValue::Type::Float:
                props[key] = number(v.number);
                break;
            case MaterialValue::Type::Text:
                props[key] = utf8Text(v.text);
                break;
            case MaterialValue::Type::Raw:
                props[key] = v.raw;
                break;
        }
    }
    j["properties"] = props;
    return j;
}

Json keysJson(const TracksData& tracks, KeyType type) {
    Json keys = Json::array();
    for (const KeyData* k : tracks.keys) {
        if (k->type != type) continue;
        Json key = Json::object();
        key["time"] = number(k->time);
        Json value = Json::array();
        for (float v : k->value) value.push_back(number(v));
        key["value"] = value;
        const KeyTcb tcb = keyTcb(k->self);
        if (tcb.tension != 0 || tcb.continuity != 0 || tcb.bias != 0 || tcb.easeIn != 0 || tcb.easeOut != 0) {
            key["tcb"] = {number(tcb.tension), number(tcb.continuity), number(tcb.bias), number(tcb.easeIn),
                          number(tcb.easeOut)};
        }
        keys.push_back(key);
    }
    return keys;
}

Json animationJson(const Scene& scene) {
    const AnimationData* a = scene.animation();
    if (!a) return nullptr;
    Json j = Json::object();
    j["frameRate"] = a->frameRate ? number(*a->frameRate) : Json(nullptr);
    j["start"] = a->start ? number(*a->start) : Json(nullptr);
    j["length"] = a->length ? number(*a->length) : Json(nullptr);
    j["playMode"] = a->playMode ? Json(*a->playMode) : Json(nullptr);
    Json nodes = Json::array();
    for (const NodeData* node : scene.nodes()) {
        const TracksData* found = nullptr;
        for (const TracksData* t : a->tracks) {
            if (t->node == node) found = t;
        }
        if (!found) {
            nodes.push_back(nullptr);
            continue;
        }
        nodes.push_back(
            {{"initialTransform", found->initialTransform ? matrixJson(*found->initialTransform) : Json(nullptr)},
             {"position", keysJson(*found, KeyType::Position)},
             {"rotation", keysJson(*found, KeyType::Rotation)},
             {"scale", keysJson(*found, KeyType::Scale)}});
    }
    j["nodes"] = nodes;
    return j;
}

}  // namespace

const char* nodeKindName(const Scene& scene, const NodeData& node) {
    switch (node.kind) {
        case NodeKind::Target:
            return "target";
        case NodeKind::Camera:
            return "camera";
        case NodeKind::Light:
            return "light";
        case NodeKind::Primitive:
            return "primitive";
        case NodeKind::Node:
            break;
    }
    if (!node.lines.empty()) return "shape";
    if (!node.faces.empty() || !node.vertices.empty()) return "mesh";
    return hasChildren(scene, node) ? "group" : "helper";
}

Json dumpScene(const App& app, const Scene& scene) {
    Json j = Json::object();
    Json nodes = Json::array();
    for (const NodeData* node : scene.nodes()) nodes.push_back(nodeJson(scene, *node));
    j["nodes"] = nodes;
    Json materials = Json::array();
    for (const MaterialData* m : scene.materials()) materials.push_back(materialJson(*m));
    j["materials"] = materials;
    Json messages = Json::array();
    for (const Message& m : app.messages()) messages.push_back({{"level", m.level}, {"text", utf8Text(m.text)}});
    j["messages"] = messages;
    Json status = Json::array();
    for (const std::string& s : app.statusTexts()) status.push_back(utf8Text(s));
    j["status"] = status;
    Json info = Json::array();
    for (const auto& [kind, text] : scene.sceneInfo()) info.push_back({{"kind", kind}, {"text", utf8Text(text)}});
    j["sceneInfo"] = info;
    Json settings = Json::array();
    for (const SettingWrite& w : app.settingsWritten()) {
        settings.push_back({{"section", utf8Text(w.section)}, {"key", utf8Text(w.key)}, {"value", w.value}});
    }
    j["settings"] = settings;
    Json errors = Json::array();
    for (const InternalError& e : app.internalErrors()) {
        errors.push_back({{"source", utf8Text(e.source)}, {"line", e.line}, {"argument", e.argument}});
    }
    j["internalErrors"] = errors;
    j["animation"] = animationJson(scene);
    j["endImportCalls"] = scene.endImportCalls();
    Json violations = Json::array();
    for (const std::string& v : contractViolations()) violations.push_back(utf8Text(v));
    j["contractViolations"] = violations;
    Json notes = Json::array();
    for (const std::string& n : app.hostNotes()) notes.push_back(utf8Text(n));
    j["hostNotes"] = notes;
    return j;
}

}  // namespace refhost
