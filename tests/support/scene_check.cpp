#include "support/scene_check.h"

#include <string>

#include "host/contract_checks.h"

namespace testing_support {

namespace {

// An index fits an array of count entries; 0 also stands for "none" in an
// empty array, as a new face's fields hold it.
bool fits(int32_t index, std::size_t count) {
    return (index == 0 && count == 0) || (index >= 0 && static_cast<std::size_t>(index) < count);
}

class Checker {
 public:
    explicit Checker(const refhost::Scene& scene) : scene_(scene) {}

    std::vector<std::string> run() {
        for (const std::string& v : refhost::contractViolations()) problems_.push_back("contract violation: " + v);
        const auto& nodes = scene_.nodes();
        for (std::size_t i = 0; i < nodes.size(); ++i) checkNode(i, *nodes[i]);
        checkParentCycles();
        if (const refhost::AnimationData* animation = scene_.animation()) {
            for (const refhost::TracksData* tracks : animation->tracks) {
                if (scene_.indexOf(tracks->node->self) < 0) problems_.push_back("tracks of a node not in the scene");
            }
        }
        return std::move(problems_);
    }

 private:
    void add(std::size_t node, const std::string& text) {
        problems_.push_back("node " + std::to_string(node) + ": " + text);
    }

    void checkReference(std::size_t i, const HostNode* target, const char* what) {
        if (target && scene_.indexOf(target) < 0) add(i, std::string(what) + " is not a node of the scene");
    }

    void checkNode(std::size_t i, const refhost::NodeData& node) {
        checkReference(i, node.parent(), "parent");
        if (node.userData()) add(i, "user data left behind");
        if (node.kind == refhost::NodeKind::Camera) checkReference(i, cameraTarget(node.self), "camera target");
        if (node.kind == refhost::NodeKind::Light) checkReference(i, lightTarget(node.self), "light target");
        const auto material = node.properties.find(NodeMaterial);
        if (material != node.properties.end() && scene_.materialIndexOf(material->second) < 0) {
            add(i, "material property names no material");
        }
        if (node.kind != refhost::NodeKind::Node && node.kind != refhost::NodeKind::Primitive) return;
        checkCounts(i, node);
        checkFaces(i, node);
        checkLines(i, node);
    }

    // The record's fields are what the plug-in reads; they must describe the arrays.
    void checkCounts(std::size_t i, const refhost::NodeData& node) {
        if (static_cast<std::size_t>(meshVertexCount(node.self)) != node.vertices.size()) {
            add(i, "vertex count " + std::to_string(meshVertexCount(node.self)) + " for " +
                       std::to_string(node.vertices.size()) + " vertices");
        }
        if (static_cast<std::size_t>(meshFaceCount(node.self)) != node.faces.size()) {
            add(i, "face count " + std::to_string(meshFaceCount(node.self)) + " for " +
                       std::to_string(node.faces.size()) + " faces");
        }
        if (meshVertices(node.self) != (node.vertices.empty() ? nullptr : node.vertices.data())) {
            add(i, "vertex array field does not point at the vertices");
        }
        if (meshTexVertices(node.self) != (node.texVertices.empty() ? nullptr : node.texVertices.data())) {
            add(i, "texture vertex array field does not point at the texture vertices");
        }
    }

    void checkFaces(std::size_t i, const refhost::NodeData& node) {
        const std::size_t vertices = node.vertices.size();
        const std::size_t texVertices = node.texVertices.size();
        for (std::size_t f = 0; f < node.faces.size(); ++f) {
            const HostFace& face = node.faces[f];
            // Copies of the packed record's fields.
            const int32_t v[3] = {face.a, face.b, face.c};
            const int32_t t[3] = {face.ta, face.tb, face.tc};
            for (int k = 0; k < 3; ++k) {
                if (!fits(v[k], vertices)) {
                    add(i, "face " + std::to_string(f) + " vertex index " + std::to_string(v[k]) + " of " +
                               std::to_string(vertices));
                    return;
                }
                if (!fits(t[k], texVertices)) {
                    add(i, "face " + std::to_string(f) + " texture vertex index " + std::to_string(t[k]) + " of " +
                               std::to_string(texVertices));
                    return;
                }
            }
        }
    }

    // A line's points index the shape's point table, which StorePoints made
    // the node's vertices.
    void checkLines(std::size_t i, const refhost::NodeData& node) {
        for (std::size_t l = 0; l < node.lines.size(); ++l) {
            const HostLine& line = node.lines[l];
            const int count = line.pointCount;
            const int32_t* points = line.points;
            if (count == 0) continue;
            if (!node.ownsMemory(points, static_cast<std::size_t>(count) * sizeof(int32_t))) {
                add(i, "line " + std::to_string(l) + " points outside the node's memory");
                continue;
            }
            for (int p = 0; p < count; ++p) {
                if (!fits(points[p], node.vertices.size())) {
                    add(i, "line " + std::to_string(l) + " point index " + std::to_string(points[p]) + " of " +
                               std::to_string(node.vertices.size()));
                    break;
                }
            }
        }
    }

    // Walks up from every node, each node once: a walk that comes back to a
    // node of its own path has found a cycle.
    void checkParentCycles() {
        const auto& nodes = scene_.nodes();
        enum : unsigned char { Unseen, OnPath, Done };
        std::vector<unsigned char> state(nodes.size(), Unseen);
        std::vector<std::size_t> path;
        for (std::size_t start = 0; start < nodes.size(); ++start) {
            path.clear();
            int at = static_cast<int>(start);
            while (at >= 0 && state[static_cast<std::size_t>(at)] == Unseen) {
                state[static_cast<std::size_t>(at)] = OnPath;
                path.push_back(static_cast<std::size_t>(at));
                at = scene_.indexOf(nodes[static_cast<std::size_t>(at)]->parent());  // -1 at the top
            }
            if (at >= 0 && state[static_cast<std::size_t>(at)] == OnPath) add(start, "its parents form a cycle");
            for (const std::size_t i : path) state[i] = Done;
        }
    }

    const refhost::Scene& scene_;
    std::vector<std::string> problems_;
};

}  // namespace

std::vector<std::string> sceneProblems(const refhost::Scene& scene) {
    return Checker(scene).run();
}

}  // namespace testing_support
