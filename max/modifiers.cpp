#include "max/modifiers.h"

#include "max/object_value.h"

void applyModifier(MaxFile&, const StackModifier&, ObjectValue&) {}
