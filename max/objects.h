// The objects that give a node its shape: editable meshes, primitives (whose
// parameter block the host turns into geometry) and derived objects, of which
// only the base object counts.
#pragma once

#include <cstdint>

#include "max/chunk_reader.h"
#include "max/max_file.h"

class MaxMeshNode;
struct RefEntry;

// The chunk identifier that stands for a derived object in place of a class index.
constexpr uint16_t DerivedObjectId = 0x2032;
// Class identifier (A, 0) of the editable mesh.
constexpr uint32_t EditableMeshClassA = 0xE44F10B3u;

// The host's primitive kind for a class identifier, or 0.
int32_t primitiveKind(uint32_t a, uint32_t b);

// The last reference list of an object chunk (count entries; the caller
// frees it), or null.
int32_t* readObjectRefs(MaxFile& file, const RefEntry& entry, uint32_t& count);
// Fills object (or a new one, when object is null and the chunk has a mesh)
// from the object chunk just read; returns it.
MaxMeshNode* readEditableMesh(MaxFile& file, const ChunkHeader& object, MaxMeshNode* target);
// A parameter block filled from the entry's chunk, or null.
HostParamBlock* readParamBlock(MaxFile& file, const RefEntry& entry);
// A new object whose host node is the host's primitive, or null.
MaxMeshNode* readPrimitive(MaxFile& file, const RefEntry& entry, uint32_t a, uint32_t b);
// The node's object after the derived object's base has been read into it,
// or replaced it; current is consumed.
MaxMeshNode* readDerivedObject(MaxFile& file, const RefEntry& entry, MaxMeshNode* current);
