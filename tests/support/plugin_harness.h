// The plug-in loaded into a fresh reference host, as a host loads it.
#pragma once

#include <memory>
#include <string>

#include "host/app.h"
#include "host/plugin_loader.h"
#include "host/scene.h"

namespace testing_support {

// Loads the plug-in once per process and initialises it with a new host App
// for every harness. The App outlives every import made through it.
struct PluginHarness {
    explicit PluginHarness(std::unique_ptr<refhost::App> app = std::make_unique<refhost::App>());
    ~PluginHarness();

    refhost::App& host() { return *app; }
    const refhost::PluginLibrary& library() { return *plugin; }

    std::unique_ptr<refhost::App> app;
    std::unique_ptr<refhost::PluginLibrary> plugin;
    int32_t initializeResult = 0;
};

// A file's whole contents.
std::string readFile(const std::string& path);

}  // namespace testing_support
