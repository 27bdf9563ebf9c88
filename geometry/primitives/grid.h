// A rectangular grid of quads: the sides of boxes, chamfer boxes and
// pyramids.
#pragma once

#include <cstddef>
#include <cstdint>

#include "geometry/primitives/mesh_builder.h"

namespace geometry::primitives {

// Quads over (i, j) in [0, nu] x [0, nv], with point(i, j) at each corner.
// They face along (point(1,0) - point(0,0)) x (point(0,1) - point(0,0)), or
// against it when flipped. Texture coordinates run from 0 to 1 across the
// grid, read from the side the faces face.
template <class PointAt>
void addGrid(MeshBuilder& mesh, int nu, int nv, const PointAt& point, uint32_t group, bool flip) {
    const auto at = [nv](int i, int j) { return static_cast<std::size_t>(i) * (nv + 1) + j; };
    Vector<int> v((static_cast<std::size_t>(nu) + 1) * (nv + 1)), t(v.size());
    for (int i = 0; i <= nu; ++i) {
        for (int j = 0; j <= nv; ++j) {
            const double u = static_cast<double>(i) / nu;
            v[at(i, j)] = mesh.vertex(point(i, j));
            t[at(i, j)] = mesh.texVertex(flip ? 1 - u : u, static_cast<double>(j) / nv);
        }
    }
    for (int i = 0; i < nu; ++i) {
        for (int j = 0; j < nv; ++j) {
            const std::size_t a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
            if (flip) {
                mesh.quad(v[a], v[d], v[c], v[b], group, t[a], t[d], t[c], t[b]);
            } else {
                mesh.quad(v[a], v[b], v[c], v[d], group, t[a], t[b], t[c], t[d]);
            }
        }
    }
}

}  // namespace geometry::primitives
