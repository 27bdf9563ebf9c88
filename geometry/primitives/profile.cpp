#include "geometry/primitives/profile.h"

#include <cmath>

namespace geometry::primitives {

namespace {

Vector<double> runningLength(const Profile& p, bool closed, double& total) {
    Vector<double> s(p.size(), 0.0);
    total = 0;
    for (std::size_t j = 0; j < p.size(); ++j) {
        s[j] = total;
        const std::size_t k = j + 1 < p.size() ? j + 1 : 0;
        if (j + 1 < p.size() || closed) total += std::hypot(p[k].r - p[j].r, p[k].z - p[j].z);
    }
    return s;
}

}  // namespace

void assignOpenV(Profile& profile) {
    double total = 0;
    const Vector<double> s = runningLength(profile, false, total);
    for (std::size_t j = 0; j < profile.size(); ++j) profile[j].v = total > 0 ? 1 - s[j] / total : 0;
}

void assignClosedV(Profile& profile) {
    double total = 0;
    const Vector<double> s = runningLength(profile, true, total);
    for (std::size_t j = 0; j < profile.size(); ++j) profile[j].v = total > 0 ? s[j] / total : 0;
}

}  // namespace geometry::primitives
