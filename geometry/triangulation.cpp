#include "geometry/triangulation.h"

#include <algorithm>

#include "geometry/ear_clipping.h"

namespace geometry {

namespace {

uint64_t edgeKey(uint32_t from, uint32_t to) {
    return static_cast<uint64_t>(from) << 32 | to;
}

// The corner triples (i < j < k) of a polygon of degree corners cut by its
// diagonals: every triangle is found once, from its edge (i, k), whose apex
// j is the largest neighbour of i below k, and (j, k) must be an edge too.
// False when the diagonals do not cut the polygon into degree - 2 triangles.
bool cutByDiagonals(uint32_t degree, const uint32_t* diagonals, uint32_t diagonalCount, Vector<uint64_t>& edges,
                    Vector<uint32_t>& triples) {
    edges.clear();
    triples.clear();
    for (uint32_t i = 0; i + 1 < degree; ++i) edges.push_back(edgeKey(i, i + 1));
    edges.push_back(edgeKey(0, degree - 1));
    for (uint32_t d = 0; d < diagonalCount && edges.size() < 2 * static_cast<std::size_t>(degree); ++d) {
        const uint32_t p = std::min(diagonals[2 * d], diagonals[2 * d + 1]);
        const uint32_t q = std::max(diagonals[2 * d], diagonals[2 * d + 1]);
        if (q < degree && q - p >= 2) edges.push_back(edgeKey(p, q));
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    for (std::size_t e = 1; e < edges.size(); ++e) {
        const auto i = static_cast<uint32_t>(edges[e] >> 32), k = static_cast<uint32_t>(edges[e]);
        if (k - i < 2) continue;
        const auto j = static_cast<uint32_t>(edges[e - 1]);
        const bool apexOfI = static_cast<uint32_t>(edges[e - 1] >> 32) == i;
        if (!apexOfI || triples.size() == 3 * static_cast<std::size_t>(degree - 2) ||
            !std::binary_search(edges.begin(), edges.end(), edgeKey(j, k))) {
            return false;
        }
        triples.insert(triples.end(), {i, j, k});
    }
    return triples.size() == 3 * static_cast<std::size_t>(degree - 2);
}

}  // namespace

void triangulate(const PolyMesh& mesh, Vector<Triangle>& triangles) {
    triangles.clear();
    Vector<uint64_t> edges;
    Vector<uint32_t> triples;
    EarClippingScratch scratch;
    const uint32_t polygons = mesh.polygonCount();
    for (uint32_t p = 0; p < polygons; ++p) {
        const uint32_t degree = mesh.degree(p);
        if (degree < 3) continue;
        const uint32_t first = mesh.firstCorner(p);
        const uint32_t diagonalCount = mesh.diagonalCount(p);
        if (!(diagonalCount > 0 && cutByDiagonals(degree, mesh.polygonDiagonals(p), diagonalCount, edges, triples))) {
            clipEars(mesh, p, scratch, triples);
        }
        for (std::size_t t = 0; t < triples.size(); t += 3) {
            const uint32_t c[3] = {triples[t], triples[t + 1], triples[t + 2]};
            uint8_t visible = 0;
            // A polygon edge joins neighbouring corners; the edge from the last corner to corner 0 closes it.
            auto edgeFlag = [&](uint32_t from, uint32_t to, uint8_t bit) {
                const bool forward = to == from + 1;
                const bool closing = from == 0 && to == degree - 1;
                if (forward && mesh.edgeVisible[first + from]) visible |= bit;
                if (closing && mesh.edgeVisible[first + to]) visible |= bit;
            };
            edgeFlag(c[0], c[1], 1);
            edgeFlag(c[1], c[2], 2);
            edgeFlag(c[0], c[2], 4);
            triangles.push_back({p, {first + c[0], first + c[1], first + c[2]}, visible});
        }
    }
}

}  // namespace geometry
