// Hedra: the polyhedra families. Families 0 to 2 start from the tetrahedron,
// the octahedron and the icosahedron; the star families are not built.
#include <cmath>

#include "builders.h"
#include "solids.h"

namespace refhost::primitives {

// 0 radius, 1 family, 2 P, 3 Q, 4-6 scale P/Q/R, 7 vertices mode, 8 genUVs.
PrimitiveMesh buildHedra(const Parameters& p) {
    const int family = p.choice(1, 0, 4);
    if (family > 2) {
        PrimitiveMesh stand = buildPlaceholderBox(p);
        stand.note = "star families are not built";
        return stand;
    }
    const double radius = std::fabs(p.number(0, 0));
    const Solid solid = family == 0 ? tetrahedron() : family == 1 ? octahedron() : icosahedron();
    MeshBuilder mesh(p.flag(8, false));
    for (const auto& f : solid.faces) {
        int v[3], t[3];
        for (int k = 0; k < 3; ++k) {
            const Vec3& q = solid.vertices[static_cast<std::size_t>(f[static_cast<std::size_t>(k)])];
            v[k] = mesh.vertex({q.x * radius, q.y * radius, q.z * radius});
            t[k] = mesh.texVertex(0.5 + q.x / 2, 0.5 + q.y / 2);
        }
        mesh.triangle(v[0], v[1], v[2], 0, t[0], t[1], t[2]);
    }
    PrimitiveMesh out = mesh.finish();
    if (p.number(2, 0) != 0 || p.number(3, 0) != 0) out.note = "P and Q are not applied";
    return out;
}

}  // namespace refhost::primitives
