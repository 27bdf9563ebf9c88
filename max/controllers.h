// Transform controllers evaluated at time 0: the position/rotation/scale
// controller and what it may hold (Bezier, TCB and linear keys, the XYZ
// controllers over float tracks, lists), the Look At controller of cameras
// and lights, and the controllers that cannot be evaluated from the file
// alone (biped, IK), which keep their static value and are reported once per
// class.
#pragma once

#include <cstdint>

#include "frame/contract/host_records.h"
#include "max/look_at_setup.h"
#include "max/max_file.h"

// The local matrix at time 0 that the controller of the reference index
// gives; matrix is left as it is when the controller gives nothing. A Look
// At controller fills lookAt and sets only its scale in the matrix.
void readTransformController(MaxFile& file, int32_t controller, HostMatrix& matrix, LookAtSetup& lookAt);

// Q^-1 * diag(s) * Q for a scale (x, y, z) and its axis quaternion
// (x, y, z, w), with Q the axis's rotation.
HostMatrix scaleMatrix(const float scaleAndAxis[7]);
