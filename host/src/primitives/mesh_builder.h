// Collects the vertices, texture vertices and faces of a primitive's mesh.
// Vertices at the same position are shared, so that surfaces built side by
// side close up; faces whose corners meet in one vertex are left out.
#pragma once

#include <cstdint>
#include <unordered_map>

#include "host/primitives.h"

namespace refhost::primitives {

struct Vec3 {
    double x, y, z;
};

class MeshBuilder {
 public:
    explicit MeshBuilder(bool withTexture) : withTexture_(withTexture) {}

    // The index of the vertex at p, made on first use.
    int vertex(const Vec3& p);
    // The index of the texture vertex (u, v), v measured from the bottom.
    // Always 0 when the mesh gets no texture coordinates.
    int texVertex(double u, double v);

    // Corners counter-clockwise seen from outside. Edges are visible.
    void triangle(int a, int b, int c, uint32_t group, int ta = 0, int tb = 0, int tc = 0,
                  uint16_t edges = FaceEdgeAB | FaceEdgeBC | FaceEdgeCA);
    // A quad a b c d, counter-clockwise: triangles a b c and c d a, the
    // diagonal between them hidden.
    void quad(int a, int b, int c, int d, uint32_t group, int ta = 0, int tb = 0, int tc = 0, int td = 0);

    Vec3 position(int index) const;
    int vertexCount() const { return static_cast<int>(mesh_.vertices.size()); }
    int faceCount() const { return static_cast<int>(mesh_.faces.size()); }

    // Mirrors the mesh in z (z -> -z), turning faces so they still face out.
    void mirrorZ();
    // Moves every vertex by dz.
    void shiftZ(double dz);

    PrimitiveMesh finish() { return std::move(mesh_); }

 private:
    struct Key {
        uint32_t a, b, c;
        bool operator==(const Key& o) const { return a == o.a && b == o.b && c == o.c; }
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const { return (k.a * 73856093u) ^ (k.b * 19349663u) ^ (k.c * 83492791u); }
    };

    bool withTexture_;
    PrimitiveMesh mesh_;
    std::unordered_map<Key, int, KeyHash> vertexIndex_;
    std::unordered_map<Key, int, KeyHash> texIndex_;
};

}  // namespace refhost::primitives
