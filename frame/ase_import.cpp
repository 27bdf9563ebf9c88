// The ASE import entry point.
#include "frame/exports.h"

extern "C" int32_t PLUGINAPI ASEImport(HostStream*, HostScene*, uint32_t, int32_t) {
    return 0;  // the ASE importer is not built yet
}
