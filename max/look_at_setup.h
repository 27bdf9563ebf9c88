// What a Look At controller gives a node (targeted cameras and lights): its
// orientation waits for the target's world position, so the controller
// leaves the target, the position, the roll and the scale for later.
#pragma once

#include <cstdint>

#include "frame/contract/host_records.h"

struct LookAtSetup {
    bool present;
    int32_t target;   // reference index of the target node
    Point3 position;  // the position controller's value, in the parent's space
    float roll;       // radians, about the node's own Z axis
    HostMatrix scale;
};
