// Every real MAX file of the corpus goes through MAXImport without a crash,
// hang, leak or contract violation. For the files these readers understand
// (uncompressed, 32-bit chunk lengths) the imported nodes, names and meshes
// are checked against counts that this test takes from the file itself, with
// a compound-file and chunk reader of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>

#include "max/viewer/tree_items.h"
#include "max/viewer/viewer.h"
#include "platform/control.h"
#include "support/max_import.h"
#include "support/viewer_tree.h"

namespace fs = std::filesystem;
using testing_support::MaxImport;
using testing_support::readFile;

namespace {

using Bytes = std::string;

uint32_t u16(const Bytes& b, std::size_t at) {
    return static_cast<unsigned char>(b.at(at)) | static_cast<unsigned char>(b.at(at + 1)) << 8;
}
uint32_t u32(const Bytes& b, std::size_t at) {
    return u16(b, at) | u16(b, at + 2) << 16;
}

// A plain reader of compound files, for trusted input.
class Compound {
 public:
    explicit Compound(Bytes file) : file_(std::move(file)) {
        shift_ = u16(file_, 30);
        const uint32_t size = 1u << shift_;
        std::vector<uint32_t> fatSectors;
        for (uint32_t i = 0; i < 109 && fatSectors.size() < u32(file_, 44); ++i)
            fatSectors.push_back(u32(file_, 76 + 4 * i));
        for (uint32_t d = u32(file_, 68); fatSectors.size() < u32(file_, 44);) {
            for (uint32_t i = 0; i + 1 < size / 4 && fatSectors.size() < u32(file_, 44); ++i) {
                fatSectors.push_back(u32(file_, sector(d) + 4 * i));
            }
            d = u32(file_, sector(d) + size - 4);
        }
        for (uint32_t s : fatSectors) {
            for (uint32_t i = 0; i < size / 4; ++i) fat_.push_back(u32(file_, sector(s) + 4 * i));
        }
        directory_ = chain(
            u32(file_, 48), fat_, size, [&](uint32_t s) { return sector(s); }, UINT32_MAX);
        const Bytes miniFatBytes = chain(
            u32(file_, 60), fat_, size, [&](uint32_t s) { return sector(s); }, UINT32_MAX);
        for (std::size_t i = 0; i + 4 <= miniFatBytes.size(); i += 4) miniFat_.push_back(u32(miniFatBytes, i));
        miniStream_ = chain(
            u32(directory_, 116), fat_, size, [&](uint32_t s) { return sector(s); }, u32(directory_, 120));
    }

    std::optional<Bytes> stream(const std::string& name) const {
        for (std::size_t at = 0; at + 128 <= directory_.size(); at += 128) {
            if (directory_[at + 66] != 2) continue;
            std::string entryName;
            for (uint32_t i = 0; i < 32 && u16(directory_, at + 2 * i) != 0; ++i) entryName += directory_[at + 2 * i];
            if (strcasecmp(entryName.c_str(), name.c_str()) != 0) continue;
            const uint32_t size = u32(directory_, at + 120);
            if (size < 4096) {
                return chain(
                    u32(directory_, at + 116), miniFat_, 64, [](uint32_t s) { return s * 64; }, size, &miniStream_);
            }
            return chain(
                u32(directory_, at + 116), fat_, 1u << shift_, [&](uint32_t s) { return sector(s); }, size);
        }
        return std::nullopt;
    }

 private:
    std::size_t sector(uint32_t s) const { return (static_cast<std::size_t>(s) + 1) << shift_; }

    template <class Place>
    Bytes chain(uint32_t first, const std::vector<uint32_t>& table, uint32_t unit, Place place, uint32_t size,
                const Bytes* source = nullptr) const {
        const Bytes& from = source ? *source : file_;
        Bytes out;
        for (uint32_t s = first; s < table.size() && out.size() < size; s = table[s]) {
            out += from.substr(place(s), unit);
        }
        if (out.size() > size) out.resize(size);
        return out;
    }

    Bytes file_;
    uint32_t shift_;
    std::vector<uint32_t> fat_, miniFat_;
    Bytes directory_, miniStream_;
};

struct Chunk {
    uint32_t id, position, length;  // length counts the 6 header bytes
    bool container;
    uint32_t end() const { return position + length; }
    uint32_t data() const { return position + 6; }
};

std::vector<Chunk> children(const Bytes& s, uint32_t from, uint32_t end) {
    std::vector<Chunk> out;
    while (from + 6 <= end) {
        const uint32_t raw = u32(s, from + 2);
        const Chunk c{u16(s, from), from, raw & 0x7FFFFFFFu, (raw & 0x80000000u) != 0};
        if (c.length < 6 || c.end() > end) break;
        out.push_back(c);
        from = c.end();
    }
    return out;
}

std::string narrow(const Bytes& s, const Chunk& c) {
    std::string text;
    for (uint32_t at = c.data(); at + 2 <= c.end(); at += 2) text += s[at];
    return text;
}

std::vector<int32_t> list(const Bytes& s, const Chunk& c) {
    std::vector<int32_t> out;
    for (uint32_t at = c.data(); at + 4 <= c.end(); at += 4) out.push_back(static_cast<int32_t>(u32(s, at)));
    return out;
}

struct ClassInfo {
    std::string name;
    uint32_t a = 0, b = 0;
    bool hasId = false;
};

std::vector<ClassInfo> readClasses(const Bytes& d) {
    std::vector<ClassInfo> classes;
    for (const Chunk& entry : children(d, 0, static_cast<uint32_t>(d.size()))) {
        if (!entry.container) continue;
        std::optional<ClassInfo> info;
        for (const Chunk& part : children(d, entry.data(), entry.end())) {
            if (part.id != 0x2042 && part.id != 0x2060) continue;
            if (!info) info.emplace();
            if (part.id == 0x2042) {
                info->name = narrow(d, part).c_str();  // the name ends at a zero unit
            } else if (part.length - 6 >= 12) {
                info->a = u32(d, part.data() + 4);
                info->b = u32(d, part.data() + 8);
                info->hasId = true;
            }
        }
        if (info) classes.push_back(*info);
    }
    return classes;
}

const std::map<std::pair<uint32_t, uint32_t>, int> PrimitiveKinds = {
    {{0x10, 0}, 1},
    {{0x11, 0}, 2},
    {{0x12, 0}, 3},
    {{0x20, 0}, 4},
    {{0xA86C23DD, 0}, 6},
    {{0, 0x7F9E}, 7},
    {{0x7B21, 0}, 8},
    {{0x76BF318A, 0x4BF37B10}, 9},
    {{0x63705FAC, 0x5C1F553F}, 10},
    {{0xF21C5E23, 0}, 11},
    {{0x1AD73F40, 0x48EA0F97}, 12},
    {{0x210E642A, 0x22F11EF8}, 13},
    {{0x130B141B, 0x04B35AFE}, 14},
    {{0x49BF599F, 0x35F945AB}, 15},
    {{0x7B9A546E, 0x21A446A1}, 17},
    {{0x1070, 0}, 40},
};

// What the file says a node becomes, after the rules of the node, mesh,
// primitive and derived-object readers.
struct Expected {
    int nodes = 0;
    std::vector<std::string> names;
    int meshes = 0;  // nodes whose object carries vertices
    std::optional<int> sceneObject;
};

class SceneFile {
 public:
    SceneFile(const Bytes& scene, std::vector<ClassInfo> classes) : s_(scene), classes_(std::move(classes)) {
        const std::vector<Chunk> top = children(s_, 0, static_cast<uint32_t>(s_.size()));
        if (!top.empty()) objects_ = children(s_, top[0].data(), top[0].end());
    }

    Expected expected() const {
        Expected e;
        int nodeClass = -1, sceneClass = -1;
        for (std::size_t i = 0; i < classes_.size(); ++i) {
            if (strcasecmp(classes_[i].name.c_str(), "Node") == 0) nodeClass = static_cast<int>(i);
            if (strcasecmp(classes_[i].name.c_str(), "Scene") == 0) sceneClass = static_cast<int>(i);
        }
        for (std::size_t i = objects_.size(); i-- > 0 && sceneClass >= 0;) {
            if (static_cast<int>(objects_[i].id) == sceneClass) {
                e.sceneObject = static_cast<int>(i);
                break;
            }
        }
        for (const Chunk& object : objects_) {
            if (nodeClass < 0 || static_cast<int>(object.id) != nodeClass) continue;
            ++e.nodes;
            std::optional<std::vector<int32_t>> refs, sparse;
            std::optional<std::string> name;
            for (const Chunk& c : children(s_, object.data(), object.end())) {
                if (c.id == 0x0962 && c.length > 6) name = narrow(s_, c).c_str();  // up to a zero unit
                if (c.id == 0x2034) refs = list(s_, c);
                if (c.id == 0x2035) sparse = list(s_, c);
            }
            if (name) e.names.push_back(*name);
            if (nodeVertices(refs ? *refs : sparse.value_or(std::vector<int32_t>{})) > 0) ++e.meshes;
        }
        return e;
    }

 private:
    const ClassInfo* classOf(int32_t ref) const {
        if (ref < 0 || static_cast<std::size_t>(ref) >= objects_.size()) return nullptr;
        const uint32_t index = objects_[ref].id;
        return index < classes_.size() && classes_[index].hasId ? &classes_[index] : nullptr;
    }
    bool isMesh(const ClassInfo* c) const { return c && c->a == 0xE44F10B3u && c->b == 0; }
    bool isPrimitive(const ClassInfo* c) const { return c && PrimitiveKinds.count({c->a, c->b}); }

    std::vector<int32_t> lastList(int32_t ref) const {
        std::vector<int32_t> out;
        for (const Chunk& c : children(s_, objects_[ref].data(), objects_[ref].end())) {
            if (c.id == 0x2034) out = list(s_, c);
        }
        return out;
    }
    bool primitiveMade(int32_t ref) const {
        for (int32_t r : lastList(ref)) {
            const ClassInfo* c = classOf(r);
            if (c && c->a == 8 && c->b == 0) return true;
        }
        return false;
    }
    // Vertices of a mesh object: -1 when it has no mesh container, else the
    // count of the last vertex chunk that fits (0 when none does).
    int meshVertices(int32_t ref, int previous) const {
        int vertices = -1;
        for (const Chunk& mesh : children(s_, objects_[ref].data(), objects_[ref].end())) {
            if (mesh.id != 0x08FE) continue;
            if (vertices < 0) vertices = previous;
            for (const Chunk& c : children(s_, mesh.data(), mesh.end())) {
                if (c.id != 0x0914 || c.length - 6 < 4) continue;
                const auto n = static_cast<int32_t>(u32(s_, c.data()));
                if (n > 0 && static_cast<uint32_t>(n) <= (c.length - 10) / 12) vertices = n;
            }
        }
        return vertices;
    }

    // Vertices that the node's object hands over; 0 for none.
    int nodeVertices(const std::vector<int32_t>& refs) const {
        enum class Kind { None, Mesh, Primitive } kind = Kind::None;
        int vertices = 0;
        for (int32_t r : refs) {
            if (r < 0 || static_cast<std::size_t>(r) >= objects_.size()) continue;
            const uint32_t index = objects_[r].id;
            if (index < classes_.size()) {
                const ClassInfo* c = classOf(r);
                if (isMesh(c)) {
                    const int v = meshVertices(r, 0);
                    if (v >= 0) std::tie(kind, vertices) = std::make_pair(Kind::Mesh, v);
                } else if (isPrimitive(c) && primitiveMade(r)) {
                    std::tie(kind, vertices) = std::make_pair(Kind::Primitive, 0);
                }
            } else if (index == 0x2032) {
                if (kind == Kind::None) kind = Kind::Mesh;
                const std::vector<int32_t> base = lastList(r);
                for (std::size_t i = base.size(); i-- > 0;) {
                    const ClassInfo* c = classOf(base[i]);
                    if (isMesh(c) && kind != Kind::Primitive) {  // a primitive's host node keeps its own shape
                        const int v = meshVertices(base[i], kind == Kind::Mesh ? vertices : 0);
                        if (v >= 0) std::tie(kind, vertices) = std::make_pair(Kind::Mesh, v);
                    } else if (isPrimitive(c)) {
                        kind = primitiveMade(base[i]) ? Kind::Primitive : Kind::None;
                        vertices = 0;
                    }
                }
            }
        }
        return kind == Kind::Mesh ? vertices : 0;
    }

    const Bytes& s_;
    std::vector<ClassInfo> classes_;
    std::vector<Chunk> objects_;
};

fs::path corpusFolder() {
    return fs::path(MAXASE_SAMPLES_DIR) / "max";
}

std::vector<fs::path> corpusFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(corpusFolder())) {
        if (entry.path().extension() == ".max") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The chunks that the structure viewer shows of a stream: the top chunk and
// every chunk inside it down to the viewer's depth bound. A length is cut to
// its container's end, and one below 6 ends the walk of its container.
std::size_t shownChunks(const Bytes& s) {
    struct Walk {
        uint32_t at, end, depth;
    };
    const auto size = static_cast<uint32_t>(s.size());
    auto lengthAt = [&](uint32_t at, uint32_t end) {
        return at + 6 <= end ? std::min(u32(s, at + 2) & 0x7FFFFFFFu, end - at) : 0u;
    };
    auto isContainer = [&](uint32_t at) { return (u32(s, at + 2) & 0x80000000u) != 0; };
    const uint32_t topLength = lengthAt(0, size);
    if (topLength < 6) return 0;
    std::size_t shown = 1;
    std::vector<Walk> walks;
    if (isContainer(0)) walks.push_back({6, topLength, 1});
    while (!walks.empty()) {
        Walk& w = walks.back();
        const uint32_t length = lengthAt(w.at, w.end);
        if (length < 6) {
            walks.pop_back();
            continue;
        }
        ++shown;
        const Walk inner{w.at + 6, w.at + length, w.depth + 1};
        w.at += length;
        if (isContainer(inner.at - 6) && inner.depth <= MaxViewerDepth) walks.push_back(inner);
    }
    return shown;
}

}  // namespace

TEST(MaxCorpus, EveryFileImportsAndMatchesItsOwnCounts) {
    if (!fs::is_directory(corpusFolder())) {
        if (MAXASE_REQUIRE_SAMPLES) FAIL() << "the MAX corpus is required: " << corpusFolder();
        GTEST_SKIP() << "no MAX corpus at " << corpusFolder();
    }
    const std::vector<fs::path> files = corpusFiles();
    ASSERT_FALSE(files.empty());

    int checked = 0, compressed = 0, longLengths = 0, other = 0;
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        const int heap = PlatformHeapBlocksInUse();
        const int global = PlatformGlobalBlocksInUse();
        MaxImport import;
        const int32_t result = import.run(path.string());
        EXPECT_EQ(PlatformHeapBlocksInUse(), heap);
        EXPECT_EQ(PlatformGlobalBlocksInUse(), global);
        EXPECT_EQ(import.host().outstandingHelpers(), 0);

        const Compound document(readFile(path.string()));
        const std::optional<Bytes> scene = document.stream("Scene");
        if (!scene) {
            EXPECT_EQ(result, 0) << "no Scene stream";
            ++other;
            continue;
        }
        EXPECT_EQ(result, 1);
        if (scene->size() >= 2 && static_cast<unsigned char>((*scene)[0]) == 0x1F &&
            static_cast<unsigned char>((*scene)[1]) == 0x8B) {
            ++compressed;
            continue;
        }
        if (scene->size() < 6 || u32(*scene, 2) == 0) {
            ++longLengths;
            EXPECT_TRUE(import.scene().nodes().empty());
            continue;
        }
        std::optional<Bytes> directory;
        for (const char* name : {"ClassDirectory", "ClassDirectory2", "ClassDirectory3"}) {
            if (!directory) directory = document.stream(name);
        }
        const Expected expected = SceneFile(*scene, readClasses(directory.value_or(Bytes()))).expected();

        int withMaterial = 0, meshes = 0;
        std::vector<std::string> names;
        for (const refhost::NodeData* node : import.scene().nodes()) {
            withMaterial += node->properties.count(NodeMaterial) ? 1 : 0;
            // A primitive's mesh is the host's own, built from its parameters.
            meshes += node->kind != refhost::NodeKind::Primitive && !node->vertices.empty() ? 1 : 0;
            if (node->name) names.push_back(*node->name);
        }
        std::vector<std::string> expectedNames = expected.names;
        std::sort(names.begin(), names.end());
        std::sort(expectedNames.begin(), expectedNames.end());
        EXPECT_EQ(withMaterial, expected.nodes) << "every node reaches the host with its material";
        EXPECT_EQ(names, expectedNames);
        EXPECT_EQ(meshes, expected.meshes);
        const std::vector<std::string> log = import.messages(MessageSceneLog);
        ASSERT_FALSE(log.empty());
        char first[64];
        std::snprintf(first, sizeof first, "SCENE CLASS %x", expected.sceneObject.value_or(-1));
        EXPECT_EQ(log[0], expected.sceneObject ? first : "MAX: SCENE CLASS not found");
        std::printf("  %-42s %4d nodes %4d meshes\n", path.filename().string().c_str(), expected.nodes,
                    expected.meshes);
        ++checked;
    }
    std::printf(
        "MAX corpus: %zu files, %d checked against their own counts, %d compressed, %d with 64-bit lengths, "
        "%d without a Scene stream\n",
        files.size(), checked, compressed, longLengths, other);
    EXPECT_GT(checked, 0);
    EXPECT_EQ(checked + compressed + longLengths + other, static_cast<int>(files.size()));
}

TEST(MaxCorpus, EveryFileShowsItsStructure) {
    if (!fs::is_directory(corpusFolder())) {
        if (MAXASE_REQUIRE_SAMPLES) FAIL() << "the MAX corpus is required: " << corpusFolder();
        GTEST_SKIP() << "no MAX corpus at " << corpusFolder();
    }
    const std::vector<fs::path> files = corpusFiles();
    ASSERT_FALSE(files.empty());
    std::size_t items = 0;
    int shown = 0;
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        const int heap = PlatformHeapBlocksInUse();
        testing_support::DebugImport import;
        import.run(path.string());
        EXPECT_EQ(PlatformHeapBlocksInUse(), heap);

        const Compound document(readFile(path.string()));
        const std::optional<Bytes> scene = document.stream("Scene");
        PlatformWindowInfo window;
        if (!scene) {
            EXPECT_FALSE(import.window(window)) << "the file did not open: no viewer";
            continue;
        }
        ASSERT_TRUE(import.window(window));
        const std::vector<testing_support::ViewerItem> tree = import.items();
        for (const testing_support::ViewerItem& i : tree) ASSERT_LE(i.text.size(), TreeItemTextLength) << i.text;
        EXPECT_EQ(import.messages(MessageNotice).at(0), "MAX file format in laboratory testing");

        std::optional<Bytes> directory;
        for (const char* name : {"ClassDirectory", "ClassDirectory2", "ClassDirectory3"}) {
            if (!directory) directory = document.stream(name);
        }
        std::size_t chunkItems = tree.size();
        if (directory) {
            ASSERT_FALSE(tree.empty());
            EXPECT_EQ(tree[0].text, "CLASSES");
            const std::size_t classes = testing_support::childTexts(tree, 0).size();
            chunkItems -= 1 + classes;
            if (scene->size() >= 2 && static_cast<unsigned char>((*scene)[0]) != 0x1F) {
                EXPECT_EQ(classes, readClasses(*directory).size());
            }
        }
        EXPECT_EQ(chunkItems, shownChunks(*scene));
        items += tree.size();
        ++shown;
    }
    std::printf("MAX corpus: %d structure trees, %zu items\n", shown, items);
    EXPECT_GT(shown, 0);
}
