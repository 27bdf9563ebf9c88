// Helpers for lathe profiles.
#pragma once

#include <vector>

#include "lathe.h"

namespace refhost::primitives {

// Texture v by length along an open profile: 1 at its first point (the
// top), 0 at its last.
void assignOpenV(std::vector<ProfilePoint>& profile);
// Texture v by length around a closed profile: 0 at its first point, rising
// towards 1 where it closes.
void assignClosedV(std::vector<ProfilePoint>& profile);

}  // namespace refhost::primitives
