#include "max/look_at.h"

#include <cmath>

#include "frame/module_state.h"
#include "max/mesh_node.h"
#include "max/references.h"

namespace {

// Parent links followed upward for one node's world matrix; a longer chain
// (or a cycle) counts as ending there.
constexpr uint32_t MaxParentSteps = 1024;
constexpr double MinLength = 1e-12;

MaxNode* nodeObject(MaxFile& file, int32_t index) {
    const RefEntry* entry = refAt(file, index);
    if (!entry || file.nodeClassIndex < 0 || entry->classIndex != file.nodeClassIndex) return nullptr;
    return entry->object;
}

// The world matrix at time 0 from the local matrices read so far.
HostMatrix worldOf(MaxFile& file, const MaxNode& node) {
    HostMatrix world = node.matrix;
    const MaxNode* parent = nodeObject(file, node.parentRef);
    for (uint32_t step = 0; parent && step < MaxParentSteps; ++step) {
        const HostMatrix child = world;
        hostApp->MatrixMultiply(&child, &parent->matrix, &world);
        parent = nodeObject(file, parent->parentRef);
    }
    return world;
}

struct Vector {
    double x, y, z;
};

Vector cross(const Vector& a, const Vector& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

bool normalize(Vector& v) {
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(length > MinLength) || !std::isfinite(length)) return false;
    v = {v.x / length, v.y / length, v.z / length};
    return true;
}

void setRow(HostMatrix& m, int row, const Vector& v) {
    m.m[row][0] = v.x;
    m.m[row][1] = v.y;
    m.m[row][2] = v.z;
    m.m[row][3] = row == 3 ? 1.0 : 0.0;
}

void resolve(MaxFile& file, MaxNode& node) {
    const LookAtSetup& setup = node.lookAt;
    HostMatrix parentWorld;
    hostApp->MatrixIdentity(&parentWorld);
    if (const MaxNode* parent = nodeObject(file, node.parentRef)) parentWorld = worldOf(file, *parent);
    Point3 eye = setup.position;
    hostApp->TransformPoints(&parentWorld, &eye, &eye, 1);

    const MaxNode* target = nodeObject(file, setup.target);
    if (!target) return;
    const HostMatrix targetWorld = worldOf(file, *target);
    Vector z{eye.x - targetWorld.m[3][0], eye.y - targetWorld.m[3][1], eye.z - targetWorld.m[3][2]};
    if (!normalize(z)) return;  // on its target: no direction to turn to
    Vector x = cross({0, 0, 1}, z);
    if (!normalize(x)) {
        x = cross({0, 1, 0}, z);  // looking straight up or down
        normalize(x);
    }
    const Vector y = cross(z, x);
    const double c = std::cos(setup.roll), s = std::sin(setup.roll);
    const Vector rolledX{c * x.x + s * y.x, c * x.y + s * y.y, c * x.z + s * y.z};
    const Vector rolledY{c * y.x - s * x.x, c * y.y - s * x.y, c * y.z - s * x.z};

    HostMatrix frame;
    setRow(frame, 0, rolledX);
    setRow(frame, 1, rolledY);
    setRow(frame, 2, z);
    setRow(frame, 3, {eye.x, eye.y, eye.z});
    HostMatrix world;
    hostApp->MatrixMultiply(&setup.scale, &frame, &world);
    // Local = world * inverse(parent world); the hierarchy puts the parent back.
    if (!hostApp->MatrixInvert(&parentWorld)) return;
    hostApp->MatrixMultiply(&world, &parentWorld, &node.matrix);
}

}  // namespace

void resolveLookAtNodes(MaxFile& file) {
    for (int32_t i = 0; i < file.refCount; ++i) {
        MaxNode* node = nodeObject(file, i);
        if (node && node->lookAt.present) resolve(file, *node);
    }
}
