// Without Windows there is no loader to find the module's resources, so the
// plug-in registers them with the platform library under its own load base
// when it is loaded, and withdraws them when it is unloaded. The icon group
// is registered as the icon file itself.
#include <dlfcn.h>

#include <cstdlib>

#include "frame/resources/embedded_resources.h"
#include "platform/control.h"

namespace {

HMODULE ownLoadBase() {
    Dl_info info;
    if (!dladdr(reinterpret_cast<void*>(&ownLoadBase), &info)) return nullptr;
    return static_cast<HMODULE>(info.dli_fbase);
}

LPCSTR resourceId(const char* text) {
    return text[0] == '#' ? MAKEINTRESOURCEA(std::atoi(text + 1)) : text;
}

__attribute__((constructor)) void registerResources() {
    const HMODULE module = ownLoadBase();
    for (unsigned i = 0; i < embeddedResourceCount; ++i) {
        const EmbeddedResource& r = embeddedResources[i];
        PlatformRegisterResource(module, resourceId(r.type), resourceId(r.name), r.data, r.size);
    }
}

__attribute__((destructor)) void unregisterResources() {
    PlatformUnregisterModule(ownLoadBase());
}

}  // namespace
