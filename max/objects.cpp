#include "max/objects.h"

#include "frame/contract/host_values.h"
#include "max/class_registry.h"
#include "max/derived_object.h"
#include "max/modifiers.h"
#include "max/object_value.h"
#include "max/references.h"

namespace {

bool evaluateAt(MaxFile& file, int32_t reference, ObjectValue& value, uint32_t depth);

// A derived object's value starts empty, whatever its base gives.
bool evaluateStack(MaxFile& file, int32_t reference, ObjectValue& value, uint32_t depth) {
    value.reset();
    if (depth >= MaxDerivedDepth) return true;
    ModifierStack stack;
    if (!readModifierStack(file, reference, stack)) return true;
    evaluateAt(file, stack.base, value, depth + 1);
    for (uint32_t i = 0; i < stack.count; ++i) applyModifier(file, stack.modifiers[i], value);
    return true;
}

bool evaluateAt(MaxFile& file, int32_t reference, ObjectValue& value, uint32_t depth) {
    const RefEntry* entry = refAt(file, reference);
    if (!entry) return false;
    if (isDerivedObject(file, reference)) return evaluateStack(file, reference, value, depth);
    const ClassInfo* info = classInfo(file, entry->classIndex);
    if (info && info->role == ClassRole::Object && info->read) return info->read(file, reference, *info, value);
    reportUnsupportedClass(file, entry->classIndex, MessageSceneLog);
    return false;
}

}  // namespace

bool evaluateObject(MaxFile& file, int32_t reference, ObjectValue& value) {
    return evaluateAt(file, reference, value, 0);
}
