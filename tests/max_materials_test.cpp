// MAX materials end to end: Standard and Multi/Sub-Object materials written
// in the layout of each version by the test writer, imported through
// MAXImport, and what the host's nodes and faces then hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "max/asset_table.h"
#include "max/materials.h"
#include "platform/heap.h"
#include "support/material_writer.h"
#include "support/max_import.h"
#include "support/temp_files.h"

using namespace testing_support;

namespace {

const std::vector<float> Triangle{0, 0, 0, 1, 0, 0, 0, 1, 0};
constexpr uint32_t IdShift = 16;
constexpr ClassId RaytraceClass{0x27190EE6u, 0x736E23B1u};

Face faceWithId(uint32_t id, uint32_t edges = 7) {
    return {0, 1, 2, edges | id << IdShift};
}

// The node's reference list: transform, object, nothing, material.
std::vector<int32_t> nodeRefs(int object, int material) {
    return {-1, object, -1, material};
}

const refhost::MaterialData* materialOf(const refhost::Scene& scene, uint32_t value) {
    const int index = scene.materialIndexOf(value);
    return index < 0 ? nullptr : scene.materials()[static_cast<std::size_t>(index)];
}

const refhost::MaterialData* nodeMaterial(const refhost::Scene& scene, const refhost::NodeData& node) {
    const auto it = node.properties.find(NodeMaterial);
    return it == node.properties.end() ? nullptr : materialOf(scene, it->second);
}

const refhost::MaterialData* faceMaterialOf(const refhost::Scene& scene, const HostFace& face) {
    const uint32_t value = face.material;
    return materialOf(scene, value);
}

const refhost::MaterialValue* property(const refhost::MaterialData& m, int32_t id) {
    const refhost::MaterialValue* found = nullptr;
    for (const auto& [key, value] : m.properties) {
        if (key == id) found = &value;
    }
    return found;
}

std::optional<Colour> colour(const refhost::MaterialData& m, int32_t id) {
    const refhost::MaterialValue* v = property(m, id);
    if (!v) return std::nullopt;
    return Colour{v->colour.x, v->colour.y, v->colour.z};
}

std::optional<std::string> bitmapOf(const refhost::MaterialData& m) {
    const refhost::MaterialValue* v = property(m, MaterialDiffuseMap);
    if (!v) return std::nullopt;
    return v->text;
}

int faceFlags(const HostFace& face) {
    return face.flags;
}

struct Imported {
    MaxImport import;
    int32_t result = 0;
    const refhost::Scene& scene() { return import.scene(); }
};

void importFile(Imported& imported, const std::string& name, const MaxWriter& w,
                std::vector<CompoundStream> extra = {}) {
    imported.result = imported.import.run(writeTempFile(name, w.build({}, std::move(extra))));
}

struct LayoutCase {
    const char* label;
    MaterialLayout layout;
    BitmapRoute route;
    const char* assetStream;
};

class StandardLayouts : public ::testing::TestWithParam<LayoutCase> {};

}  // namespace

TEST_P(StandardLayouts, NodeAndFacesGetTheMaterialWithColoursBitmapAndSides) {
    const LayoutCase& c = GetParam();
    MaxWriter w;
    AssetTable assets;
    StandardMaterial m;
    m.name = "Brick";
    m.ambient = {0.1f, 0.2f, 0.3f};
    m.diffuse = {0.4f, 0.5f, 0.6f};
    m.specular = {0.7f, 0.8f, 0.9f};
    m.twoSided = true;
    m.route = c.route;
    m.bitmap = "C:\\maps\\brick.jpg";
    const int material = standardMaterial(w, c.layout, m, assets);
    const int mesh = w.mesh(Triangle, {faceWithId(0), faceWithId(3, 1)});
    w.node("Wall", -1, nodeRefs(mesh, material), 0x0000FF);
    Imported imported;
    importFile(imported, std::string("standard_") + c.label + ".max", w, {{c.assetStream, assets.bytes()}});
    ASSERT_EQ(imported.result, 1);

    ASSERT_EQ(imported.scene().materials().size(), 1u) << "no default material besides";
    const refhost::MaterialData& made = *imported.scene().materials()[0];
    EXPECT_EQ(made.name, "Brick");
    EXPECT_EQ(colour(made, MaterialAmbient), m.ambient);
    EXPECT_EQ(colour(made, MaterialDiffuse), m.diffuse);
    EXPECT_EQ(colour(made, MaterialSpecular), m.specular);
    EXPECT_EQ(bitmapOf(made), m.bitmap);

    const refhost::NodeData* node = imported.import.node("Wall");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(nodeMaterial(imported.scene(), *node), &made);
    ASSERT_EQ(node->faces.size(), 2u);
    // Files before R3 keep their two-sidedness elsewhere: it is not read.
    const int twoSided = c.layout == MaterialLayout::PreR3 ? 0 : FaceTwoSided;
    for (const HostFace& face : node->faces) EXPECT_EQ(faceMaterialOf(imported.scene(), face), &made);
    EXPECT_EQ(faceFlags(node->faces[0]), 7 | twoSided);
    EXPECT_EQ(faceFlags(node->faces[1]), 1 | twoSided);
}

INSTANTIATE_TEST_SUITE_P(
    EveryVersion, StandardLayouts,
    ::testing::Values(LayoutCase{"preR3", MaterialLayout::PreR3, BitmapRoute::Direct, "FileAssetMetaData3"},
                      LayoutCase{"r3", MaterialLayout::R3, BitmapRoute::Direct, "FileAssetMetaData3"},
                      LayoutCase{"v9", MaterialLayout::V9, BitmapRoute::Direct, "FileAssetMetaData3"},
                      LayoutCase{"v12_assets", MaterialLayout::V9, BitmapRoute::Asset, "FileAssetMetaData2"},
                      LayoutCase{"v18_direct", MaterialLayout::V18, BitmapRoute::Direct, "FileAssetMetaData3"},
                      LayoutCase{"v18_assets", MaterialLayout::V18, BitmapRoute::Asset, "FileAssetMetaData3"}),
    [](const ::testing::TestParamInfo<LayoutCase>& p) { return std::string(p.param.label); });

TEST(MaxMaterials, OneHostMaterialPerFileMaterialHoweverManyNodesShareIt) {
    MaxWriter w;
    AssetTable assets;
    StandardMaterial m;
    m.name = "Shared";
    const int material = standardMaterial(w, MaterialLayout::V9, m, assets);
    const int first = w.mesh(Triangle, {faceWithId(0)});
    const int second = w.mesh(Triangle, {faceWithId(0)});
    w.node("First", -1, nodeRefs(first, material));
    w.node("Second", -1, nodeRefs(second, material));
    w.node("Third", -1, nodeRefs(-1, material));
    Imported imported;
    importFile(imported, "shared.max", w);
    ASSERT_EQ(imported.result, 1);
    ASSERT_EQ(imported.scene().materials().size(), 1u);
    const refhost::MaterialData* shared = imported.scene().materials()[0];
    for (const char* name : {"First", "Second", "Third"}) {
        const refhost::NodeData* node = imported.import.node(name);
        ASSERT_NE(node, nullptr) << name;
        EXPECT_EQ(nodeMaterial(imported.scene(), *node), shared) << name;
    }
    EXPECT_EQ(faceMaterialOf(imported.scene(), imported.import.node("Second")->faces[0]), shared);
}

class MultiLayouts : public ::testing::TestWithParam<MaterialLayout> {};

// Slot 0 and 1 hold Standard materials, slot 2 nothing, slot 3 a class
// that is not read.
TEST_P(MultiLayouts, FacesGetTheSubMaterialTheirIdNamesElseTheMultiMaterial) {
    const MaterialLayout layout = GetParam();
    MaxWriter w;
    AssetTable assets;
    StandardMaterial red;
    red.name = "Red";
    red.diffuse = {1, 0, 0};
    red.route = BitmapRoute::Direct;
    red.bitmap = "red.png";
    StandardMaterial green;
    green.name = "Green";
    green.diffuse = {0, 1, 0};
    green.twoSided = true;
    const int redMaterial = standardMaterial(w, layout, red, assets);
    const int greenMaterial = standardMaterial(w, layout, green, assets);
    const int raytrace = w.addObject(static_cast<uint16_t>(w.classFor("Raytrace", RaytraceClass)), {});
    const int multi = multiMaterial(w, layout, "Patchwork", {redMaterial, greenMaterial, -1, raytrace});
    const int mesh = w.mesh(Triangle, {faceWithId(0), faceWithId(1), faceWithId(2), faceWithId(3), faceWithId(7)});
    w.node("Quilt", -1, nodeRefs(mesh, multi));
    Imported imported;
    importFile(imported, "multi.max", w);
    ASSERT_EQ(imported.result, 1);

    const refhost::Scene& scene = imported.scene();
    ASSERT_EQ(scene.materials().size(), 3u) << "the multi material and its two Standard ones";
    const refhost::NodeData* node = imported.import.node("Quilt");
    ASSERT_NE(node, nullptr);
    const refhost::MaterialData* multiMade = nodeMaterial(scene, *node);
    ASSERT_NE(multiMade, nullptr);
    EXPECT_EQ(multiMade->name, "Patchwork");
    EXPECT_EQ(colour(*multiMade, MaterialDiffuse), red.diffuse) << "the first sub-material's colour";
    EXPECT_FALSE(bitmapOf(*multiMade));

    ASSERT_EQ(node->faces.size(), 5u);
    const refhost::MaterialData* byFace[5];
    for (std::size_t i = 0; i < 5; ++i) byFace[i] = faceMaterialOf(scene, node->faces[i]);
    ASSERT_NE(byFace[0], nullptr);
    EXPECT_EQ(byFace[0]->name, "Red");
    EXPECT_EQ(bitmapOf(*byFace[0]), "red.png");
    ASSERT_NE(byFace[1], nullptr);
    EXPECT_EQ(byFace[1]->name, "Green");
    EXPECT_EQ(byFace[2], multiMade) << "an empty slot";
    EXPECT_EQ(byFace[3], multiMade) << "a slot of a class that is not read";
    EXPECT_EQ(byFace[4], multiMade) << "an id beyond the slots is not reduced";
    EXPECT_EQ(faceFlags(node->faces[0]), 7);
    EXPECT_EQ(faceFlags(node->faces[1]), layout == MaterialLayout::PreR3 ? 7 : 7 | FaceTwoSided);
}

INSTANTIATE_TEST_SUITE_P(SubMaterialsFromSlot0OrAfterTheirParameterBlock, MultiLayouts,
                         ::testing::Values(MaterialLayout::PreR3, MaterialLayout::R3, MaterialLayout::V18));

TEST(MaxMaterials, OtherClassesAndNodesWithoutMaterialKeepTheDefaultMaterial) {
    MaxWriter w;
    const int raytrace = w.addObject(static_cast<uint16_t>(w.classFor("Raytrace", RaytraceClass)), {});
    const int glass = w.mesh(Triangle, {faceWithId(2)});
    const int plain = w.mesh(Triangle, {faceWithId(4)});
    w.node("Glass", -1, nodeRefs(glass, raytrace), 0x00FF00);
    w.node("Plain", -1, {-1, plain}, 0xFF0000);
    Imported imported;
    importFile(imported, "defaults.max", w);
    ASSERT_EQ(imported.result, 1);
    ASSERT_EQ(imported.scene().materials().size(), 2u);
    for (const auto& [name, expected] :
         {std::pair<const char*, Colour>{"Glass", {0, 1, 0}}, std::pair<const char*, Colour>{"Plain", {0, 0, 1}}}) {
        const refhost::NodeData* node = imported.import.node(name);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(imported.import.materialName(*node), std::string("DefMat for ") + name);
        const refhost::MaterialData* m = nodeMaterial(imported.scene(), *node);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(colour(*m, MaterialDiffuse), expected);
        EXPECT_EQ(m->properties.size(), 1u) << "the colour only";
    }
    const uint32_t glassId = imported.import.node("Glass")->faces[0].material;
    const uint32_t plainId = imported.import.node("Plain")->faces[0].material;
    EXPECT_EQ(glassId, 2u) << "faces keep their material id";
    EXPECT_EQ(plainId, 4u);
}

// Multi materials that hold each other: A's slot 0 is B, whose slot 0 is A
// again. The loop ends where it closes; each is made once.
TEST(MaxMaterials, MaterialsThatHoldEachOtherAreMadeOnce) {
    MaxWriter w;
    AssetTable assets;
    // B comes after A in the file, so A names B by the index it will have.
    const int a = multiMaterial(w, MaterialLayout::PreR3, "A", {w.objectCount() + 1});
    const int b = multiMaterial(w, MaterialLayout::PreR3, "B", {a});
    ASSERT_EQ(b, a + 1);
    const int mesh = w.mesh(Triangle, {faceWithId(0)});
    w.node("Loop", -1, nodeRefs(mesh, a));
    w.node("Other", -1, nodeRefs(-1, b));
    Imported imported;
    importFile(imported, "loop.max", w);
    ASSERT_EQ(imported.result, 1);
    const refhost::Scene& scene = imported.scene();
    ASSERT_EQ(scene.materials().size(), 2u);
    const refhost::NodeData* loop = imported.import.node("Loop");
    ASSERT_NE(loop, nullptr);
    const refhost::MaterialData* viaFace = faceMaterialOf(scene, loop->faces[0]);
    ASSERT_NE(viaFace, nullptr);
    EXPECT_EQ(viaFace->name, "B");
    EXPECT_EQ(nodeMaterial(scene, *imported.import.node("Other")), viaFace);
}

TEST(MaxMaterials, NestingStopsAtItsLimitAndSlotsAtTheirs) {
    MaxWriter w;
    AssetTable assets;
    StandardMaterial inner;
    inner.name = "Inner";
    int top = standardMaterial(w, MaterialLayout::V9, inner, assets);
    const uint32_t levels = MaxMaterialNesting + 3;
    for (uint32_t i = 0; i < levels; ++i) top = multiMaterial(w, MaterialLayout::V9, "Level", {top});
    w.node("Deep", -1, nodeRefs(-1, top));

    StandardMaterial far;
    far.name = "Far";
    std::vector<int32_t> slots(MaxSubMaterialSlots + 6, -1);
    slots.back() = standardMaterial(w, MaterialLayout::V9, far, assets);
    const int wide = multiMaterial(w, MaterialLayout::V9, "Wide", slots);
    const int mesh = w.mesh(Triangle, {faceWithId(MaxSubMaterialSlots + 5)});
    w.node("Wide", -1, nodeRefs(mesh, wide));

    Imported imported;
    importFile(imported, "limits.max", w);
    ASSERT_EQ(imported.result, 1);
    std::size_t levelsMade = 0, widesMade = 0;
    for (const refhost::MaterialData* m : imported.scene().materials()) {
        EXPECT_NE(m->name, "Inner") << "beyond the nesting limit";
        EXPECT_NE(m->name, "Far") << "beyond the slot limit";
        levelsMade += m->name == "Level" ? 1 : 0;
        widesMade += m->name == "Wide" ? 1 : 0;
    }
    EXPECT_EQ(levelsMade, MaxMaterialNesting + 1);
    EXPECT_EQ(widesMade, 1u);
    const refhost::NodeData* node = imported.import.node("Wide");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(faceMaterialOf(imported.scene(), node->faces[0]), nodeMaterial(imported.scene(), *node));
}

// A bitmap whose asset is missing from the table, or whose table is cut
// short, names no file; the material keeps its colours. So does a
// parameter entry too short for its colour.
TEST(MaxMaterials, DamagedAssetTablesAndShortEntriesLoseOnlyWhatTheyHeld) {
    for (const bool cut : {false, true}) {
        SCOPED_TRACE(cut ? "table cut inside the path" : "identifier not in the table");
        MaxWriter w;
        AssetTable assets;
        StandardMaterial m;
        m.name = "Lost";
        m.diffuse = {0.25f, 0.5f, 0.75f};
        m.route = BitmapRoute::Asset;
        m.bitmap = "C:\\lost\\texture.png";
        const int material = standardMaterial(w, MaterialLayout::V18, m, assets);
        w.node("Node", -1, nodeRefs(-1, material));
        AssetTable other(0x10);
        other.add("unrelated.png");
        Bytes table = cut ? assets.bytes() : other.bytes();
        if (cut) table.resize(16 + 4 + 14 + 4 + 10);
        Imported imported;
        importFile(imported, "assets.max", w, {{"FileAssetMetaData3", table}});
        ASSERT_EQ(imported.result, 1);
        ASSERT_EQ(imported.scene().materials().size(), 1u);
        const refhost::MaterialData& made = *imported.scene().materials()[0];
        EXPECT_FALSE(bitmapOf(made));
        EXPECT_EQ(colour(made, MaterialDiffuse), m.diffuse);
    }

    MaxWriter w;
    const Bytes shortValue{0, 0, 0x80, 0x3F};  // one float where a colour belongs
    const int block =
        w.addObject(static_cast<uint16_t>(w.classFor("ParamBlock2", ParamBlock2Class)),
                    {paramEntry(MaterialLayout::V9, 0, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
                     Chunk::data(0x000E, Bytes{1, 0, 2, 0, 0, 0}), paramEntry(MaterialLayout::V9, 1, shortValue)});
    Bytes refs;
    appendInt32(refs, block);
    const int shader = w.addObject(static_cast<uint16_t>(w.classFor("Blinn", BlinnClass)), {Chunk::data(0x2034, refs)});
    Bytes materialRefs;
    for (int32_t r : {-1, -1, shader}) appendInt32(materialRefs, r);
    const int material = w.addObject(static_cast<uint16_t>(w.classFor("Standard", StandardMaterialClass)),
                                     {Chunk::data(0x2034, materialRefs)});
    w.node("Short", -1, nodeRefs(-1, material));
    Imported imported;
    importFile(imported, "short.max", w);
    ASSERT_EQ(imported.result, 1);
    ASSERT_EQ(imported.scene().materials().size(), 1u);
    const refhost::MaterialData& made = *imported.scene().materials()[0];
    EXPECT_FALSE(made.name) << "a material without a name chunk is not named";
    EXPECT_EQ(colour(made, MaterialAmbient), (Colour{0, 0, 0}));
    EXPECT_FALSE(colour(made, MaterialDiffuse));
}

TEST(MaxAssetTable, PathsAreFoundByIdentifierOnlyWithinTheTable) {
    AssetTable assets;
    const auto first = assets.add("first.png");
    const auto second = assets.add("D:\\second.tga");
    const auto third = assets.add("third.dds");
    const Bytes table = assets.bytes();
    auto find = [](const Bytes& bytes, const std::array<unsigned char, 16>& id) -> std::optional<std::string> {
        AssetIndex index{};
        auto* copy = static_cast<unsigned char*>(heapAlloc(bytes.size() + 1));
        std::copy(bytes.begin(), bytes.end(), copy);
        EXPECT_TRUE(indexAssets(index, copy, static_cast<uint32_t>(bytes.size())));
        char* path = findAssetPath(index, id.data());
        releaseAssets(index);
        if (!path) return std::nullopt;
        std::string text(path);
        heapFree(path);
        return text;
    };
    EXPECT_EQ(find(table, first), "first.png");
    EXPECT_EQ(find(table, second), "D:\\second.tga");
    EXPECT_EQ(find(table, third), "third.dds");
    EXPECT_FALSE(find(Bytes(table.begin(), table.end() - 1), third)) << "the last terminator cut";
    EXPECT_EQ(find(Bytes(table.begin(), table.end() - 1), second), "D:\\second.tga") << "records before it stay";
    Bytes huge = table;
    huge[16] = huge[17] = huge[18] = huge[19] = 0xFF;  // the first string's unit count
    EXPECT_FALSE(find(huge, second)) << "nothing after a record that does not fit";
    EXPECT_FALSE(find({}, first));
    AssetIndex none{};
    EXPECT_EQ(findAssetPath(none, first.data()), nullptr);

    AssetTable twice;
    const auto id = twice.add("");
    Bytes doubled = twice.bytes();
    AssetTable again;
    again.add("second spelling.png");  // the same seed: the same identifier
    const Bytes more = again.bytes();
    doubled.insert(doubled.end(), more.begin(), more.end());
    EXPECT_FALSE(find(doubled, id)) << "the first record of an identifier counts, and an empty path names no file";
}
