#include "geometry/primitives/lathe.h"

#include <algorithm>
#include <cmath>

namespace geometry::primitives {

namespace {

constexpr double Pi = 3.14159265358979323846;

struct Column {
    const Profile* profile;
    Vector<int> vertices;
    Vector<int> tex;  // one more than the profile when it is closed: the seam
    double angle;
};

// Closes the cut face of a slice at one end: a fan from the section's
// centre, which lies inside it because every section built here is convex.
void sliceCap(MeshBuilder& mesh, const Column& column, uint32_t group, bool facingEnd) {
    const Profile& p = *column.profile;
    const std::size_t m = p.size();
    double cr = 0, cz = 0, rMin = p[0].r, rMax = p[0].r, zMin = p[0].z, zMax = p[0].z;
    for (const ProfilePoint& q : p) {
        cr += q.r;
        cz += q.z;
        rMin = std::min(rMin, q.r);
        rMax = std::max(rMax, q.r);
        zMin = std::min(zMin, q.z);
        zMax = std::max(zMax, q.z);
    }
    cr /= static_cast<double>(m);
    cz /= static_cast<double>(m);
    const double c = std::cos(column.angle), s = std::sin(column.angle);
    const double rSpan = rMax > rMin ? rMax - rMin : 1, zSpan = zMax > zMin ? zMax - zMin : 1;
    auto tex = [&](double r, double z) { return mesh.texVertex((r - rMin) / rSpan, (z - zMin) / zSpan); };
    const int centre = mesh.vertex(Vec3d{cr * c, cr * s, cz});
    const int centreTex = tex(cr, cz);
    for (std::size_t j = 0; j < m; ++j) {
        const std::size_t k = (j + 1) % m;
        const int a = column.vertices[j], b = column.vertices[k];
        const int ta = tex(p[j].r, p[j].z), tb = tex(p[k].r, p[k].z);
        if (facingEnd) {
            mesh.triangle(centre, a, b, group, centreTex, ta, tb, EdgeBC);
        } else {
            mesh.triangle(centre, b, a, group, centreTex, tb, ta, EdgeBC);
        }
    }
}

}  // namespace

void turnProfiles(MeshBuilder& mesh, const LatheOptions& options, const Vector<Profile>& profiles) {
    const int sides = options.sides;
    const bool sliced = options.slice.on;
    Vector<Column> columns(static_cast<std::size_t>(sides) + 1);
    for (int k = 0; k <= sides; ++k) {
        Column& col = columns[static_cast<std::size_t>(k)];
        // Without a slice the last column is the first again, vertex for vertex.
        const int source = sliced || k < sides ? k : 0;
        col.profile = &profiles[static_cast<std::size_t>(k)];
        col.angle = sliced ? options.slice.from + options.slice.sweep * k / sides : 2 * Pi * source / sides;
        const double c = std::cos(col.angle), s = std::sin(col.angle);
        const double u = static_cast<double>(k) / sides;
        for (const ProfilePoint& p : *col.profile) {
            col.vertices.push_back(k < sides || sliced ? mesh.vertex(Vec3d{p.r * c, p.r * s, p.z})
                                                       : columns[0].vertices[col.vertices.size()]);
            col.tex.push_back(mesh.texVertex(u, p.v));
        }
        if (options.closed) col.tex.push_back(mesh.texVertex(u, 1.0));
    }

    const std::size_t m = columns[0].profile->size();
    const std::size_t bands = options.closed ? m : m - 1;
    for (int k = 0; k < sides; ++k) {
        const Column& a = columns[static_cast<std::size_t>(k)];
        const Column& b = columns[static_cast<std::size_t>(k) + 1];
        for (std::size_t j = 0; j < bands; ++j) {
            const std::size_t j2 = (j + 1) % m;
            mesh.quad(a.vertices[j], a.vertices[j2], b.vertices[j2], b.vertices[j], (*a.profile)[j].group, a.tex[j],
                      a.tex[j + 1], b.tex[j + 1], b.tex[j]);
        }
    }
    if (sliced) {
        sliceCap(mesh, columns.front(), options.sliceStartGroup, false);
        sliceCap(mesh, columns.back(), options.sliceEndGroup, true);
    }
}

}  // namespace geometry::primitives
