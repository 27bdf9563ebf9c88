#include "host/matrix.h"

#include <cmath>
#include <utility>

namespace refhost::matrix {

HostMatrix identity() {
    HostMatrix m{};
    for (int i = 0; i < 4; ++i) m.m[i][i] = 1.0;
    return m;
}

HostMatrix multiply(const HostMatrix& a, const HostMatrix& b) {
    HostMatrix r{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double sum = 0;
            for (int k = 0; k < 4; ++k) sum += a.m[i][k] * b.m[k][j];
            r.m[i][j] = sum;
        }
    }
    return r;
}

bool invert(HostMatrix& m) {
    // Gauss-Jordan elimination with partial pivoting on [m | I].
    double a[4][8];
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            a[i][j] = m.m[i][j];
            a[i][j + 4] = i == j ? 1.0 : 0.0;
        }
    }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int r = col + 1; r < 4; ++r) {
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        }
        if (std::fabs(a[pivot][col]) < 1e-300 || !std::isfinite(a[pivot][col])) return false;
        if (pivot != col) {
            for (int j = 0; j < 8; ++j) std::swap(a[pivot][j], a[col][j]);
        }
        const double scale = 1.0 / a[col][col];
        for (int j = 0; j < 8; ++j) a[col][j] *= scale;
        for (int r = 0; r < 4; ++r) {
            if (r == col) continue;
            const double f = a[r][col];
            if (f == 0) continue;
            for (int j = 0; j < 8; ++j) a[r][j] -= f * a[col][j];
        }
    }
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) m.m[i][j] = a[i][j + 4];
    }
    return true;
}

HostMatrix translation(const Point3& p) {
    HostMatrix t = identity();
    t.m[3][0] = p.x;
    t.m[3][1] = p.y;
    t.m[3][2] = p.z;
    return t;
}

HostMatrix scaling(const Point3& s) {
    HostMatrix t = identity();
    t.m[0][0] = s.x;
    t.m[1][1] = s.y;
    t.m[2][2] = s.z;
    return t;
}

HostMatrix fromQuaternion(const float q[4]) {
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    HostMatrix r = identity();
    r.m[0][0] = 1 - 2 * (y * y + z * z);
    r.m[0][1] = 2 * (x * y - z * w);
    r.m[0][2] = 2 * (x * z + y * w);
    r.m[1][0] = 2 * (x * y + z * w);
    r.m[1][1] = 1 - 2 * (x * x + z * z);
    r.m[1][2] = 2 * (y * z - x * w);
    r.m[2][0] = 2 * (x * z - y * w);
    r.m[2][1] = 2 * (y * z + x * w);
    r.m[2][2] = 1 - 2 * (x * x + y * y);
    return r;
}

Point3 transformPoint(const HostMatrix& m, const Point3& p) {
    const double x = p.x, y = p.y, z = p.z;
    return {static_cast<float>(x * m.m[0][0] + y * m.m[1][0] + z * m.m[2][0] + m.m[3][0]),
            static_cast<float>(x * m.m[0][1] + y * m.m[1][1] + z * m.m[2][1] + m.m[3][1]),
            static_cast<float>(x * m.m[0][2] + y * m.m[1][2] + z * m.m[2][2] + m.m[3][2])};
}

}  // namespace refhost::matrix
