#include "max/max.h"

#include "max/class_directory.h"
#include "max/compound_document.h"
#include "max/scene.h"

namespace {

constexpr char FormatDescription[] = "3D Studio MAX Scene";
constexpr char ThumbnailStreamName[] = "ThumbnailImage";

}  // namespace

int32_t importMaxFile(const char* path, HostScene* scene) {
    MaxFile file;
    openMaxFile(file, path);
    if (!file.stream) {
        closeMaxFile(file);
        return 0;
    }
    scene->AddSceneInfo(SceneInfoFormat, FormatDescription);
    readClassDirectory(file);
    buildRefTable(file);
    file.scene = scene;
    const int32_t result = readScene(file);
    closeMaxFile(file);
    return result;
}

HGLOBAL readMaxThumbnail(HostStream* stream) {
    return loadCompoundStream(stream, ThumbnailStreamName);
}
