// The Plane object: a flat grid, which the host has no primitive for, so the
// importer builds it as a mesh from the parameters of its block: length
// (along Y), width (along X), and their segment counts.
#pragma once

#include <cstdint>

#include "max/class_registry.h"

// False, with the value as it was, when the plane has no parameter block.
bool readPlane(MaxFile& file, int32_t reference, const ClassInfo& info, ObjectValue& value);
