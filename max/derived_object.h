// Derived objects (chunk 0x2032 in place of a class index): a base object
// under a stack of modifiers. The reference list names the modifiers top
// first and the base last; the object holds one modifier context (0x2500)
// per modifier, in the same order, with what the modifier keeps for this
// object: its context transform, the box of its input and its own data.
#pragma once

#include <cstdint>

#include "max/chunk_reader.h"
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

// What a modifier keeps for one object (its context): the context transform
// (rows X, Y, Z, translation), the box of its input (minimum, maximum), and
// where its own data lies.
struct ModContext {
    bool hasTransform = false;
    float transform[4][3] = {};
    bool hasBox = false;
    float box[6] = {};
    bool hasData = false;
    ChunkHeader data{};  // the 0x2512 container
};

bool isDerivedObject(MaxFile& file, int32_t reference);
// The stack of the derived object that the reference names; false when it
// names none.
bool readModifierStack(MaxFile& file, int32_t reference, ModifierStack& stack);
// The modifier's context; false when it has none.
bool readModContext(MaxFile& file, const StackModifier& modifier, ModContext& context);
