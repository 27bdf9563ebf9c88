#include "max/max_file.h"

#include <cstring>

#include "max/chunk_reader.h"
#include "max/materials.h"
#include "max/references.h"
#include "max/scene.h"
#include "platform/heap.h"

void closeMaxFile(MaxFile& file) {
    if (file.stream) file.stream->Release();
    if (file.storage) file.storage->Release();
    if (file.pool) file.pool->Release();
    heapFree(file.classes);
    heapFree(file.knownClasses);
    heapFree(file.reportedClasses);
    if (file.refs) releaseSceneObjects(file);
    releaseMaterials(file);
    releaseRefTable(file);
    releaseStreamWindow(file);
    std::memset(&file, 0, sizeof file);
}
