// A MAX import through the real plug-in into a fresh reference host, with
// the acknowledgement already given, and the questions tests ask of it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "host/scene.h"
#include "support/plugin_harness.h"

namespace testing_support {

class MaxImport {
 public:
    MaxImport();
    // Imports the file by path, as a host does, and returns the result.
    int32_t run(const std::string& path);

    refhost::App& host() { return harness_.host(); }
    refhost::Scene& scene() { return scene_; }
    const refhost::PluginLibrary& library() { return harness_.library(); }

    // The first node of that name, or null.
    const refhost::NodeData* node(const std::string& name) const;
    // The texts of the messages shown at a level, in order.
    std::vector<std::string> messages(int32_t level) const;
    // The name of the node's material, and its diffuse colour.
    std::optional<std::string> materialName(const refhost::NodeData& node) const;
    std::optional<Point3> materialColour(const refhost::NodeData& node) const;

 private:
    PluginHarness harness_;
    refhost::Scene scene_;
};

}  // namespace testing_support
