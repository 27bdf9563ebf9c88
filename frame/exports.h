// The plug-in's three exports, with C linkage and undecorated names.
#pragma once

#include <cstdint>

#include "frame/contract/abi.h"

extern "C" {
PLUGIN_EXPORT int32_t PLUGINAPI ZtDLLFunc(int32_t message, uint32_t arg1, uint32_t arg2);
PLUGIN_EXPORT int32_t PLUGINAPI ASEImport(HostStream* stream, HostScene* scene, uint32_t unused, int32_t mode);
PLUGIN_EXPORT int32_t PLUGINAPI MAXImport(HostStream* stream, HostScene* scene, uint32_t unused, int32_t mode);
}
