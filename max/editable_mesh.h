// Editable Mesh objects: vertices, triangles with their edge visibility,
// smoothing groups and material ids, and map channel 1.
#pragma once

#include <cstdint>

#include "max/class_registry.h"

bool readEditableMesh(MaxFile& file, int32_t reference, const ClassInfo& info, ObjectValue& value);
