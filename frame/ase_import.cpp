// The ASE import entry point: one reader per call, handed to the scene
// assembly and destroyed again. Only mode 1 reads a scene.
#include "ase/assembly.h"
#include "frame/exports.h"

extern "C" int32_t PLUGINAPI ASEImport(HostStream* stream, HostScene* scene, uint32_t, int32_t mode) {
    if (mode != ImportModeScene || !stream || !scene) return 0;
    AseReader reader;
    InitReader(reader, stream, scene);
    const int32_t result = AssembleAseScene(reader);
    DestroyReader(reader);
    return result;
}
