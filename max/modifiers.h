// Modifiers of a derived object's stack, applied one after the other to the
// value below them.
#pragma once

#include "max/derived_object.h"
#include "max/max_file.h"

class ObjectValue;

// Applies the modifier to value, by its class's entry in the class table. A
// modifier the importer does not evaluate passes its input on unchanged.
void applyModifier(MaxFile& file, const StackModifier& modifier, ObjectValue& value);
