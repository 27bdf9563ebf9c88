#include "host/plugin_loader.h"

#include <dlfcn.h>

namespace refhost {

std::unique_ptr<PluginLibrary> PluginLibrary::load(const std::string& path, std::string& error) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = dlerror();
        error = reason ? reason : ("cannot load " + path);
        return nullptr;
    }
    std::unique_ptr<PluginLibrary> library(new PluginLibrary());
    library->handle_ = handle;
    library->path_ = path;
    library->control_ = reinterpret_cast<ControlProc>(dlsym(handle, ExportControl));
    library->aseImport_ = reinterpret_cast<ImportProc>(dlsym(handle, ExportAseImport));
    library->maxImport_ = reinterpret_cast<ImportProc>(dlsym(handle, ExportMaxImport));
    if (!library->control_ || !library->aseImport_ || !library->maxImport_) {
        error = path + " does not export " + ExportControl + ", " + ExportAseImport + " and " + ExportMaxImport;
        return nullptr;
    }
    Dl_info info;
    if (!dladdr(reinterpret_cast<void*>(library->control_), &info)) {
        error = "cannot find the load base of " + path;
        return nullptr;
    }
    library->instance_ = static_cast<HINSTANCE>(info.dli_fbase);
    return library;
}

PluginLibrary::~PluginLibrary() {
    if (handle_) dlclose(handle_);
}

int32_t PluginLibrary::initialize(App& app) const {
    return control_(ControlInitialize, reinterpret_cast<uint32_t>(static_cast<HostApp*>(&app)),
                    reinterpret_cast<uint32_t>(instance_));
}

std::string PluginLibrary::version() const {
    char buffer[256] = {};
    control_(ControlGetVersion, reinterpret_cast<uint32_t>(buffer), 0);
    return buffer;
}

std::string PluginLibrary::description() const {
    char buffer[256] = {};
    control_(ControlGetDescription, reinterpret_cast<uint32_t>(buffer), 0);
    return buffer;
}

int32_t PluginLibrary::queryValue() const {
    return control_(ControlQueryValue, 0, 0);
}

}  // namespace refhost
