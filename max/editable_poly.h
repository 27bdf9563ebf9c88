// Editable Poly objects: vertices with dead ones left out, polygons of any
// degree with their stored diagonals, material ids and smoothing groups, and
// the texture coordinates of map channel 1.
#pragma once

#include <cstdint>

#include "max/class_registry.h"

bool readEditablePoly(MaxFile& file, int32_t reference, const ClassInfo& info, ObjectValue& value);
