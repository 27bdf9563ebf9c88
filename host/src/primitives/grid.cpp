#include "grid.h"

#include <vector>

namespace refhost::primitives {

void addGrid(MeshBuilder& mesh, int nu, int nv, const std::function<Vec3(int i, int j)>& point, uint32_t group,
             bool flip) {
    const auto at = [nv](int i, int j) { return static_cast<std::size_t>(i) * (nv + 1) + j; };
    std::vector<int> v((static_cast<std::size_t>(nu) + 1) * (nv + 1)), t(v.size());
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

}  // namespace refhost::primitives
