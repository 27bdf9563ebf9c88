// A node's geometry as one glTF mesh: a triangle primitive per material,
// with normals (smooth within smoothing groups where the host knows them,
// flat otherwise) and texture coordinates, and a line strip per shape line.
#include <array>
#include <cmath>
#include <unordered_map>

#include "context.h"
#include "host/text.h"

namespace gltf {

namespace {

constexpr int ModeLineStrip = 3;
constexpr int ModeTriangles = 4;

using Vec = std::array<float, 3>;

struct Face {
    int32_t v[3];
    int32_t t[3];
    uint32_t group;  // 0: flat
    int material;
};

Vec cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

bool unit(Vec& v) {
    const double l = std::sqrt(double(v[0]) * v[0] + double(v[1]) * v[1] + double(v[2]) * v[2]);
    if (!(l > 0) || !std::isfinite(l)) return false;
    for (float& c : v) c = static_cast<float>(c / l);
    return true;
}

// One output vertex: a position, a texture vertex (-1: none) and what its
// normal depends on (the face for a flat face, else the smoothing group).
struct CornerKey {
    int32_t vertex, tex;
    uint32_t shading;
    bool flat;
    bool operator==(const CornerKey& o) const {
        return vertex == o.vertex && tex == o.tex && shading == o.shading && flat == o.flat;
    }
};
struct CornerHash {
    std::size_t operator()(const CornerKey& k) const {
        return (static_cast<std::size_t>(k.vertex) * 73856093u) ^ (static_cast<std::size_t>(k.tex) * 19349663u) ^
               (k.shading * 83492791u) ^ (k.flat ? 1u : 0u);
    }
};

class TriangleMesh {
 public:
    TriangleMesh(Context& context, const refhost::NodeData& node, std::vector<Vec> positions)
        : context_(context), node_(node), positions_(std::move(positions)) {}

    // The faces whose corners are all vertices of the node.
    void collectFaces() {
        const int32_t n = static_cast<int32_t>(positions_.size());
        const int32_t texCount = static_cast<int32_t>(node_.texVertices.size());
        const bool groups = node_.smoothing.size() == node_.faces.size();
        for (std::size_t i = 0; i < node_.faces.size(); ++i) {
            const HostFace& hf = node_.faces[i];
            Face f{{hf.a, hf.b, hf.c}, {hf.ta, hf.tb, hf.tc}, groups ? node_.smoothing[i] : 0u, 0};
            if (f.v[0] < 0 || f.v[0] >= n || f.v[1] < 0 || f.v[1] >= n || f.v[2] < 0 || f.v[2] >= n) {
                ++context_.tally["faces with a vertex index out of range, left out"];
                continue;
            }
            for (int32_t& t : f.t) {
                if (texCount > 0 && (t < 0 || t >= texCount)) {
                    ++context_.tally["texture vertex indices out of range, given (0, 0)"];
                    t = -1;
                }
                if (texCount == 0) t = -1;
            }
            const uint32_t materialField = hf.material;
            f.material = faceMaterial(context_.scene, node_, materialField);
            if ((hf.flags & FaceTwoSided) && f.material >= 0)
                context_.twoSided[static_cast<std::size_t>(f.material)] = true;
            faces_.push_back(f);
        }
    }

    bool empty() const { return faces_.empty(); }

    // Texture coordinates go with the mesh when the node has texture
    // vertices, and when a material with a texture needs them: (0, 0) then.
    bool needsTexture() const {
        if (!node_.texVertices.empty()) return true;
        for (const Face& f : faces_) {
            if (context_.isTextured(f.material)) return true;
        }
        return false;
    }

    // The primitives, one per material in the order the faces first use them.
    Json primitives() {
        withTexture_ = needsTexture();
        if (withTexture_ && node_.texVertices.empty()) {
            ++context_.tally["meshes with a textured material but no texture vertices, given (0, 0)"];
        }
        prepareNormals();
        std::vector<int> order;
        std::unordered_map<int, std::vector<uint32_t>> indices;
        for (std::size_t f = 0; f < faces_.size(); ++f) {
            auto [it, added] = indices.try_emplace(faces_[f].material);
            if (added) order.push_back(faces_[f].material);
            for (int k = 0; k < 3; ++k) it->second.push_back(corner(f, k));
        }
        Json attributes = {{"POSITION", context_.buffer.addFloats(outPositions_, 3, Target::Vertices)},
                           {"NORMAL", context_.buffer.addFloats(outNormals_, 3, Target::Vertices)}};
        if (withTexture_) attributes["TEXCOORD_0"] = context_.buffer.addFloats(outTex_, 2, Target::Vertices);
        Json out = Json::array();
        for (int material : order) {
            Json p = {{"attributes", attributes},
                      {"indices", context_.buffer.addIndices(indices[material])},
                      {"mode", ModeTriangles}};
            if (material >= 0) p["material"] = material;
            out.push_back(std::move(p));
            context_.counts.triangles += static_cast<int64_t>(indices[material].size() / 3);
        }
        return out;
    }

 private:
    Vec faceNormal(const Face& f) const {
        const Vec& a = positions_[static_cast<std::size_t>(f.v[0])];
        const Vec& b = positions_[static_cast<std::size_t>(f.v[1])];
        const Vec& c = positions_[static_cast<std::size_t>(f.v[2])];
        return cross({b[0] - a[0], b[1] - a[1], b[2] - a[2]}, {c[0] - a[0], c[1] - a[1], c[2] - a[2]});
    }

    // The faces at each vertex, for smooth normals.
    void prepareNormals() {
        rawNormals_.reserve(faces_.size());
        for (const Face& f : faces_) rawNormals_.push_back(faceNormal(f));
        start_.assign(positions_.size() + 1, 0);
        for (const Face& f : faces_) {
            if (f.group == 0) continue;
            for (int32_t v : f.v) ++start_[static_cast<std::size_t>(v) + 1];
        }
        for (std::size_t i = 1; i < start_.size(); ++i) start_[i] += start_[i - 1];
        incident_.assign(start_.back(), 0);
        std::vector<uint32_t> fill(start_.begin(), start_.end() - 1);
        for (std::size_t i = 0; i < faces_.size(); ++i) {
            if (faces_[i].group == 0) continue;
            for (int32_t v : faces_[i].v) incident_[fill[static_cast<std::size_t>(v)]++] = static_cast<uint32_t>(i);
        }
    }

    Vec flatNormal(std::size_t face) const {
        Vec n = rawNormals_[face];
        if (!unit(n)) n = {0, 0, 1};  // a face without area faces up
        return n;
    }

    // Faces that share a smoothing group with the face, summed by area.
    Vec smoothNormal(std::size_t face, int32_t vertex) const {
        const uint32_t group = faces_[face].group;
        Vec sum{0, 0, 0};
        for (uint32_t k = start_[static_cast<std::size_t>(vertex)]; k < start_[static_cast<std::size_t>(vertex) + 1];
             ++k) {
            const uint32_t other = incident_[k];
            if ((faces_[other].group & group) == 0) continue;
            for (int c = 0; c < 3; ++c)
                sum[static_cast<std::size_t>(c)] += rawNormals_[other][static_cast<std::size_t>(c)];
        }
        return unit(sum) ? sum : flatNormal(face);
    }

    uint32_t corner(std::size_t face, int k) {
        const Face& f = faces_[face];
        const bool flat = f.group == 0;
        const CornerKey key{f.v[k], f.t[k], flat ? static_cast<uint32_t>(face) : f.group, flat};
        const auto [it, added] = corners_.try_emplace(key, static_cast<uint32_t>(outPositions_.size() / 3));
        if (!added) return it->second;
        const Vec& p = positions_[static_cast<std::size_t>(f.v[k])];
        outPositions_.insert(outPositions_.end(), p.begin(), p.end());
        const Vec n = flat ? flatNormal(face) : smoothNormal(face, f.v[k]);
        outNormals_.insert(outNormals_.end(), n.begin(), n.end());
        if (withTexture_) {
            float u = 0, v = 0;
            if (f.t[k] >= 0) {
                const HostTexVertex& t = node_.texVertices[static_cast<std::size_t>(f.t[k])];
                u = context_.finite(t.u, "texture coordinates that are not numbers, made 0");
                v = context_.finite(t.v, "texture coordinates that are not numbers, made 0");
            }
            outTex_.push_back(u);
            outTex_.push_back(v);
        }
        return it->second;
    }

    Context& context_;
    const refhost::NodeData& node_;
    std::vector<Vec> positions_;
    std::vector<Face> faces_;
    std::vector<Vec> rawNormals_;
    std::vector<uint32_t> start_, incident_;
    std::unordered_map<CornerKey, uint32_t, CornerHash> corners_;
    std::vector<float> outPositions_, outNormals_, outTex_;
    bool withTexture_ = false;
};

// Line strips over the node's points, one per line with two points or more.
Json linePrimitives(Context& context, const refhost::NodeData& node, const std::vector<Vec>& positions) {
    Json out = Json::array();
    int positionAccessor = -1, texAccessor = -1;
    const int material = faceMaterial(context.scene, node, 0);
    for (const HostLine& line : node.lines) {
        const int count = line.pointCount;
        const int32_t* points = line.points;
        std::vector<uint32_t> indices;
        if (count > 0 && node.ownsMemory(points, static_cast<std::size_t>(count) * sizeof(int32_t))) {
            for (int i = 0; i < count; ++i) {
                if (points[i] >= 0 && points[i] < static_cast<int32_t>(positions.size())) {
                    indices.push_back(static_cast<uint32_t>(points[i]));
                } else {
                    ++context.tally["line points out of range, left out"];
                }
            }
        } else if (count > 0) {
            ++context.tally["lines whose points are not the node's memory, left out"];
        }
        if (indices.size() < 2) continue;
        if (positionAccessor < 0) {
            std::vector<float> flat;
            for (const Vec& p : positions) flat.insert(flat.end(), p.begin(), p.end());
            positionAccessor = context.buffer.addFloats(flat, 3, Target::Vertices);
            if (context.isTextured(material)) {
                // A textured material needs texture coordinates; lines have none.
                texAccessor =
                    context.buffer.addFloats(std::vector<float>(positions.size() * 2, 0.0f), 2, Target::Vertices);
                ++context.tally["shapes with a textured material, given texture coordinates (0, 0)"];
            }
        }
        Json attributes = {{"POSITION", positionAccessor}};
        if (texAccessor >= 0) attributes["TEXCOORD_0"] = texAccessor;
        Json p = {{"attributes", std::move(attributes)},
                  {"indices", context.buffer.addIndices(indices)},
                  {"mode", ModeLineStrip}};
        if (material >= 0) p["material"] = material;
        out.push_back(std::move(p));
        ++context.counts.lineStrips;
    }
    return out;
}

}  // namespace

int faceMaterial(const refhost::Scene& scene, const refhost::NodeData& node, uint32_t materialField) {
    const int own = scene.materialIndexOf(materialField);
    if (own >= 0) return own;
    const auto it = node.properties.find(NodeMaterial);
    return it == node.properties.end() ? -1 : scene.materialIndexOf(it->second);
}

int exportMesh(Context& context, const refhost::NodeData& node) {
    if (node.faces.empty() && node.lines.empty()) return -1;
    std::vector<Vec> positions;
    positions.reserve(node.vertices.size());
    for (const Point3& p : node.vertices) {
        const char* what = "vertex coordinates that are not numbers, made 0";
        positions.push_back({context.finite(p.x, what), context.finite(p.y, what), context.finite(p.z, what)});
    }
    Json primitives = linePrimitives(context, node, positions);
    TriangleMesh triangles(context, node, std::move(positions));
    triangles.collectFaces();
    if (!triangles.empty()) {
        Json faces = triangles.primitives();
        faces.insert(faces.end(), primitives.begin(), primitives.end());
        primitives = std::move(faces);
    }
    if (primitives.empty()) return -1;
    Json mesh = Json::object();
    if (node.name) mesh["name"] = refhost::utf8Text(*node.name);
    mesh["primitives"] = std::move(primitives);
    context.meshes.push_back(std::move(mesh));
    ++context.counts.meshes;
    return static_cast<int>(context.meshes.size()) - 1;
}

}  // namespace gltf
