// The records of the material table that geometry objects refer to by
// number, with their sub-materials, as the import owns them.
#pragma once

#include <cstdint>

#include "frame/contract/host_interfaces.h"

struct MaterialRecord {
    HostMaterial* hostMaterial;  // not owned
    int32_t subCount;
    int32_t twoSided;
    MaterialRecord** subMaterials;  // subCount slots, null until read; owned
};

// A new zeroed record in slot index of table, replacing an earlier one; null
// when memory ran out.
MaterialRecord* NewRecordAt(MaterialRecord** table, int32_t index);
// Frees count records of a table, sub-materials included, and the table.
void FreeMaterialTable(MaterialRecord** table, int32_t count);
