#include "ase/material_table.h"

#include "platform/heap.h"

namespace {

void freeRecord(MaterialRecord* record) {
    if (!record) return;
    FreeMaterialTable(record->subMaterials, record->subCount);
    heapFree(record);
}

}  // namespace

MaterialRecord* NewRecordAt(MaterialRecord** table, int32_t index) {
    freeRecord(table[index]);
    table[index] = static_cast<MaterialRecord*>(heapAllocZeroed(sizeof(MaterialRecord)));
    return table[index];
}

void FreeMaterialTable(MaterialRecord** table, int32_t count) {
    if (!table) return;
    for (int32_t i = 0; i < count; ++i) freeRecord(table[i]);
    heapFree(table);
}
