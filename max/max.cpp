#include "max/max.h"

#include <cstring>

#include "frame/module_state.h"
#include "geometry/memory.h"
#include "max/chunk_reader.h"
#include "max/class_directory.h"
#include "max/compound_document.h"
#include "max/materials.h"
#include "max/references.h"
#include "max/scene.h"
#include "platform/heap.h"
#include "max/viewer/viewer.h"

namespace {

constexpr char FormatDescription[] = "3D Studio MAX Scene";
constexpr char ThumbnailStreamName[] = "ThumbnailImage";
constexpr char SettingsSection[] = "MAX";
constexpr char DebugWindowSetting[] = "DebugWindow";
constexpr uint16_t KeyDownBit = 0x8000;

// The debug mode: the setting is on and Shift is held at this moment. The key
// is not read while the setting is off.
bool debugModeRequested() {
    if (hostApp->GetProfileInt(SettingsSection, DebugWindowSetting, 0) == 0) return false;
    return (static_cast<uint16_t>(GetAsyncKeyState(VK_SHIFT)) & KeyDownBit) != 0;
}

}  // namespace

int32_t importMaxFile(const char* path, HostScene* scene) {
    // Geometry takes the plug-in's heap, as every other allocation of the import does.
    geometry::setAllocator(heapAlloc, heapFree);
    MaxFile file;
    openMaxFile(file, path);
    if (!file.stream) {
        closeMaxFile(file);
        return 0;
    }
    scene->AddSceneInfo(SceneInfoFormat, FormatDescription);
    if (debugModeRequested()) createViewer(file);
    const bool classesRead = readClassDirectory(file);
    if (file.damaged) {
        closeMaxFile(file);
        return 0;
    }
    if (file.viewer) {
        if (classesRead) listViewerClasses(file);
        fillViewer(file);
        seekTo(file, 0);
    }
    buildRefTable(file);
    file.scene = scene;
    const int32_t result = readScene(file);
    closeMaxFile(file);
    return result;
}

HGLOBAL readMaxThumbnail(HostStream* stream) {
    return loadCompoundStream(stream, ThumbnailStreamName);
}

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
