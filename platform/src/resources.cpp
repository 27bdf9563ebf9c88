// Module resources. The embedding side registers each module's resources
// under its load base; FindResourceA and friends then answer as Windows does.
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/control.h"

namespace {

struct Resource {
    HMODULE module;
    std::string type;  // "#n" for an integer id, else the upper-cased name
    std::string name;
    const void* data;
    DWORD size;
};

std::mutex resourceMutex;
std::vector<Resource*> resources;

std::string resourceKey(LPCSTR id) {
    if (IS_INTRESOURCE(id)) return "#" + std::to_string(reinterpret_cast<uintptr_t>(id));
    std::string key(id);
    for (char& c : key) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return key;
}

}  // namespace

extern "C" {

void PlatformRegisterResource(HMODULE module, LPCSTR type, LPCSTR name, const void* data, DWORD size) {
    std::lock_guard<std::mutex> lock(resourceMutex);
    resources.push_back(new Resource{module, resourceKey(type), resourceKey(name), data, size});
}

void PlatformUnregisterModule(HMODULE module) {
    std::lock_guard<std::mutex> lock(resourceMutex);
    for (auto it = resources.begin(); it != resources.end();) {
        if ((*it)->module == module) {
            delete *it;
            it = resources.erase(it);
        } else {
            ++it;
        }
    }
}

HRSRC WINAPI FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    if (!name || !type) return nullptr;
    const std::string typeKey = resourceKey(type);
    const std::string nameKey = resourceKey(name);
    std::lock_guard<std::mutex> lock(resourceMutex);
    for (Resource* r : resources) {
        if (r->module == module && r->type == typeKey && r->name == nameKey) return r;
    }
    return nullptr;
}

HGLOBAL WINAPI LoadResource(HMODULE, HRSRC resource) {
    return resource ? const_cast<void*>(static_cast<Resource*>(resource)->data) : nullptr;
}

LPVOID WINAPI LockResource(HGLOBAL loaded) {
    return loaded;
}

DWORD WINAPI SizeofResource(HMODULE, HRSRC resource) {
    return resource ? static_cast<Resource*>(resource)->size : 0;
}

}  // extern "C"
