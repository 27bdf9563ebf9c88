// The reference host's matrix arithmetic, in the row-vector convention of the
// host contract (see HostApp in frame/contract/host_interfaces.h).
#pragma once

#include "frame/contract/host_records.h"

namespace refhost::matrix {

HostMatrix identity();
HostMatrix multiply(const HostMatrix& a, const HostMatrix& b);  // a * b
// The inverse, or false (and m unchanged) when m is singular.
bool invert(HostMatrix& m);
HostMatrix translation(const Point3& p);
HostMatrix scaling(const Point3& s);
// Rows are those of the textbook column-vector rotation matrix of (x, y, z, w).
HostMatrix fromQuaternion(const float q[4]);
Point3 transformPoint(const HostMatrix& m, const Point3& p);  // p * m, affine

}  // namespace refhost::matrix
