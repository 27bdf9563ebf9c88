// Parametric primitives (box, sphere, cylinder ...): the value is the host's
// primitive kind with the parameters of the object's block, old or new
// generation, which the host turns into geometry.
#pragma once

#include <cstdint>

#include "max/class_registry.h"

class ObjectValue;

bool readPrimitive(MaxFile& file, int32_t reference, const ClassInfo& info, ObjectValue& value);

// The old parameter block at the reference, as the host's parameter block,
// or null.
HostParamBlock* hostBlockFromParamBlock(MaxFile& file, int32_t block);
