// Derived objects (chunk 0x2032 in place of a class index): a base object
// under a stack of modifiers. The reference list names the modifiers top
// first and the base last; the object holds one modifier context (0x2500)
// per modifier, in the same order, with what the modifier keeps for this
// object: its context transform, the box of its input and its own data.
#pragma once

#include <cstdint>

#include "max/max_file.h"

struct ClassInfo;

// Modifiers of one stack that are read; a longer stack is cut, from the top.
constexpr uint32_t MaxStackModifiers = 64;

struct StackModifier {
    int32_t reference;
    const ClassInfo* info;     // null for a class the importer does not know
    uint32_t contextPosition;  // of its 0x2500 chunk; 0 when it has none
};

struct ModifierStack {
    int32_t base = -1;  // a base object or another derived object
    uint32_t count = 0;
    StackModifier modifiers[MaxStackModifiers];  // bottom first: the order they apply in
};

bool isDerivedObject(MaxFile& file, int32_t reference);
// The stack of the derived object that the reference names; false when it
// names none.
bool readModifierStack(MaxFile& file, int32_t reference, ModifierStack& stack);
