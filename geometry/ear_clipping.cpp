#include "geometry/ear_clipping.h"

#include <algorithm>
#include <cmath>

namespace geometry {

namespace {

void fan(uint32_t degree, Vector<uint32_t>& triples) {
    for (uint32_t i = 1; i + 1 < degree; ++i) triples.insert(triples.end(), {0, i, i + 1});
}

void addTriple(uint32_t a, uint32_t b, uint32_t c, Vector<uint32_t>& triples) {
    uint32_t t[3] = {a, b, c};
    std::sort(t, t + 3);
    triples.insert(triples.end(), {t[0], t[1], t[2]});
}

// The polygon's corners in the plane of its Newell normal, as seen from the
// side it faces, so that its convex corners turn counter-clockwise. False
// when the polygon has no such plane.
bool projectIntoPlane(const PolyMesh& mesh, uint32_t polygon, EarClippingScratch& s) {
    const uint32_t degree = mesh.degree(polygon);
    const uint32_t* corners = mesh.corners.data() + mesh.firstCorner(polygon);
    for (uint32_t i = 0; i < degree; ++i) {
        if (corners[i] >= mesh.positions.size()) return false;
    }
    // Relative to the first corner, which keeps the products small.
    const Vec3 origin = mesh.positions[corners[0]];
    auto at = [&](uint32_t i, double(&p)[3]) {
        const Vec3 q = mesh.positions[corners[i]];
        p[0] = static_cast<double>(q.x) - origin.x;
        p[1] = static_cast<double>(q.y) - origin.y;
        p[2] = static_cast<double>(q.z) - origin.z;
    };
    double normal[3] = {0, 0, 0};
    for (uint32_t i = 0; i < degree; ++i) {
        double p[3], q[3];
        at(i, p);
        at(i + 1 < degree ? i + 1 : 0, q);
        for (int axis = 0; axis < 3; ++axis) {
            const int a = (axis + 1) % 3, b = (axis + 2) % 3;
            normal[axis] += (p[a] - q[a]) * (p[b] + q[b]);
        }
    }
    // Seen along the normal's largest component, dropped: the other two
    // axes in turn, mirrored where that component points away.
    int axis = 0;
    for (int a = 1; a < 3; ++a) {
        if (std::fabs(normal[a]) > std::fabs(normal[axis])) axis = a;
    }
    if (!std::isfinite(normal[0] + normal[1] + normal[2]) || normal[axis] == 0) return false;
    const int first = (axis + 1) % 3, second = (axis + 2) % 3;
    const double mirror = normal[axis] > 0 ? 1 : -1;
    s.u.resize(degree);
    s.v.resize(degree);
    for (uint32_t i = 0; i < degree; ++i) {
        double p[3];
        at(i, p);
        s.u[i] = p[first];
        s.v[i] = p[second] * mirror;
    }
    return true;
}

class Clipper {
 public:
    Clipper(EarClippingScratch& s, uint32_t degree) : s_(s) {
        s_.previous.resize(degree);
        s_.next.resize(degree);
        s_.convex.resize(degree);
        s_.ear.resize(degree);
        s_.blockers.clear();
        for (uint32_t i = 0; i < degree; ++i) {
            s_.previous[i] = i > 0 ? i - 1 : degree - 1;
            s_.next[i] = i + 1 < degree ? i + 1 : 0;
        }
        for (uint32_t i = 0; i < degree; ++i) {
            s_.convex[i] = turnAt(i) > 0;
            if (!s_.convex[i]) s_.blockers.push_back(i);
        }
        for (uint32_t i = 0; i < degree; ++i) s_.ear[i] = isEar(i);
    }

    void run(uint32_t degree, Vector<uint32_t>& triples) {
        uint32_t at = 0;
        for (uint32_t left = degree; left > 3; --left) {
            const uint32_t corner = pick(at, left);
            const uint32_t before = s_.previous[corner], after = s_.next[corner];
            addTriple(before, corner, after, triples);
            s_.next[before] = after;
            s_.previous[after] = before;
            s_.next[corner] = NoIndex;
            // Only the neighbours change: the triangle of any other corner is
            // as it was, and what lay in it still does.
            for (uint32_t neighbour : {before, after}) {
                const bool wasConvex = s_.convex[neighbour];
                s_.convex[neighbour] = turnAt(neighbour) > 0;
                if (wasConvex && !s_.convex[neighbour]) s_.blockers.push_back(neighbour);
            }
            s_.ear[before] = isEar(before);
            s_.ear[after] = isEar(after);
            at = after;
        }
        addTriple(s_.previous[at], at, s_.next[at], triples);
    }

 private:
    // Twice the signed area of the triangle a b c: positive counter-clockwise.
    double turn(uint32_t a, uint32_t b, uint32_t c) const {
        return (s_.u[b] - s_.u[a]) * (s_.v[c] - s_.v[a]) - (s_.v[b] - s_.v[a]) * (s_.u[c] - s_.u[a]);
    }
    double turnAt(uint32_t corner) const { return turn(s_.previous[corner], corner, s_.next[corner]); }
    bool samePoint(uint32_t a, uint32_t b) const { return s_.u[a] == s_.u[b] && s_.v[a] == s_.v[b]; }

    // A convex corner whose triangle holds no other corner, on its edges
    // included. Only corners that do not turn convex are looked at: where a
    // convex one lies in the triangle, so does one that is not. A corner at
    // the point of one of the triangle's own (a repeated corner) does not
    // count.
    bool isEar(uint32_t corner) const {
        if (!s_.convex[corner]) return false;
        const uint32_t a = s_.previous[corner], c = s_.next[corner];
        const double uLow = std::min({s_.u[a], s_.u[corner], s_.u[c]}),
                     uHigh = std::max({s_.u[a], s_.u[corner], s_.u[c]});
        const double vLow = std::min({s_.v[a], s_.v[corner], s_.v[c]}),
                     vHigh = std::max({s_.v[a], s_.v[corner], s_.v[c]});
        for (uint32_t q : s_.blockers) {
            if (s_.u[q] < uLow || s_.u[q] > uHigh || s_.v[q] < vLow || s_.v[q] > vHigh) continue;
            if (q == a || q == corner || q == c || s_.next[q] == NoIndex || s_.convex[q]) continue;
            if (samePoint(q, a) || samePoint(q, corner) || samePoint(q, c)) continue;
            if (turn(a, corner, q) >= 0 && turn(corner, c, q) >= 0 && turn(c, a, q) >= 0) return false;
        }
        return true;
    }

    // The first ear from `at` on; failing one, a corner that cuts off
    // nothing, else the one that turns most.
    uint32_t pick(uint32_t at, uint32_t left) const {
        uint32_t flat = NoIndex, sharpest = at;
        double sharpestTurn = -HUGE_VAL;
        for (uint32_t k = 0, q = at; k < left; ++k, q = s_.next[q]) {
            if (s_.ear[q]) return q;
            const double t = turnAt(q);
            if (t == 0 && flat == NoIndex) flat = q;
            if (t > sharpestTurn) {
                sharpestTurn = t;
                sharpest = q;
            }
        }
        return flat != NoIndex ? flat : sharpest;
    }

    EarClippingScratch& s_;
};

}  // namespace

void clipEars(const PolyMesh& mesh, uint32_t polygon, EarClippingScratch& scratch, Vector<uint32_t>& triples) {
    triples.clear();
    const uint32_t degree = mesh.degree(polygon);
    if (degree > MaxEarClippedDegree || degree < 4 || !projectIntoPlane(mesh, polygon, scratch)) {
        fan(degree, triples);
        return;
    }
    Clipper(scratch, degree).run(degree, triples);
}

}  // namespace geometry
