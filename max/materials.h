// The materials of a MAX scene as the host gets them: Standard materials with
// their name, colours, diffuse bitmap and two-sidedness, and Multi/Sub-Object
// materials with their sub-materials by slot. Each MAX material becomes one
// host material, however many nodes and materials refer to it; other classes
// give none, and their nodes keep the default material.
#pragma once

#include <cstdint>

#include "frame/contract/host_interfaces.h"
#include "max/max_file.h"

// The most sub-material slots taken from a Multi/Sub-Object material; faces
// whose id names a slot beyond them get the multi material itself.
constexpr uint32_t MaxSubMaterialSlots = 1024;
// How deep Multi/Sub-Object materials may hold one another.
constexpr uint32_t MaxMaterialNesting = 8;

struct MaxMaterial {
    HostMaterial* host;
    bool twoSided;
    bool hasDiffuse;
    Point3 diffuse;
    uint32_t subCount;         // slots of a Multi/Sub-Object material, 0 for a Standard one
    const MaxMaterial** subs;  // by slot; null where the slot holds no material that was made
};

// The material that the reference index names, made on first use; null when
// it names none that can be made (the node then keeps its default material).
const MaxMaterial* materialAt(MaxFile& file, int32_t index);

// The material a face with this material id gets: the sub-material of that
// slot when there is one, else the material itself.
const MaxMaterial& faceMaterial(const MaxMaterial& material, uint32_t materialId);

// Frees what materialAt made for the import; the host materials stay the host's.
void releaseMaterials(MaxFile& file);
