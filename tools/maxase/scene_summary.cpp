#include "scene_summary.h"

#include <map>

#include "host/dump.h"

namespace maxase {

void printSceneSummary(FILE* out, const std::string& file, const std::string& format, const refhost::Scene& scene) {
    std::map<std::string, int> kinds;
    std::size_t vertices = 0, faces = 0, lines = 0;
    for (const refhost::NodeData* node : scene.nodes()) {
        ++kinds[refhost::nodeKindName(scene, *node)];
        vertices += node->vertices.size();
        faces += node->faces.size();
        lines += node->lines.size();
    }
    std::size_t keys = 0;
    if (const refhost::AnimationData* animation = scene.animation()) {
        for (const refhost::TracksData* tracks : animation->tracks) keys += tracks->keys.size();
    }
    std::fprintf(out, "%s (%s)\n", file.c_str(), format.c_str());
    std::fprintf(out, "  Nodes      %zu", scene.nodes().size());
    const char* separator = ": ";
    for (const auto& [kind, count] : kinds) {
        std::fprintf(out, "%s%d %s", separator, count, kind.c_str());
        separator = ", ";
    }
    std::fprintf(out, "\n  Vertices   %zu\n  Faces      %zu\n", vertices, faces);
    if (lines) std::fprintf(out, "  Lines      %zu\n", lines);
    std::fprintf(out, "  Materials  %zu\n  Cameras    %d\n  Lights     %d\n  Keys       %zu\n",
                 scene.materials().size(), kinds.count("camera") ? kinds["camera"] : 0,
                 kinds.count("light") ? kinds["light"] : 0, keys);
}

void printMessages(FILE* out, const refhost::App& app) {
    if (app.messages().empty()) {
        std::fprintf(out, "Messages: none\n");
        return;
    }
    std::fprintf(out, "Messages (%zu):\n", app.messages().size());
    for (const refhost::Message& m : app.messages()) std::fprintf(out, "  [%d] %s\n", m.level, m.text.c_str());
}

void printHostNotes(FILE* out, const refhost::App& app) {
    if (app.hostNotes().empty()) return;
    std::fprintf(out, "Host notes (%zu):\n", app.hostNotes().size());
    for (const std::string& note : app.hostNotes()) std::fprintf(out, "  %s\n", note.c_str());
}

}  // namespace maxase
