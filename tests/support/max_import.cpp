#include "support/max_import.h"

#include "host/streams.h"

namespace testing_support {

namespace {

const refhost::MaterialData* materialOf(const refhost::Scene& scene, const refhost::NodeData& node) {
    const auto it = node.properties.find(NodeMaterial);
    if (it == node.properties.end()) return nullptr;
    const int index = scene.materialIndexOf(it->second);
    return index < 0 ? nullptr : scene.materials()[static_cast<std::size_t>(index)];
}

}  // namespace

MaxImport::MaxImport() : scene_(harness_.host()) {
    host().settings().set("MAX", "Warning", 0);
    host().settings().set("MAX", "Agree", 1);
}

int32_t MaxImport::run(const std::string& path) {
    refhost::FileStream stream(path);
    return library().maxImport()(&stream, &scene_, 0, ImportModeScene);
}

const refhost::NodeData* MaxImport::node(const std::string& name) const {
    for (const refhost::NodeData* n : scene_.nodes()) {
        if (n->name && *n->name == name) return n;
    }
    return nullptr;
}

std::vector<std::string> MaxImport::messages(int32_t level) const {
    std::vector<std::string> texts;
    for (const refhost::Message& m : harness_.app->messages()) {
        if (m.level == level) texts.push_back(m.text);
    }
    return texts;
}

std::optional<std::string> MaxImport::materialName(const refhost::NodeData& node) const {
    const refhost::MaterialData* material = materialOf(scene_, node);
    return material ? material->name : std::nullopt;
}

std::optional<Point3> MaxImport::materialColour(const refhost::NodeData& node) const {
    const refhost::MaterialData* material = materialOf(scene_, node);
    if (!material) return std::nullopt;
    for (const auto& [id, value] : material->properties) {
        if (id == MaterialDiffuse) return value.colour;
    }
    return std::nullopt;
}

}  // namespace testing_support
