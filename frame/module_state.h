// Module-wide state: written by the initialisation message only, read by
// every part of the plug-in for the life of the module.
#pragma once

#include <cstdint>

#include "frame/contract/host_interfaces.h"

extern HostApp* hostApp;
extern HINSTANCE moduleInstance;
extern uint32_t pluginIcon;
extern int32_t maxImporterHandle;
extern int32_t aseImporterHandle;
