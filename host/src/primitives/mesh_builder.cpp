#include "mesh_builder.h"

#include <cstring>

namespace refhost::primitives {

namespace {

// The bits of a float, with -0 taken as 0 so that both weld together.
uint32_t bitsOf(float f) {
    if (f == 0.0f) f = 0.0f;
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

HostFace makeFace(int a, int b, int c, int ta, int tb, int tc, uint16_t edges) {
    HostFace f{};
    f.flags = edges;
    f.material = 0;
    f.a = a;
    f.b = b;
    f.c = c;
    f.ta = ta;
    f.tb = tb;
    f.tc = tc;
    return f;
}

}  // namespace

int MeshBuilder::vertex(const Vec3& p) {
    const Point3 point{static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)};
    const Key key{bitsOf(point.x), bitsOf(point.y), bitsOf(point.z)};
    const auto [it, added] = vertexIndex_.emplace(key, static_cast<int>(mesh_.vertices.size()));
    if (added) mesh_.vertices.push_back(point);
    return it->second;
}

int MeshBuilder::texVertex(double u, double v) {
    if (!withTexture_) return 0;
    const HostTexVertex t{static_cast<float>(u), static_cast<float>(1.0 - v)};
    const Key key{bitsOf(t.u), bitsOf(t.v), 0};
    const auto [it, added] = texIndex_.emplace(key, static_cast<int>(mesh_.texVertices.size()));
    if (added) mesh_.texVertices.push_back(t);
    return it->second;
}

void MeshBuilder::triangle(int a, int b, int c, uint32_t group, int ta, int tb, int tc, uint16_t edges) {
    if (a == b || b == c || c == a) return;
    mesh_.faces.push_back(makeFace(a, b, c, ta, tb, tc, edges));
    mesh_.smoothing.push_back(group);
}

void MeshBuilder::quad(int a, int b, int c, int d, uint32_t group, int ta, int tb, int tc, int td) {
    // A quad with two corners in one vertex is a triangle: then every edge it
    // keeps is an outline edge.
    const bool collapsed = a == b || b == c || c == d || d == a;
    const uint16_t first = collapsed ? FaceEdgeAB | FaceEdgeBC | FaceEdgeCA : FaceEdgeAB | FaceEdgeBC;
    triangle(a, b, c, group, ta, tb, tc, first);
    triangle(c, d, a, group, tc, td, ta, first);
}

Vec3 MeshBuilder::position(int index) const {
    const Point3& p = mesh_.vertices[static_cast<std::size_t>(index)];
    return {p.x, p.y, p.z};
}

void MeshBuilder::mirrorZ() {
    for (Point3& p : mesh_.vertices) p.z = -p.z;
    for (HostFace& f : mesh_.faces) {
        // b and c trade places; so do the edges AB and CA.
        const int32_t b = f.b, tb = f.tb;
        f.b = f.c;
        f.c = b;
        f.tb = f.tc;
        f.tc = tb;
        const uint16_t flags = f.flags;
        const uint16_t ab = flags & FaceEdgeAB ? FaceEdgeCA : 0;
        const uint16_t ca = flags & FaceEdgeCA ? FaceEdgeAB : 0;
        f.flags = static_cast<uint16_t>((flags & ~(FaceEdgeAB | FaceEdgeCA)) | ab | ca);
    }
    vertexIndex_.clear();
}

void MeshBuilder::shiftZ(double dz) {
    for (Point3& p : mesh_.vertices) p.z = static_cast<float>(p.z + dz);
    vertexIndex_.clear();
}

}  // namespace refhost::primitives
