// The one way an object becomes a value: a base object is read by its
// class's reader; a derived object is its base's value with its modifiers
// applied from the bottom up. A node hands the result to the host.
#pragma once

#include <cstdint>

#include "max/max_file.h"

class ObjectValue;

// Derived objects inside derived objects, down to the base.
constexpr uint32_t MaxDerivedDepth = 8;

// The value of the object the reference names; false, with value as it was,
// when it yields none. An object of a class without a reader is reported
// once, as unsupported.
bool evaluateObject(MaxFile& file, int32_t reference, ObjectValue& value);
