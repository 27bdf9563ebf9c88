// The control entry point: initialisation, registration of both importers,
// and the version and description queries.
#include <cstring>

#include "frame/exports.h"
#include "frame/module_state.h"
#include "frame/plugin_info.h"
#include "platform/win32.h"

namespace {

constexpr uint32_t MaxImporterFlags = ImporterFlagBit1 | ImporterFlagBit8 | ImporterFlagThumbnail;
constexpr uint32_t AseImporterFlags = ImporterFlagBit1 | ImporterFlagBit8;

void fillDescriptor(ImporterDescriptor& d, uint32_t flags, const char* extension, const char* description,
                    ImportProc proc) {
    std::memset(&d, 0, sizeof d);
    d.structSize = sizeof d;
    d.flags = flags;
    d.extension = extension;
    d.description = description;
    d.icon = pluginIcon;
    d.importProc = proc;
}

int32_t initialize(HostApp* app, HINSTANCE instance) {
    hostApp = app;
    moduleInstance = instance;
    pluginIcon = hostApp->LoadModuleIcon(moduleInstance, plugin_info::IconGroup);

    ImporterDescriptor descriptor;
    fillDescriptor(descriptor, MaxImporterFlags, plugin_info::MaxExtension, plugin_info::MaxDescription, MAXImport);
    maxImporterHandle = hostApp->RegisterImporter(&descriptor);

    OleInitialize(nullptr);  // structured storage of the MAX importer depends on it

    fillDescriptor(descriptor, AseImporterFlags, plugin_info::AseExtension, plugin_info::AseDescription, ASEImport);
    aseImporterHandle = hostApp->RegisterImporter(&descriptor);
    return 1;
}

}  // namespace

extern "C" int32_t PLUGINAPI ZtDLLFunc(int32_t message, uint32_t arg1, uint32_t arg2) {
    switch (message) {
        case ControlInitialize:
            return initialize(reinterpret_cast<HostApp*>(arg1), reinterpret_cast<HINSTANCE>(arg2));
        case ControlQueryValue:
            return ControlQueryValueResult;
        case ControlGetVersion:
            std::memcpy(reinterpret_cast<char*>(arg1), plugin_info::Version, sizeof plugin_info::Version);
            return 1;
        case ControlGetDescription:
            std::memcpy(reinterpret_cast<char*>(arg1), plugin_info::Description, sizeof plugin_info::Description);
            return 1;
        default:
            return 0;
    }
}
