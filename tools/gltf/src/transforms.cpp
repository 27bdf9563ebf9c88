#include "transforms.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace gltf {

namespace {

using Vec = std::array<double, 3>;

// Axes this close to square count as square: scene files write matrices
// with four decimals, which leaves them that far off.
constexpr double SquareEnough = 1e-3;

double dot(const Vec& a, const Vec& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Vec cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

Vec scaled(const Vec& a, double k) {
    return {a[0] * k, a[1] * k, a[2] * k};
}

Vec minus(const Vec& a, const Vec& b) {
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}

double length(const Vec& a) {
    return std::sqrt(dot(a, a));
}

// Some unit vector square to a.
Vec anyPerpendicular(const Vec& a) {
    const Vec other = std::fabs(a[0]) < 0.9 ? Vec{1, 0, 0} : Vec{0, 1, 0};
    const Vec p = cross(a, other);
    return scaled(p, 1 / length(p));
}

// The quaternion of the rotation whose matrix (column vectors) has the
// columns c0, c1, c2.
Quat fromColumns(const Vec& c0, const Vec& c1, const Vec& c2) {
    const double m00 = c0[0], m10 = c0[1], m20 = c0[2];
    const double m01 = c1[0], m11 = c1[1], m21 = c1[2];
    const double m02 = c2[0], m12 = c2[1], m22 = c2[2];
    const double trace = m00 + m11 + m22;
    Quat q;
    if (trace > 0) {
        const double s = std::sqrt(trace + 1) * 2;
        q = {(m21 - m12) / s, (m02 - m20) / s, (m10 - m01) / s, s / 4};
    } else if (m00 > m11 && m00 > m22) {
        const double s = std::sqrt(1 + m00 - m11 - m22) * 2;
        q = {s / 4, (m01 + m10) / s, (m02 + m20) / s, (m21 - m12) / s};
    } else if (m11 > m22) {
        const double s = std::sqrt(1 + m11 - m00 - m22) * 2;
        q = {(m01 + m10) / s, s / 4, (m12 + m21) / s, (m02 - m20) / s};
    } else {
        const double s = std::sqrt(1 + m22 - m00 - m11) * 2;
        q = {(m02 + m20) / s, (m12 + m21) / s, s / 4, (m10 - m01) / s};
    }
    return normalize(q);
}

}  // namespace

Decomposition decompose(const HostMatrix& m, Trs& out) {
    out = Trs{};
    for (const auto& row : m.m) {
        for (double v : row) {
            if (!std::isfinite(v)) return Decomposition::NotFinite;
        }
    }
    out.translation = {m.m[3][0], m.m[3][1], m.m[3][2]};
    // Row i is the image of axis i: a column of the column-vector matrix.
    Vec axis[3] = {
        {m.m[0][0], m.m[0][1], m.m[0][2]}, {m.m[1][0], m.m[1][1], m.m[1][2]}, {m.m[2][0], m.m[2][1], m.m[2][2]}};
    double s[3] = {length(axis[0]), length(axis[1]), length(axis[2])};
    const double largest = std::max({s[0], s[1], s[2]});
    const double tiny = largest * 1e-12;
    if (dot(cross(axis[0], axis[1]), axis[2]) < 0) {
        s[0] = -s[0];
        axis[0] = scaled(axis[0], -1);
    }
    out.scale = {s[0], s[1], s[2]};
    if (largest == 0) return Decomposition::Exact;

    // Square the axes (Gram-Schmidt from the longest), filling in for
    // collapsed ones, so that they make a rotation.
    // No sort with a comparator here: on x87 the same comparison can come
    // out both ways (excess precision), which std::sort must never see.
    const double magnitude[3] = {std::fabs(s[0]), std::fabs(s[1]), std::fabs(s[2])};
    int order[3] = {0, 1, 2};
    for (int k = 1; k < 3; ++k) {
        if (magnitude[k] > magnitude[order[0]]) order[0] = k;
    }
    order[1] = (order[0] + 1) % 3;
    order[2] = (order[0] + 2) % 3;
    if (magnitude[order[2]] > magnitude[order[1]]) std::swap(order[1], order[2]);
    Vec unit[3];
    bool sheared = false;
    const Vec first = axis[order[0]];
    unit[order[0]] = scaled(first, 1 / length(first));
    Vec second = axis[order[1]];
    if (std::fabs(s[order[1]]) > tiny) {
        const double along = dot(second, unit[order[0]]);
        sheared = sheared || std::fabs(along) > SquareEnough * std::fabs(s[order[1]]);
        second = minus(second, scaled(unit[order[0]], along));
    }
    unit[order[1]] = length(second) > tiny ? scaled(second, 1 / length(second)) : anyPerpendicular(unit[order[0]]);
    // The third axis completes a right-handed frame in axis order.
    const int a = order[2];
    const Vec third = cross(unit[(a + 1) % 3], unit[(a + 2) % 3]);
    if (std::fabs(s[a]) > tiny) {
        const Vec given = scaled(axis[a], 1 / std::fabs(s[a]));
        sheared = sheared || length(minus(given, third)) > SquareEnough;
    }
    unit[a] = third;
    out.rotation = fromColumns(unit[0], unit[1], unit[2]);
    return sheared ? Decomposition::Sheared : Decomposition::Exact;
}

Quat keyRotation(const float axisAngle[4]) {
    const Vec axis{axisAngle[0], axisAngle[1], axisAngle[2]};
    const double angle = axisAngle[3];
    const double l = length(axis);
    if (!std::isfinite(l) || l == 0 || !std::isfinite(angle)) return {0, 0, 0, 1};
    // Clockwise by angle is counter-clockwise by -angle.
    const double half = -angle / 2, k = std::sin(half) / l;
    return normalize({axis[0] * k, axis[1] * k, axis[2] * k, std::cos(half)});
}

Quat multiply(const Quat& a, const Quat& b) {
    return {
        a[3] * b[0] + a[0] * b[3] + a[1] * b[2] - a[2] * b[1], a[3] * b[1] - a[0] * b[2] + a[1] * b[3] + a[2] * b[0],
        a[3] * b[2] + a[0] * b[1] - a[1] * b[0] + a[2] * b[3], a[3] * b[3] - a[0] * b[0] - a[1] * b[1] - a[2] * b[2]};
}

Quat normalize(const Quat& q) {
    const double l = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    if (!(l > 0) || !std::isfinite(l)) return {0, 0, 0, 1};
    return {q[0] / l, q[1] / l, q[2] / l, q[3] / l};
}

double angleOf(const Quat& q) {
    return 2 * std::acos(std::clamp(q[3], -1.0, 1.0));
}

Quat partOf(const Quat& q, double t) {
    const Vec v{q[0], q[1], q[2]};
    const double l = length(v);
    if (l == 0) return {0, 0, 0, 1};
    const double half = angleOf(q) * t / 2, k = std::sin(half) / l;
    return {v[0] * k, v[1] * k, v[2] * k, std::cos(half)};
}

}  // namespace gltf
