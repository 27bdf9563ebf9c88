// Helpers for lathe profiles.
#pragma once

#include "geometry/primitives/lathe.h"

namespace geometry::primitives {

// Texture v by length along an open profile: 1 at its first point (the
// top), 0 at its last.
void assignOpenV(Profile& profile);
// Texture v by length around a closed profile: 0 at its first point, rising
// towards 1 where it closes.
void assignClosedV(Profile& profile);

}  // namespace geometry::primitives
