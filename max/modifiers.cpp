#include "max/modifiers.h"

#include "max/class_registry.h"
#include "max/object_value.h"

void applyModifier(MaxFile& file, const StackModifier& modifier, ObjectValue& value) {
    const ClassInfo* info = modifier.info;
    if (info && info->role == ClassRole::Modifier && info->apply) info->apply(file, modifier, value);
}
