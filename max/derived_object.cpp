#include "max/derived_object.h"

#include "max/chunk_ids.h"
#include "max/class_registry.h"
#include "max/references.h"

bool isDerivedObject(MaxFile& file, int32_t reference) {
    const RefEntry* entry = refAt(file, reference);
    return entry && entry->classIndex == ChunkDerivedObject;
}

bool readModifierStack(MaxFile& file, int32_t reference, ModifierStack& stack) {
    stack.base = -1;
    stack.count = 0;
    const RefEntry* entry = refAt(file, reference);
    ChunkHeader object{};
    if (!entry || entry->classIndex != ChunkDerivedObject || !readChunkAt(file, entry->position, object)) return false;
    RefList refs;
    uint32_t contexts[MaxStackModifiers] = {};
    uint32_t contextCount = 0;
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(object), c); skipChunk(file, c)) {
        if (c.id == ChunkRefList || c.id == ChunkSparseRefList) {
            refs.read(file, c);
        } else if (c.id == ChunkModContext && contextCount < MaxStackModifiers) {
            contexts[contextCount++] = c.position;
        }
    }
    if (refs.empty()) return true;
    const uint32_t last = refs.count() - 1;
    stack.base = refs.at(last);
    const uint32_t modifiers = last < MaxStackModifiers ? last : MaxStackModifiers;
    // Listed top first; they apply from the one above the base upward.
    for (uint32_t i = 0; i < modifiers; ++i) {
        const uint32_t listed = last - 1 - i;
        StackModifier& m = stack.modifiers[i];
        m.reference = refs.at(listed);
        m.info = referencedClass(file, m.reference);
        m.contextPosition = listed < contextCount ? contexts[listed] : 0;
    }
    stack.count = modifiers;
    return true;
}

bool readModContext(MaxFile& file, const StackModifier& modifier, ModContext& context) {
    context = ModContext{};
    ChunkHeader chunk{};
    if (modifier.contextPosition == 0 || !readChunkAt(file, modifier.contextPosition, chunk)) return false;
    for (ChunkHeader c{}; nextChunk(file, chunkEnd(chunk), c); skipChunk(file, c)) {
        if (c.id == ChunkModContextTransform && chunkDataSize(c) >= sizeof context.transform) {
            context.hasTransform = readWords(file, context.transform, 12);
        } else if (c.id == ChunkModContextBox && chunkDataSize(c) >= sizeof context.box) {
            context.hasBox = readWords(file, context.box, 6);
        } else if (c.id == ChunkModContextData && c.kind == ChunkKindContainer) {
            context.hasData = true;
            context.data = c;
        }
    }
    return true;
}
