#include "profile.h"

#include <cmath>

namespace refhost::primitives {

namespace {

std::vector<double> runningLength(const std::vector<ProfilePoint>& p, bool closed, double& total) {
    std::vector<double> s(p.size(), 0.0);
    total = 0;
    for (std::size_t j = 0; j < p.size(); ++j) {
        s[j] = total;
        const std::size_t k = j + 1 < p.size() ? j + 1 : 0;
        if (j + 1 < p.size() || closed) total += std::hypot(p[k].r - p[j].r, p[k].z - p[j].z);
    }
    return s;
}

}  // namespace

void assignOpenV(std::vector<ProfilePoint>& profile) {
    double total = 0;
    const std::vector<double> s = runningLength(profile, false, total);
    for (std::size_t j = 0; j < profile.size(); ++j) profile[j].v = total > 0 ? 1 - s[j] / total : 0;
}

void assignClosedV(std::vector<ProfilePoint>& profile) {
    double total = 0;
    const std::vector<double> s = runningLength(profile, true, total);
    for (std::size_t j = 0; j < profile.size(); ++j) profile[j].v = total > 0 ? s[j] / total : 0;
}

}  // namespace refhost::primitives
