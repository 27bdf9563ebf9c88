// Imports through the real plug-in library, as a host calls ASEImport.
#pragma once

#include <string>
#include <vector>

#include "host/scene.h"
#include "host/streams.h"
#include "support/plugin_harness.h"

namespace ase_testing {

struct Import {
    explicit Import(const std::string& text, bool recordCalls = false);
    testing_support::PluginHarness harness;
    refhost::Scene scene{harness.host()};
    refhost::MemoryStream stream;
    int32_t result = -1;

    const refhost::NodeData& node(std::size_t index) const { return *scene.nodes().at(index); }
    std::vector<std::string> traceWith(const std::string& text) const;
};

}  // namespace ase_testing
