#include "geometry/primitives/mesh_builder.h"

#include <cstring>
#include <utility>

namespace geometry::primitives {

namespace {

// The bits of a float, with -0 taken as 0 so that both weld together.
uint32_t bitsOf(float f) {
    if (f == 0.0f) f = 0.0f;
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

}  // namespace

MeshBuilder::MeshBuilder(PolyMesh& mesh, bool withTexture, TextureV direction)
    : mesh_(mesh), texture_(nullptr), direction_(direction) {
    mesh_.clear();
    if (withTexture) {
        mesh_.maps.emplace_back();
        texture_ = &mesh_.maps.back();
    }
}

int MeshBuilder::vertex(const Vec3d& p) {
    const Vec3 point{static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
    const Key key{bitsOf(point.x), bitsOf(point.y), bitsOf(point.z)};
    const auto [it, added] = vertexIndex_.emplace(key, static_cast<int>(mesh_.positions.size()));
    if (added) mesh_.positions.push_back(point);
    return it->second;
}

int MeshBuilder::texVertex(double u, double v) {
    if (!texture_) return 0;
    const Vec3 t{static_cast<float>(u), static_cast<float>(direction_ == TextureV::Up ? v : 1.0 - v), 0.0f};
    const Key key{bitsOf(t.x), bitsOf(t.y), 0};
    const auto [it, added] = texIndex_.emplace(key, static_cast<int>(texture_->vertices.size()));
    if (added) texture_->vertices.push_back(t);
    return it->second;
}

void MeshBuilder::triangle(int a, int b, int c, uint32_t group, int ta, int tb, int tc, uint8_t edges) {
    if (a == b || b == c || c == a) return;
    const uint32_t first = mesh_.addPolygon(3, 0, group);
    const int corners[3] = {a, b, c}, tex[3] = {ta, tb, tc};
    for (uint32_t k = 0; k < 3; ++k) {
        mesh_.corners[first + k] = static_cast<uint32_t>(corners[k]);
        mesh_.edgeVisible[first + k] = (edges >> k) & 1;
        if (texture_) texture_->corners[first + k] = static_cast<uint32_t>(tex[k]);
    }
}

void MeshBuilder::quad(int a, int b, int c, int d, uint32_t group, int ta, int tb, int tc, int td) {
    // A quad with two corners in one vertex is a triangle: then every edge it
    // keeps is an outline edge.
    const bool collapsed = a == b || b == c || c == d || d == a;
    const uint8_t first = collapsed ? EveryEdge : EdgeAB | EdgeBC;
    triangle(a, b, c, group, ta, tb, tc, first);
    triangle(c, d, a, group, tc, td, ta, first);
}

void MeshBuilder::mirrorZ() {
    for (Vec3& p : mesh_.positions) p.z = -p.z;
    for (uint32_t first = 0; first < mesh_.corners.size(); first += 3) {
        // b and c trade places; so do the edges a-b and c-a.
        std::swap(mesh_.corners[first + 1], mesh_.corners[first + 2]);
        std::swap(mesh_.edgeVisible[first], mesh_.edgeVisible[first + 2]);
        if (texture_) std::swap(texture_->corners[first + 1], texture_->corners[first + 2]);
    }
    vertexIndex_.clear();
}

void MeshBuilder::shiftZ(double dz) {
    for (Vec3& p : mesh_.positions) p.z = static_cast<float>(p.z + dz);
    vertexIndex_.clear();
}

}  // namespace geometry::primitives
