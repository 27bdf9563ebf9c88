// Every real MAX file of the corpus goes through MAXImport without a crash,
// hang, leak or contract violation, and is checked against what this test
// finds in the file with readers of its own: a compound-file reader, zlib and
// the `zstd` tool for compressed streams, and a chunk walker that requires
// every stream the importer reads to end exactly where its last chunk does.
// The imported nodes are counted against the file's own summary, named, and
// their objects and top-level translations checked against what the notes'
// slot roles (0 transform, 1 object) say the reference lists name.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>

#include "frame/module_state.h"
#include "host/app.h"
#include "max/chunk_reader.h"
#include "max/class_directory.h"
#include "max/class_registry.h"
#include "max/compound_document.h"
#include "max/max.h"
#include "max/objects.h"
#include "max/references.h"
#include "max/scene.h"
#include "max/stream_decoding.h"
#include "max/viewer/tree_items.h"
#include "max/viewer/viewer.h"
#include "platform/control.h"
#include "platform/heap.h"
#include "support/max_import.h"
#include "support/stream_codecs.h"
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
uint64_t u64(const Bytes& b, std::size_t at) {
    return u32(b, at) | uint64_t{u32(b, at + 4)} << 32;
}
float f32(const Bytes& b, std::size_t at) {
    const uint32_t bits = u32(b, at);
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

testing_support::Bytes toBytes(const Bytes& s) {
    return testing_support::Bytes(s.begin(), s.end());
}
Bytes fromBytes(const testing_support::Bytes& b) {
    return Bytes(b.begin(), b.end());
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

// A chunk stream as the file stores it and as it reads once decoded.
struct ChunkStream {
    std::string coding;  // "plain", "gzip" or "zstd"
    Bytes stored;
    Bytes bytes;
};

// The stream by its name or its compressed name, decoded by zlib or the zstd
// tool, with the wrapper of the zstd form taken off as the notes describe.
std::optional<ChunkStream> chunkStream(const Compound& document, const std::string& name, bool scene) {
    if (std::optional<Bytes> plain = document.stream(name)) {
        if (plain->size() >= 2 && static_cast<unsigned char>((*plain)[0]) == 0x1F &&
            static_cast<unsigned char>((*plain)[1]) == 0x8B) {
            return ChunkStream{"gzip", *plain, fromBytes(testing_support::gunzipBytes(toBytes(*plain)))};
        }
        return ChunkStream{"plain", *plain, *plain};
    }
    const std::optional<Bytes> stored = document.stream(name + "_Compressed");
    if (!stored) return std::nullopt;
    EXPECT_EQ(stored->substr(0, 2), "\xFF\xFF");
    bool refused = false;
    Bytes content = fromBytes(testing_support::zstdDecoded(toBytes(stored->substr(2)), &refused));
    EXPECT_FALSE(refused) << name;
    if (scene) {
        EXPECT_EQ(u32(content, 2), 1u) << "the streamed scene container";
        Bytes length(8, '\0');
        const uint64_t value = content.size() | uint64_t{1} << 63;
        for (int i = 0; i < 8; ++i) length[i] = static_cast<char>(value >> (8 * i));
        content = content.substr(0, 2) + Bytes(4, '\0') + length + content.substr(14);
    } else {
        EXPECT_EQ(u32(content, 2), 0xFFFFFFFFu) << "the wrapper";
        content = content.substr(6);
    }
    return ChunkStream{"zstd", *stored, content};
}

struct Chunk {
    uint32_t id, position, length, header;  // length counts the header
    bool container;
    uint32_t end() const { return position + length; }
    uint32_t data() const { return position + header; }
    uint32_t dataSize() const { return length - header; }
};

// The chunks from `from` to `end`; exact is cleared when they do not end
// exactly there.
std::vector<Chunk> children(const Bytes& s, uint32_t from, uint32_t end, bool* exact = nullptr) {
    std::vector<Chunk> out;
    while (from + 6 <= end) {
        const uint32_t short32 = u32(s, from + 2);
        Chunk c{u16(s, from), from, 0, 6, (short32 & 0x80000000u) != 0};
        uint64_t total = short32 & 0x7FFFFFFFu;
        if (short32 == 0) {
            if (from + 14 > end) break;
            const uint64_t long64 = u64(s, from + 6);
            c.header = 14;
            c.container = (long64 >> 63) != 0;
            total = long64 & ~(uint64_t{1} << 63);
        }
        if (total < c.header || total > end - from) break;
        c.length = static_cast<uint32_t>(total);
        out.push_back(c);
        from = c.end();
    }
    if (exact && from != end) *exact = false;
    return out;
}

// Walks every container of the stream; counts the chunks by header size.
bool walksExactly(const Bytes& s, std::map<uint32_t, int>& headers) {
    bool exact = true;
    std::vector<std::pair<uint32_t, uint32_t>> pending{{0, static_cast<uint32_t>(s.size())}};
    while (!pending.empty()) {
        const auto [from, end] = pending.back();
        pending.pop_back();
        for (const Chunk& c : children(s, from, end, &exact)) {
            ++headers[c.header];
            if (c.container) pending.push_back({c.data(), c.end()});
        }
    }
    return exact;
}

std::string narrow(const Bytes& s, const Chunk& c) {
    std::string text;
    for (uint32_t at = c.data(); at + 2 <= c.end(); at += 2) text += s[at];
    return text;
}

// A reference list, the sparse form made dense.
std::vector<int32_t> refList(const Bytes& s, const Chunk& c) {
    std::vector<int32_t> out;
    if (c.id == 0x2034) {
        for (uint32_t at = c.data(); at + 4 <= c.end(); at += 4) out.push_back(static_cast<int32_t>(u32(s, at)));
    } else if (c.dataSize() >= 4) {
        out.assign(u32(s, c.data()), -1);
        for (uint32_t at = c.data() + 4; at + 8 <= c.end(); at += 8)
            out.at(u32(s, at)) = static_cast<int32_t>(u32(s, at + 4));
    }
    return out;
}

// A class of the directory as this test reads it, and what the importer's
// class table knows it as.
struct ClassRecord {
    std::string name;
    ClassKey key{};
    const ClassInfo* known = nullptr;
    bool hasId = false;
};

std::vector<ClassRecord> readClasses(const Bytes& d) {
    std::vector<ClassRecord> classes;
    for (const Chunk& entry : children(d, 0, static_cast<uint32_t>(d.size()))) {
        if (!entry.container) continue;
        std::optional<ClassRecord> info;
        for (const Chunk& part : children(d, entry.data(), entry.end())) {
            if (part.id != 0x2042 && part.id != 0x2060) continue;
            if (!info) info.emplace();
            if (part.id == 0x2042) {
                info->name = narrow(d, part).c_str();  // the name ends at a zero unit
            } else if (part.dataSize() >= 12) {
                info->key.a = u32(d, part.data() + 4);
                info->key.b = u32(d, part.data() + 8);
                info->key.superclass = part.dataSize() >= 16 ? u32(d, part.data() + 12) : 0;
                info->known = lookUpClass(info->key);
                info->hasId = true;
            }
        }
        if (info) classes.push_back(*info);
    }
    return classes;
}

// The "Total: N" of the scene totals in a DocumentSummaryInformation
// property set: the strings of its document parts (property 13, a vector of
// strings in the set's code page).
std::optional<int> summaryTotal(const Bytes& set) {
    if (set.size() < 48 || u16(set, 0) != 0xFFFE) return std::nullopt;
    const uint32_t section = u32(set, 44);
    const uint32_t count = u32(set, section + 4);
    uint32_t codePage = 0;
    std::optional<uint32_t> parts;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t id = u32(set, section + 8 + 8 * i);
        const uint32_t at = section + u32(set, section + 12 + 8 * i);
        if (id == 1) codePage = u16(set, at + 4);
        if (id == 13 && u32(set, at) == 0x101E) parts = at + 4;
    }
    if (!parts) return std::nullopt;
    uint32_t at = *parts + 4;
    for (uint32_t i = 0, n = u32(set, *parts); i < n; ++i) {
        const uint32_t size = u32(set, at);
        std::string text;
        for (uint32_t k = 0; k < size; k += codePage == 1200 ? 2 : 1) {
            if (set[at + 4 + k] == 0) break;
            text += set[at + 4 + k];
        }
        if (text.rfind("Total: ", 0) == 0) return std::stoi(text.substr(7));
        at += 4 + (size + 3) / 4 * 4;
    }
    return std::nullopt;
}

constexpr std::size_t TransformSlot = 0;
constexpr std::size_t ObjectSlot = 1;
constexpr std::size_t MaterialSlot = 3;

using NodeLists = std::map<int32_t, std::vector<int32_t>>;  // by reference index

// What the file says its nodes become.
struct Expected {
    int nodes = 0;
    std::vector<std::string> names;
    int meshes = 0;  // nodes whose object carries vertices
    std::optional<int> sceneObject;
    std::map<std::string, Point3> translations;  // top-level nodes with a Bezier Position, by name
    NodeLists lists;                             // each node's reference slots
    int sparseLists = 0;
    int fileMaterials = 0;  // nodes whose material is Standard or Multi/Sub-Object
};

class SceneFile {
 public:
    SceneFile(const Bytes& scene, std::vector<ClassRecord> classes) : s_(scene), classes_(std::move(classes)) {
        const std::vector<Chunk> top = children(s_, 0, static_cast<uint32_t>(s_.size()));
        if (!top.empty()) objects_ = children(s_, top[0].data(), top[0].end());
    }

    std::size_t objectCount() const { return objects_.size(); }

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
        for (std::size_t index = 0; index < objects_.size(); ++index) {
            const Chunk& object = objects_[index];
            if (nodeClass < 0 || static_cast<int>(object.id) != nodeClass) continue;
            ++e.nodes;
            std::optional<std::vector<int32_t>> refs, sparse;
            std::optional<std::string> name;
            int32_t parent = 0;
            for (const Chunk& c : children(s_, object.data(), object.end())) {
                if (c.id == 0x0962 && c.dataSize() > 0) name = narrow(s_, c).c_str();  // up to a zero unit
                if (c.id == 0x0960 && c.dataSize() >= 4) parent = static_cast<int32_t>(u32(s_, c.data()));
                if (c.id == 0x2034) refs = refList(s_, c);
                if (c.id == 0x2035) sparse = refList(s_, c);
            }
            const std::vector<int32_t> slots = refs ? *refs : sparse.value_or(std::vector<int32_t>{});
            e.lists[static_cast<int32_t>(index)] = slots;
            e.sparseLists += !refs && sparse ? 1 : 0;
            if (name) e.names.push_back(*name);
            if (slots.size() > ObjectSlot && objectVertices(slots[ObjectSlot]) > 0) ++e.meshes;
            if (slots.size() > MaterialSlot && isMaterial(classOf(slots[MaterialSlot]))) ++e.fileMaterials;
            const bool topLevel = parent < 0 || static_cast<std::size_t>(parent) >= objects_.size() ||
                                  static_cast<int>(objects_[parent].id) != nodeClass;
            if (name && topLevel && slots.size() > TransformSlot) {
                if (std::optional<Point3> p = bezierPosition(slots[TransformSlot])) e.translations[*name] = *p;
            }
        }
        return e;
    }

 private:
    const ClassRecord* classOf(int32_t ref) const {
        if (ref < 0 || static_cast<std::size_t>(ref) >= objects_.size()) return nullptr;
        const uint32_t index = objects_[ref].id;
        return index < classes_.size() && classes_[index].hasId ? &classes_[index] : nullptr;
    }
    bool is(const ClassRecord* c, MaxClass id) const { return c && c->known && c->known->id == id; }
    // A plane's grid has vertices whenever the plane has its parameter block.
    int planeVertices(int32_t ref) const {
        for (int32_t r : lastList(ref)) {
            if (is(classOf(r), MaxClass::ParamBlock2)) return 1;
        }
        return 0;
    }
    bool isMaterial(const ClassRecord* c) const { return c && c->known && c->known->role == ClassRole::Material; }

    std::vector<Chunk> parts(int32_t ref) const { return children(s_, objects_[ref].data(), objects_[ref].end()); }
    std::vector<int32_t> lastList(int32_t ref) const {
        std::vector<int32_t> out;
        for (const Chunk& c : parts(ref)) {
            if (c.id == 0x2034 || c.id == 0x2035) out = refList(s_, c);
        }
        return out;
    }
    // Vertices of a mesh object: -1 when it has no mesh container, else the
    // count of the last vertex chunk that fits (0 when none does).
    int meshVertices(int32_t ref) const {
        int vertices = -1;
        for (const Chunk& mesh : parts(ref)) {
            if (mesh.id != 0x08FE) continue;
            if (vertices < 0) vertices = 0;
            for (const Chunk& c : children(s_, mesh.data(), mesh.end())) {
                if (c.id != 0x0914 || c.dataSize() < 4) continue;
                const auto n = static_cast<int32_t>(u32(s_, c.data()));
                if (n > 0 && static_cast<uint32_t>(n) <= (c.dataSize() - 4) / 12) vertices = n;
            }
        }
        return vertices;
    }

    // Live vertices of a poly object: those whose record has no dead flag
    // (0x2); -1 when it has no poly container.
    int polyVertices(int32_t ref) const {
        int vertices = -1;
        for (const Chunk& poly : parts(ref)) {
            if (poly.id != 0x08FE) continue;
            if (vertices < 0) vertices = 0;
            for (const Chunk& c : children(s_, poly.data(), poly.end())) {
                if (c.id != 0x0100 || c.dataSize() < 4) continue;
                const uint32_t n = u32(s_, c.data());
                int live = 0;
                uint32_t at = c.data() + 4;
                for (uint32_t i = 0; i < n && at + 4 <= c.end(); ++i) {
                    const bool dead = (u32(s_, at) & 2) != 0;
                    at += dead ? 4 : 16;
                    live += dead ? 0 : 1;
                }
                if (at <= c.end()) vertices = live;
            }
        }
        return vertices;
    }

    // Vertices that the object of a node's slot 1 hands over; 0 for none
    // (a primitive's mesh is the host's). A derived object hands over its
    // base's, down nested derived objects.
    int objectVertices(int32_t ref, uint32_t depth = 0) const {
        if (ref < 0 || static_cast<std::size_t>(ref) >= objects_.size()) return 0;
        if (objects_[ref].id == 0x2032) {
            const std::vector<int32_t> stack = lastList(ref);
            return stack.empty() || depth >= MaxDerivedDepth ? 0 : objectVertices(stack.back(), depth + 1);
        }
        const ClassRecord* c = classOf(ref);
        if (is(c, MaxClass::EditableMesh)) return std::max(meshVertices(ref), 0);
        if (is(c, MaxClass::EditablePoly)) return std::max(polyVertices(ref), 0);
        if (is(c, MaxClass::Plane)) return planeVertices(ref);
        return 0;
    }

    // The value of the Bezier Position under a PRS controller, when it has
    // exactly one.
    std::optional<Point3> bezierPosition(int32_t transform) const {
        if (!is(classOf(transform), MaxClass::PositionRotationScale)) return std::nullopt;
        const std::vector<int32_t> subs = lastList(transform);
        if (subs.empty() || !is(classOf(subs[0]), MaxClass::BezierPosition)) return std::nullopt;
        std::vector<Point3> values;
        for (const Chunk& c : parts(subs[0])) {
            if (c.id == 0x2503 && c.dataSize() >= 12) {
                values.push_back({f32(s_, c.data()), f32(s_, c.data() + 4), f32(s_, c.data() + 8)});
            }
        }
        if (values.size() != 1) return std::nullopt;
        return values[0];
    }

    const Bytes& s_;
    std::vector<ClassRecord> classes_;
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

// The reference list of every node as the importer's own readers (from the
// unit-test library) hand it to the node reader.
NodeLists importerNodeLists(const std::string& path) {
    refhost::App app;
    hostApp = &app;
    MaxFile file;
    openMaxFile(file, path.c_str());
    NodeLists lists;
    if (file.stream) {
        readClassDirectory(file);
        buildRefTable(file);
        findSceneObject(file);
        for (int32_t i = 0; i < file.refCount; ++i) {
            ChunkHeader node{};
            if (file.refs[i].classIndex != file.nodeClassIndex || !readChunkAt(file, file.refs[i].position, node)) {
                continue;
            }
            std::optional<std::vector<int32_t>> dense, sparse;
            for (ChunkHeader c{}; nextChunk(file, chunkEnd(node), c); skipChunk(file, c)) {
                RefList list;
                list.read(file, c);
                std::vector<int32_t> slots;
                for (uint32_t k = 0; k < list.count(); ++k) slots.push_back(list.at(k));
                if (c.id == 0x2034) dense = slots;
                if (c.id == 0x2035) sparse = slots;
            }
            lists[i] = dense ? *dense : sparse.value_or(std::vector<int32_t>{});
        }
    }
    closeMaxFile(file);
    hostApp = nullptr;
    return lists;
}

std::optional<ChunkStream> classDirectory(const Compound& document) {
    for (const char* name : {"ClassDirectory", "ClassDirectory2", "ClassDirectory3"}) {
        if (std::optional<ChunkStream> stream = chunkStream(document, name, false)) return stream;
    }
    return std::nullopt;
}

// The chunks that the structure viewer shows of a stream: the top chunk and
// every chunk inside it down to the viewer's depth bound.
std::size_t shownChunks(const Bytes& s) {
    const std::vector<Chunk> top = children(s, 0, static_cast<uint32_t>(s.size()));
    if (top.empty()) return 0;
    std::size_t shown = 1;
    std::vector<std::pair<Chunk, uint32_t>> pending;
    if (top[0].container) pending.push_back({top[0], 1});
    while (!pending.empty()) {
        const auto [container, depth] = pending.back();
        pending.pop_back();
        for (const Chunk& c : children(s, container.data(), container.end())) {
            ++shown;
            if (c.container && depth + 1 <= MaxViewerDepth) pending.push_back({c, depth + 1});
        }
    }
    return shown;
}

}  // namespace

TEST(MaxCorpus, EveryFileImportsWalksToItsEndsAndMatchesItsOwnCounts) {
    if (!fs::is_directory(corpusFolder())) {
        if (MAXASE_REQUIRE_SAMPLES) FAIL() << "the MAX corpus is required: " << corpusFolder();
        GTEST_SKIP() << "no MAX corpus at " << corpusFolder();
    }
    const std::vector<fs::path> files = corpusFiles();
    ASSERT_FALSE(files.empty());

    int walked = 0, nodesReached = 0, summaries = 0, translations = 0, sparseLists = 0, fileMaterials = 0;
    std::map<std::string, int> codings;
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.filename().string());
        const int heap = PlatformHeapBlocksInUse();
        const int global = PlatformGlobalBlocksInUse();
        MaxImport import;
        const int32_t result = import.run(path.string());
        EXPECT_EQ(PlatformHeapBlocksInUse(), heap);
        EXPECT_EQ(PlatformGlobalBlocksInUse(), global);
        EXPECT_EQ(import.host().outstandingHelpers(), 0);
        EXPECT_EQ(result, 1);
        EXPECT_TRUE(import.messages(MessageNotice).empty());

        const Compound document(readFile(path.string()));
        const std::optional<ChunkStream> scene = chunkStream(document, "Scene", true);
        const std::optional<ChunkStream> directory = classDirectory(document);
        ASSERT_TRUE(scene && directory);
        ++codings[scene->coding];
        std::map<uint32_t, int> sceneHeaders, directoryHeaders;
        const bool sceneWalks = walksExactly(scene->bytes, sceneHeaders);
        const bool directoryWalks = walksExactly(directory->bytes, directoryHeaders);
        EXPECT_TRUE(sceneWalks) << "the Scene stream ends inside a chunk";
        EXPECT_TRUE(directoryWalks) << "the class directory ends inside a chunk";
        walked += sceneWalks && directoryWalks ? 1 : 0;

        // The plug-in's decoding agrees with zlib's and the tool's.
        if (scene->coding != "plain") {
            for (const auto& [stream, role] :
                 {std::pair{&*scene, StreamRole::Scene}, {&*directory, StreamRole::Other}}) {
                OutputBuffer out;
                out.limit = decodedLimit(static_cast<uint32_t>(stream->stored.size()));
                EXPECT_EQ(decodeStreamBytes(reinterpret_cast<const unsigned char*>(stream->stored.data()),
                                            static_cast<uint32_t>(stream->stored.size()), role, out),
                          DecodeStatus::Ok);
                EXPECT_TRUE(Bytes(out.data, out.data + out.size) == stream->bytes);
                releaseOutput(out);
            }
        }

        const SceneFile sceneFile(scene->bytes, readClasses(directory->bytes));
        const Expected expected = sceneFile.expected();
        const auto nodes = import.scene().nodes();
        EXPECT_TRUE(importerNodeLists(path.string()) == expected.lists)
            << "every reference once, at its slot, in every node's list";
        sparseLists += expected.sparseLists;
        EXPECT_EQ(static_cast<int>(nodes.size()), expected.nodes);
        if (const std::optional<Bytes> set = document.stream("\x05"
                                                             "DocumentSummaryInformation")) {
            if (const std::optional<int> total = summaryTotal(*set)) {
                EXPECT_EQ(static_cast<int>(nodes.size()), *total) << "the file's own object total";
                ++summaries;
            }
        }
        nodesReached += static_cast<int>(nodes.size());

        int withMaterial = 0, withFileMaterial = 0, meshes = 0;
        std::vector<std::string> names;
        for (const refhost::NodeData* node : nodes) {
            withMaterial += node->properties.count(NodeMaterial) ? 1 : 0;
            const std::string defaultName = "DefMat for " + node->name.value_or("NoName");
            withFileMaterial += import.materialName(*node) != defaultName ? 1 : 0;
            // A primitive's mesh is the host's own, built from its parameters.
            meshes += node->kind != refhost::NodeKind::Primitive && !node->vertices.empty() ? 1 : 0;
            if (node->name) names.push_back(*node->name);
        }
        std::vector<std::string> expectedNames = expected.names;
        std::sort(names.begin(), names.end());
        std::sort(expectedNames.begin(), expectedNames.end());
        EXPECT_EQ(withMaterial, expected.nodes) << "every node reaches the host with its material";
        EXPECT_EQ(withFileMaterial, expected.fileMaterials) << "the Standard and Multi/Sub-Object ones its own";
        fileMaterials += withFileMaterial;
        EXPECT_EQ(names, expectedNames);
        EXPECT_EQ(meshes, expected.meshes) << "the object in slot 1";
        for (const auto& [name, position] : expected.translations) {
            const refhost::NodeData* node = import.node(name);
            ASSERT_NE(node, nullptr) << name;
            const HostMatrix m = node->transform();
            EXPECT_NEAR(m.m[3][0], position.x, 1e-3 * (1 + std::fabs(position.x))) << name;
            EXPECT_NEAR(m.m[3][1], position.y, 1e-3 * (1 + std::fabs(position.y))) << name;
            EXPECT_NEAR(m.m[3][2], position.z, 1e-3 * (1 + std::fabs(position.z))) << name;
            ++translations;
        }
        const std::vector<std::string> log = import.messages(MessageSceneLog);
        ASSERT_FALSE(log.empty());
        char first[64];
        std::snprintf(first, sizeof first, "SCENE CLASS %x", expected.sceneObject.value_or(-1));
        EXPECT_EQ(log[0], expected.sceneObject ? first : "MAX: SCENE CLASS not found");
        std::printf("  %-42s %-5s %3zu nodes %3d meshes %6zu objects, headers: %d of 6 bytes, %d of 14\n",
                    path.filename().string().c_str(), scene->coding.c_str(), nodes.size(), expected.meshes,
                    sceneFile.objectCount(), sceneHeaders[6], sceneHeaders[14]);
    }
    std::printf(
        "MAX corpus: %zu files (%d plain, %d gzip, %d zstd), %d walk to the end of every stream read, %d nodes "
        "reached (%d with a sparse reference list, %d with a material of the file), %d node totals matched against the "
        "file's summary, %d top-level translations checked\n",
        files.size(), codings["plain"], codings["gzip"], codings["zstd"], walked, nodesReached, sparseLists,
        fileMaterials, summaries, translations);
    EXPECT_EQ(walked, static_cast<int>(files.size()));
    EXPECT_GT(summaries, 0);
    EXPECT_GT(translations, 0);
    EXPECT_GT(fileMaterials, 0);
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
        EXPECT_EQ(import.run(path.string()), 1);
        EXPECT_EQ(PlatformHeapBlocksInUse(), heap);

        const Compound document(readFile(path.string()));
        const std::optional<ChunkStream> scene = chunkStream(document, "Scene", true);
        const std::optional<ChunkStream> directory = classDirectory(document);
        ASSERT_TRUE(scene && directory);
        PlatformWindowInfo window;
        ASSERT_TRUE(import.window(window));
        const std::vector<testing_support::ViewerItem> tree = import.items();
        for (const testing_support::ViewerItem& i : tree) ASSERT_LE(i.text.size(), TreeItemTextLength) << i.text;
        EXPECT_EQ(import.messages(MessageNotice).at(0), "MAX file format in laboratory testing");

        ASSERT_FALSE(tree.empty());
        EXPECT_EQ(tree[0].text, "CLASSES");
        const std::size_t classes = testing_support::childTexts(tree, 0).size();
        EXPECT_EQ(classes, readClasses(directory->bytes).size());
        EXPECT_EQ(tree.size() - 1 - classes, shownChunks(scene->bytes));
        // The top chunk shows the size of its data, whatever its header.
        const std::vector<Chunk> top = children(scene->bytes, 0, static_cast<uint32_t>(scene->bytes.size()));
        ASSERT_FALSE(top.empty());
        char topText[64];
        std::snprintf(topText, sizeof topText, "CHUNK 0x%04x Size: %u ", top[0].id, top[0].dataSize());
        EXPECT_EQ(tree[1 + classes].text, topText);
        items += tree.size();
        ++shown;
    }
    std::printf("MAX corpus: %d structure trees, %zu items\n", shown, items);
    EXPECT_EQ(shown, static_cast<int>(files.size()));
}
