// Collects the positions, texture vertices and triangles of a primitive's
// mesh. Vertices at the same position are shared, so that surfaces built
// side by side close up; triangles whose corners meet in one vertex are
// left out.
#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>

#include "geometry/primitives/primitive.h"

namespace geometry::primitives {

// Builders compute in double and round to the mesh's floats once.
struct Vec3d {
    double x, y, z;
};

// Triangle edges: a-b, b-c, c-a.
constexpr uint8_t EdgeAB = 1, EdgeBC = 2, EdgeCA = 4, EveryEdge = EdgeAB | EdgeBC | EdgeCA;

class MeshBuilder {
 public:
    // The mesh is cleared; it gets map channel 1 when withTexture.
    MeshBuilder(PolyMesh& mesh, bool withTexture, TextureV direction);

    // The index of the vertex at p, made on first use.
    int vertex(const Vec3d& p);
    // The index of the texture vertex (u, v), v measured from the bottom.
    // Always 0 when the mesh gets no texture coordinates.
    int texVertex(double u, double v);

    // Corners counter-clockwise seen from outside.
    void triangle(int a, int b, int c, uint32_t group, int ta = 0, int tb = 0, int tc = 0, uint8_t edges = EveryEdge);
    // A quad a b c d, counter-clockwise: triangles a b c and c d a, the
    // diagonal between them hidden.
    void quad(int a, int b, int c, int d, uint32_t group, int ta = 0, int tb = 0, int tc = 0, int td = 0);

    // Mirrors the mesh in z (z -> -z), turning triangles so they still face out.
    void mirrorZ();
    // Moves every vertex by dz.
    void shiftZ(double dz);

 private:
    struct Key {
        uint32_t a, b, c;
        bool operator==(const Key& o) const { return a == o.a && b == o.b && c == o.c; }
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const { return (k.a * 73856093u) ^ (k.b * 19349663u) ^ (k.c * 83492791u); }
    };
    using Index = std::unordered_map<Key, int, KeyHash, std::equal_to<Key>, Allocator<std::pair<const Key, int>>>;

    PolyMesh& mesh_;
    MapChannel* texture_;
    TextureV direction_;
    Index vertexIndex_;
    Index texIndex_;
};

}  // namespace geometry::primitives
