#include "support/plugin_harness.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace testing_support {

PluginHarness::PluginHarness(std::unique_ptr<refhost::App> hostApp) : app(std::move(hostApp)) {
    std::string error;
    plugin = refhost::PluginLibrary::load(MAXASE_PLUGIN_PATH, error);
    if (!plugin) {
        ADD_FAILURE() << "cannot load the plug-in: " << error;
        return;
    }
    initializeResult = plugin->initialize(*app);
}

PluginHarness::~PluginHarness() {
    for (const std::string& v : refhost::contractViolations()) ADD_FAILURE() << "contract violation: " << v;
    refhost::clearContractViolations();
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

}  // namespace testing_support
