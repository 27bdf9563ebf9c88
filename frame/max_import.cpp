// The MAX import entry point.
#include "frame/exports.h"

extern "C" int32_t PLUGINAPI MAXImport(HostStream*, HostScene*, uint32_t, int32_t) {
    return 0;  // the MAX importer is not built yet
}
