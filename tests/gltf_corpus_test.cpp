// Every real sample file, imported through the plug-in and written as glTF:
// read back, it holds the dump's nodes, meshes, triangles and materials,
// and its triangles stand where the host's do in the world.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "gltf/export.h"
#include "host/dump.h"
#include "host/streams.h"
#include "support/gltf_reader.h"
#include "support/plugin_harness.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> sampleFiles() {
    std::vector<fs::path> files;
    for (const char* folder : {"ase", "max"}) {
        const fs::path dir = fs::path(MAXASE_SAMPLES_DIR) / folder;
        if (!fs::is_directory(dir)) continue;
        for (const auto& entry : fs::directory_iterator(dir)) {
            if (entry.is_regular_file()) files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

struct Box {
    double lo[3] = {1e300, 1e300, 1e300}, hi[3] = {-1e300, -1e300, -1e300};
    void add(const std::array<double, 3>& p) {
        for (std::size_t a = 0; a < 3; ++a) {
            lo[a] = std::min(lo[a], p[a]);
            hi[a] = std::max(hi[a], p[a]);
        }
    }
};

// The world bounds of the corners of the node's valid faces: in the host
// (Z up, turned to Y up) and in the file.
void expectSameWorldBounds(const refhost::NodeData& node, const testing_support::LoadedGltf& g,
                           const std::string& sample) {
    const auto n = static_cast<int32_t>(node.vertices.size());
    const HostMatrix w = node.transform();
    Box host;
    for (const HostFace& f : node.faces) {
        const int32_t corners[3] = {f.a, f.b, f.c};
        if (std::any_of(corners, corners + 3, [n](int32_t v) { return v < 0 || v >= n; })) continue;
        for (int32_t v : corners) {
            const Point3& p = node.vertices[static_cast<std::size_t>(v)];
            double q[3];
            for (int c = 0; c < 3; ++c) q[c] = p.x * w.m[0][c] + p.y * w.m[1][c] + p.z * w.m[2][c] + w.m[3][c];
            host.add({q[0], q[2], -q[1]});
        }
    }
    const auto& mesh =
        g.json["meshes"][g.json["nodes"][static_cast<std::size_t>(node.index)]["mesh"].get<std::size_t>()];
    const testing_support::Matrix m = testing_support::worldMatrix(g.json, node.index);
    Box written;
    for (const auto& p : mesh["primitives"]) {
        if (p["mode"] != 4) continue;
        const std::vector<double> v = g.read(p["attributes"]["POSITION"]);
        for (std::size_t i = 0; i + 2 < v.size(); i += 3)
            written.add(testing_support::transformPoint(m, {v[i], v[i + 1], v[i + 2]}));
    }
    // Files write matrices with four decimals, which are not quite square:
    // made square, they move points by about that much of their distance.
    for (int a = 0; a < 3; ++a) {
        const double reach = std::max({1.0, host.hi[a] - host.lo[a], std::fabs(host.lo[a]), std::fabs(host.hi[a])});
        EXPECT_NEAR(written.lo[a], host.lo[a], 1e-3 * reach) << sample << " node " << node.index << " axis " << a;
        EXPECT_NEAR(written.hi[a], host.hi[a], 1e-3 * reach) << sample << " node " << node.index << " axis " << a;
    }
}

}  // namespace

TEST(GltfCorpus, EverySampleConvertsAndReadsBack) {
    const std::vector<fs::path> files = sampleFiles();
    if (files.empty()) {
        if (MAXASE_REQUIRE_SAMPLES) FAIL() << "no sample files in " << MAXASE_SAMPLES_DIR;
        GTEST_SKIP() << "no sample files in " << MAXASE_SAMPLES_DIR;
    }
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.string());
        testing_support::PluginHarness h;
        // Agreed once and not to be asked again, as a user would answer the MAX acknowledgement.
        h.host().settings().set("MAX", "Warning", 0);
        h.host().settings().set("MAX", "Agree", 1);
        const refhost::Registration* importer = h.host().registrationFor(path.extension().string().substr(1));
        ASSERT_NE(importer, nullptr);
        refhost::Scene scene(h.host());
        refhost::FileStream stream(path.string());
        importer->importProc(&stream, &scene, 0, ImportModeScene);

        const gltf::Document doc = gltf::exportScene(scene, {});
        const auto dump = refhost::dumpScene(h.host(), scene);
        for (gltf::FileFormat format : {gltf::FileFormat::Gltf, gltf::FileFormat::Glb}) {
            testing_support::LoadedGltf g;
            std::string error;
            ASSERT_TRUE(testing_support::loadGltf(gltf::encode(doc, format), g, error)) << error;
            EXPECT_TRUE(testing_support::matchesDump(g, dump));
            if (format == gltf::FileFormat::Glb) continue;
            const bool squared = std::any_of(doc.notes.begin(), doc.notes.end(),
                                             [](const std::string& n) { return n.find("shear") != std::string::npos; });
            if (squared) continue;  // transforms with shear are made square: places move
            for (const refhost::NodeData* node : scene.nodes()) {
                if (g.json["nodes"][static_cast<std::size_t>(node->index)].contains("mesh") && !node->faces.empty()) {
                    expectSameWorldBounds(*node, g, path.filename().string());
                }
            }
        }
    }
}
