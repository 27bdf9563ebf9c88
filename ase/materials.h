// The material list: host materials created as they are read, and the
// material table that geometry objects refer to by number.
#pragma once

#include <cstdint>

#include "ase/material_table.h"
#include "ase/reader.h"

// The most slots a material table or a sub-material array may have. Real
// files have dozens; a count beyond this fails its block.
constexpr int32_t MaxMaterialSlots = 1 << 16;
// Sub-materials nest; a deeper one fails its material.
constexpr int32_t MaxMaterialNesting = 64;

bool ParseMaterialList(AseReader& reader);
// depth: 1 for a material of the list, one more for each sub-material level.
bool ParseMaterial(AseReader& reader, MaterialRecord& record, int32_t depth);
bool ParseDiffuseMap(AseReader& reader, MaterialRecord& record);

