#include "frame/module_state.h"

HostApp* hostApp = nullptr;
HINSTANCE moduleInstance = nullptr;
uint32_t pluginIcon = 0;
int32_t maxImporterHandle = 0;
int32_t aseImporterHandle = 0;
