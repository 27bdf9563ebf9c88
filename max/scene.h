// The "Scene" stream: the reference table of its objects, the scene object
// with its log, and the assembly of the built nodes into the host's scene.
#pragma once

#include <cstdint>

#include "max/chunk_reader.h"
#include "max/max_file.h"

class MaxNode;

struct RefEntry {
    uint16_t classIndex;  // the object chunk's identifier
    uint32_t position;    // of the object chunk's header
    MaxNode* object;      // built for node entries
};

constexpr uint32_t RefTableStep = 1024;
// The most slots a sparse reference list may have. Real owners have at most a
// few thousand (a material with many sub-materials), nodes 16.
constexpr uint32_t MaxRefListSlots = 1u << 16;

// Indexes the objects of the scene container.
void buildRefTable(MaxFile& file);
// False when the table could not grow: the entry is then not added.
bool appendRef(MaxFile& file, const ChunkHeader& header);
// The entry that index names, or null.
RefEntry* refAt(MaxFile& file, int32_t index);

// The reference indices of a chunk 0x2034 (dense) or 0x2035 (sparse, made
// dense): a heap array that the caller frees, with its entry count, -1 for
// an empty slot; null and 0 when there is none.
int32_t* readRefList(MaxFile& file, const ChunkHeader& header, uint32_t& count);

int32_t findSceneObject(MaxFile& file);
// Logs the scene object, builds every node, hands them to the host and
// links them. Returns 1.
int32_t readScene(MaxFile& file);
// Destroys the objects built for the table's entries.
void releaseSceneObjects(MaxFile& file);
