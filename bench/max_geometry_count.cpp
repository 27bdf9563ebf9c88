// How many MAX files bring geometry to the host: each file is imported
// through the plug-in into the reference host, and its nodes with vertices
// are counted, those whose mesh the importer made (editable meshes and
// polys) apart from the primitives the host builds from their parameters.
//
//   max_geometry_count [--plugin LIBRARY] [FOLDER]
//
// FOLDER defaults to the samples' max folder, LIBRARY to the plug-in built
// here; another build's library gives the count of that build.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "host/plugin_loader.h"
#include "host/scene.h"
#include "host/streams.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    std::string library = MAXASE_PLUGIN_PATH;
    fs::path folder = fs::path(MAXASE_SAMPLES_DIR) / "max";
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--plugin") == 0 && i + 1 < argc) {
            library = argv[++i];
        } else {
            folder = argv[i];
        }
    }
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.path().extension() == ".max") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    if (files.empty()) {
        std::fprintf(stderr, "no .max files in %s\n", folder.string().c_str());
        return 1;
    }

    refhost::App app;
    app.settings().set("MAX", "Warning", 0);  // acknowledged once and for all
    app.settings().set("MAX", "Agree", 1);
    std::string loadError;
    const auto plugin = refhost::PluginLibrary::load(library, loadError);
    if (!plugin) {
        std::fprintf(stderr, "cannot load the plug-in: %s\n", loadError.c_str());
        return 1;
    }
    plugin->initialize(app);

    int withGeometry = 0, withMeshes = 0;
    std::printf("%-42s %6s %6s %6s %10s\n", "file", "nodes", "meshes", "prims", "vertices");
    for (const fs::path& path : files) {
        refhost::Scene scene(app);
        refhost::FileStream stream(path.string());
        const int32_t result = plugin->maxImport()(&stream, &scene, 0, ImportModeScene);
        int meshes = 0, primitives = 0;
        std::size_t vertices = 0;
        for (const refhost::NodeData* node : scene.nodes()) {
            if (node->vertices.empty()) continue;
            vertices += node->vertices.size();
            ++(node->kind == refhost::NodeKind::Primitive ? primitives : meshes);
        }
        withGeometry += meshes + primitives > 0 ? 1 : 0;
        withMeshes += meshes > 0 ? 1 : 0;
        std::printf("%-42s %6zu %6d %6d %10zu%s\n", path.filename().string().c_str(), scene.nodes().size(), meshes,
                    primitives, vertices, result == 1 ? "" : "  (import failed)");
        app.clearLog();
    }
    std::printf("%d of %zu files bring geometry to the host (%d with meshes the importer made)\n", withGeometry,
                files.size(), withMeshes);
    return 0;
}
