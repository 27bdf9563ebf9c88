// Loads the plug-in library as a host does: the library's three exports,
// and the module instance (its load base) that goes with the initialisation.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "frame/contract/abi.h"
#include "host/app.h"

namespace refhost {

class PluginLibrary {
 public:
    // Null, with the reason in error, when the library or an export is missing.
    static std::unique_ptr<PluginLibrary> load(const std::string& path, std::string& error);
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    HINSTANCE instance() const { return instance_; }
    const std::string& path() const { return path_; }

    int32_t control(int32_t message, uint32_t arg1, uint32_t arg2) const { return control_(message, arg1, arg2); }
    // Message 1: hands the plug-in the host and its module instance.
    int32_t initialize(App& app) const;
    std::string version() const;      // message 32
    std::string description() const;  // message 33
    int32_t queryValue() const;       // message 16

    ImportProc aseImport() const { return aseImport_; }
    ImportProc maxImport() const { return maxImport_; }

 private:
    PluginLibrary() = default;
    void* handle_ = nullptr;
    HINSTANCE instance_ = nullptr;
    std::string path_;
    ControlProc control_ = nullptr;
    ImportProc aseImport_ = nullptr;
    ImportProc maxImport_ = nullptr;
};

}  // namespace refhost
