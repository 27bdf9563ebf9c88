// Host matrices (row vectors, p' = p * M) as glTF translation, rotation and
// scale, and the quaternion arithmetic of rotation keys. Quaternions here
// are glTF's: (x, y, z, w), turning column vectors counter-clockwise.
#pragma once

#include <array>

#include "frame/contract/host_records.h"

namespace gltf {

using Quat = std::array<double, 4>;

struct Trs {
    std::array<double, 3> translation{0, 0, 0};
    Quat rotation{0, 0, 0, 1};
    std::array<double, 3> scale{1, 1, 1};
};

enum class Decomposition { Exact, Sheared, NotFinite };

// The translation, rotation and scale of m. A mirroring matrix gets a
// negative x scale. A matrix with shear gets the nearest rotation (its axes
// made square) and is reported Sheared; one with a value that is not a
// number gets the identity and is reported NotFinite.
Decomposition decompose(const HostMatrix& m, Trs& out);

// The host's rotation key value: an axis and an angle in radians, in the
// modelling program's sense, in which a positive angle turns clockwise
// about the axis. Returns the identity for a zero or non-finite axis.
Quat keyRotation(const float axisAngle[4]);

Quat multiply(const Quat& a, const Quat& b);
Quat normalize(const Quat& q);
// The rotation by t times q's angle about q's axis, t in [0, 1].
Quat partOf(const Quat& q, double t);
// q's angle in radians, in [0, 2 pi].
double angleOf(const Quat& q);

}  // namespace gltf
