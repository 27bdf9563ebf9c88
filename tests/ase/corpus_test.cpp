// Every real sample file, the example scene and the inputs kept under
// tests/ase/inputs (which once crashed or failed) import without a finding,
// leave nothing behind, and give the scene what the file's text declares: its
// objects, and the vertex, face and texture vertex counts of each mesh, taken
// from the text by a scan of its own here.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "host/dump.h"
#include "import_support.h"
#include "platform/control.h"

namespace {

namespace fs = std::filesystem;

const fs::path SampleFolder = fs::path(MAXASE_SAMPLES_DIR) / "ase";

// The files of a folder, sorted.
std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.is_regular_file()) files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> inputFiles() {
    std::vector<std::string> files = filesIn(SampleFolder);
    if (files.empty()) files.push_back("");  // one case, to report the missing corpus
    files.push_back(MAXASE_SOURCE_DIR "/examples/scene.ase");
    for (const std::string& kept : filesIn(fs::path(MAXASE_SOURCE_DIR) / "tests/ase/inputs")) files.push_back(kept);
    return files;
}

// The file's text as 8-bit characters; UTF-16 with a mark is narrowed.
std::string eightBitText(const std::string& bytes) {
    if (bytes.size() < 2) return bytes;
    const auto b0 = static_cast<unsigned char>(bytes[0]), b1 = static_cast<unsigned char>(bytes[1]);
    const bool little = b0 == 0xFF && b1 == 0xFE, big = b0 == 0xFE && b1 == 0xFF;
    if (!little && !big) return bytes;
    std::string text;
    for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
        const unsigned unit =
            little ? static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8
                   : static_cast<unsigned char>(bytes[i]) << 8 | static_cast<unsigned char>(bytes[i + 1]);
        text += static_cast<char>(unit < 256 ? unit : '?');
    }
    return text;
}

struct DeclaredMesh {
    long vertices = 0, faces = 0, texVertices = 0;
};

struct Declared {
    int objects = 0;
    std::map<std::string, DeclaredMesh> meshes;  // by object name, for names used once
};

// Objects are the blocks of the object keywords at any depth. A mesh's
// counts are the *MESH_NUMVERTEX, *MESH_NUMFACES and *MESH_NUMTVERTEX
// directly inside its *MESH block (not those of its further mapping
// channels), and belong to the *NODE_NAME directly inside the object.
Declared declaredIn(const std::string& text) {
    static const std::set<std::string> objectWords = {"*GEOMOBJECT", "*SHAPEOBJECT",  "*HELPEROBJECT",
                                                      "*GROUP",      "*CAMERAOBJECT", "*LIGHTOBJECT"};
    struct Object {
        int depth;  // of its block; -1 until the block opens
        std::string name;
    };
    Declared declared;
    std::istringstream words(text);
    std::string word, previous;
    int depth = 0, meshDepth = -1;
    bool pendingMesh = false;
    std::vector<Object> objects;
    DeclaredMesh mesh;
    std::vector<std::pair<std::string, DeclaredMesh>> meshes;
    std::map<std::string, int> nameUses;
    while (words >> word) {
        const bool insideObject = !objects.empty() && depth == objects.back().depth;
        if (word == "{") {
            ++depth;
            if (!objects.empty() && objects.back().depth < 0) objects.back().depth = depth;
            if (pendingMesh) meshDepth = depth;
            pendingMesh = false;
        } else if (word == "}") {
            if (depth == meshDepth) {
                meshes.emplace_back(objects.empty() ? "" : objects.back().name, mesh);
                meshDepth = -1;
            }
            if (insideObject) objects.pop_back();
            if (depth > 0) --depth;  // a stray brace at the top does not count
        } else if (objectWords.count(word)) {
            ++declared.objects;
            objects.push_back({-1, ""});
        } else if (insideObject && word == "*MESH" && meshDepth < 0) {
            pendingMesh = true;
            mesh = DeclaredMesh{};
        } else if (insideObject && previous == "*NODE_NAME" && objects.back().name.empty()) {
            std::string name = word;
            while (name.size() < 2 || name.back() != '"') {
                if (!(words >> word)) break;
                name += " " + word;
            }
            objects.back().name = name.substr(1, name.size() - 2);
            ++nameUses[objects.back().name];
        } else if (depth == meshDepth && previous == "*MESH_NUMVERTEX") {
            mesh.vertices = std::stol(word);
        } else if (depth == meshDepth && previous == "*MESH_NUMFACES") {
            mesh.faces = std::stol(word);
        } else if (depth == meshDepth && previous == "*MESH_NUMTVERTEX") {
            mesh.texVertices = std::stol(word);
        }
        previous = word;
    }
    for (const auto& [name, counts] : meshes) {
        if (!name.empty() && nameUses[name] == 1) declared.meshes[name] = counts;
    }
    return declared;
}

class Corpus : public ::testing::TestWithParam<std::string> {};

}  // namespace

TEST_P(Corpus, ImportsWhatTheTextDeclaresAndLeavesNothingBehind) {
    if (GetParam().empty()) {
        if (MAXASE_REQUIRE_SAMPLES) FAIL() << "no sample files in " << SampleFolder;
        GTEST_SKIP() << "no sample files in " << SampleFolder << "; set MAXASE_SAMPLES_DIR to run the corpus tests";
    }
    const std::string bytes = testing_support::readFile(GetParam());
    const Declared declared = declaredIn(eightBitText(bytes));
    const int heapBefore = PlatformHeapBlocksInUse();
    {
        ase_testing::Import input(bytes);
        EXPECT_EQ(input.result, 1);
        EXPECT_NO_THROW(refhost::dumpScene(input.harness.host(), input.scene).dump());
        EXPECT_EQ(input.harness.host().outstandingHelpers(), 0);
        int objects = 0, meshesCompared = 0;
        for (const refhost::NodeData* node : input.scene.nodes()) {
            objects += node->kind != refhost::NodeKind::Target;
            const auto found = node->name ? declared.meshes.find(*node->name) : declared.meshes.end();
            if (found == declared.meshes.end()) continue;
            ++meshesCompared;
            EXPECT_EQ(static_cast<long>(node->vertices.size()), found->second.vertices) << *node->name;
            EXPECT_EQ(static_cast<long>(node->faces.size()), found->second.faces) << *node->name;
            EXPECT_EQ(static_cast<long>(node->texVertices.size()), found->second.texVertices) << *node->name;
        }
        EXPECT_EQ(objects, declared.objects);
        EXPECT_GT(meshesCompared + static_cast<int>(declared.meshes.empty()), 0) << "no mesh was compared";
    }
    EXPECT_EQ(PlatformHeapBlocksInUse(), heapBefore);
}

INSTANTIATE_TEST_SUITE_P(AseFiles, Corpus, ::testing::ValuesIn(inputFiles()),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                             std::string name =
                                 param.param.empty() ? "absent" : fs::path(param.param).filename().string();
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });
