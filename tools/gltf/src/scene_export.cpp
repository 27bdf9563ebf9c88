// The document: nodes with their local transforms under the root that turns
// Z up into Y up, and the parts the other files make.
#include <cmath>

#include "context.h"
#include "host/matrix.h"
#include "host/text.h"
#include "transforms.h"

namespace gltf {

namespace {

// The node's parent when it is a node of the scene and following parents
// from it never comes back to the node; else none (a top-level node).
int parentOf(const refhost::Scene& scene, const refhost::NodeData& node) {
    const int parent = scene.indexOf(node.parent());
    if (parent < 0) return -1;
    const auto& nodes = scene.nodes();
    int at = parent;
    for (std::size_t steps = 0; at >= 0 && steps <= nodes.size(); ++steps) {
        if (at == node.index) return -1;
        at = scene.indexOf(nodes[static_cast<std::size_t>(at)]->parent());
    }
    return at < 0 ? parent : -1;
}

// The node's transform relative to its parent: world * inverse(parent world).
HostMatrix localTransform(Context& context, const refhost::NodeData& node, int parent) {
    const HostMatrix world = node.transform();
    if (parent < 0) return world;
    HostMatrix inverse = context.scene.nodes()[static_cast<std::size_t>(parent)]->transform();
    if (!refhost::matrix::invert(inverse)) {
        ++context.tally["nodes under a parent whose transform has no inverse, placed by their own transform"];
        return world;
    }
    return refhost::matrix::multiply(world, inverse);
}

void putTransform(Context& context, Json& out, const HostMatrix& m) {
    Trs trs;
    switch (decompose(m, trs)) {
        case Decomposition::Exact:
            break;
        case Decomposition::Sheared:
            ++context.tally["transforms with shear, made square"];
            break;
        case Decomposition::NotFinite:
            ++context.tally["transforms with values that are not numbers, made identity"];
            break;
    }
    const auto& t = trs.translation;
    const auto& r = trs.rotation;
    const auto& s = trs.scale;
    if (t[0] != 0 || t[1] != 0 || t[2] != 0) out["translation"] = {t[0], t[1], t[2]};
    if (r[0] != 0 || r[1] != 0 || r[2] != 0) out["rotation"] = {r[0], r[1], r[2], r[3]};
    if (s[0] != 1 || s[1] != 1 || s[2] != 1) out["scale"] = {s[0], s[1], s[2]};
}

}  // namespace

Document exportScene(const refhost::Scene& scene, const ExportOptions& options) {
    Context context(scene);
    const auto& hostNodes = scene.nodes();
    Json nodes = Json::array();
    std::vector<std::vector<int>> children(hostNodes.size() + 1);
    const int root = static_cast<int>(hostNodes.size());
    for (const refhost::NodeData* node : hostNodes) {
        const int parent = parentOf(scene, *node);
        children[static_cast<std::size_t>(parent < 0 ? root : parent)].push_back(node->index);
        Json out = Json::object();
        if (node->name) out["name"] = refhost::utf8Text(*node->name);
        putTransform(context, out, localTransform(context, *node, parent));
        const int mesh = exportMesh(context, *node);
        if (mesh >= 0) out["mesh"] = mesh;
        if (node->kind == refhost::NodeKind::Camera) out["camera"] = exportCamera(context, *node);
        if (node->kind == refhost::NodeKind::Light) {
            out["extensions"] = {{"KHR_lights_punctual", {{"light", exportLight(context, *node)}}}};
        }
        nodes.push_back(std::move(out));
    }
    // Z up to Y up: a quarter turn about X, clockwise seen from +X.
    const double half = std::sqrt(0.5);
    nodes.push_back({{"name", refhost::utf8Text(options.rootName)}, {"rotation", {-half, 0.0, 0.0, half}}});
    for (std::size_t i = 0; i < children.size(); ++i) {
        if (!children[i].empty()) nodes[i]["children"] = children[i];
    }
    context.counts.nodes = static_cast<int>(nodes.size());

    Json textures = Json::array(), images = Json::array();
    const Json materials = exportMaterials(context, textures, images);
    const Json animation = exportAnimation(context);

    Document doc;
    Json& j = doc.json;
    j["asset"] = {{"version", "2.0"}, {"generator", "maxase convert"}};
    if (!context.lights.empty()) j["extensionsUsed"] = {"KHR_lights_punctual"};
    j["scene"] = 0;
    j["scenes"] = Json::array({{{"nodes", {root}}}});
    j["nodes"] = std::move(nodes);
    if (!context.meshes.empty()) j["meshes"] = std::move(context.meshes);
    if (!materials.empty()) j["materials"] = materials;
    if (!textures.empty()) j["textures"] = std::move(textures);
    if (!images.empty()) j["images"] = std::move(images);
    if (!context.cameras.empty()) j["cameras"] = std::move(context.cameras);
    if (!animation.is_null()) j["animations"] = Json::array({animation});
    if (!context.buffer.bytes().empty()) {
        j["accessors"] = std::move(context.buffer.accessors());
        j["bufferViews"] = std::move(context.buffer.views());
        j["buffers"] = Json::array({{{"byteLength", context.buffer.bytes().size()}}});
        doc.binary = context.buffer.bytes();
    }
    if (!context.lights.empty()) j["extensions"] = {{"KHR_lights_punctual", {{"lights", std::move(context.lights)}}}};
    doc.counts = context.counts;
    for (const auto& [what, count] : context.tally) doc.notes.push_back(std::to_string(count) + " " + what);
    return doc;
}

}  // namespace gltf
