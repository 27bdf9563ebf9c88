// Editable polys and texture coordinates, in files made by the test writer
// and imported through MAXImport: dead elements, polygons of every degree
// cut along their stored diagonals, optional polygon fields, map channels of
// polys and meshes, damaged records, and objects the importer does not read.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "platform/control.h"
#include "support/imported_max.h"
#include "support/max_writer.h"
#include "support/temp_files.h"

using namespace testing_support;

namespace {

constexpr double Pi = 3.14159265358979323846;

// Copies of a host face's fields: the record is packed.
struct FaceFields {
    int flags;
    uint32_t material;
    int a, b, c, ta, tb, tc;
};
FaceFields fieldsOf(const HostFace& f) {
    return {f.flags, f.material, f.a, f.b, f.c, f.ta, f.tb, f.tc};
}

std::vector<FaceFields> facesOf(const refhost::NodeData& node) {
    std::vector<FaceFields> faces;
    for (const HostFace& f : node.faces) faces.push_back(fieldsOf(f));
    return faces;
}

// A regular polygon of `degree` corners on the unit circle, counter-clockwise.
std::vector<PolyVertex> regularPolygon(uint32_t degree) {
    std::vector<PolyVertex> corners;
    for (uint32_t i = 0; i < degree; ++i) {
        const double a = 2 * Pi * i / degree;
        corners.emplace_back(static_cast<float>(std::cos(a)), static_cast<float>(std::sin(a)), 0.0f);
    }
    return corners;
}

// Zigzag diagonals (1, d-1), (1, d-2), (2, d-2), (2, d-3), ...: no fan from
// any corner. The pairs are written high corner first every other time.
std::vector<uint32_t> zigzag(uint32_t degree) {
    std::vector<uint32_t> pairs;
    uint32_t low = 1, high = degree - 1;
    for (uint32_t n = 0; pairs.size() / 2 + 3 < degree; ++n) {
        if (n % 2 == 0) {
            pairs.insert(pairs.end(), {high, low});
            --high;
        } else {
            pairs.insert(pairs.end(), {low, high});
            ++low;
        }
    }
    return pairs;
}

double signedArea(const Point3& a, const Point3& b, const Point3& c) {
    return 0.5 * ((b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y));
}

std::pair<uint32_t, uint32_t> edge(int p, int q) {
    return {static_cast<uint32_t>(std::min(p, q)), static_cast<uint32_t>(std::max(p, q))};
}

}  // namespace

TEST(MaxPolys, PolygonsOfDegree3To12AreCutAlongTheirStoredDiagonals) {
    MaxWriter w;
    for (uint32_t degree = 3; degree <= 12; ++degree) {
        Polygon p;
        for (uint32_t i = 0; i < degree; ++i) p.corners.push_back(i);
        p.mask = degree > 3 ? 0x20 : 0;
        p.diagonals = zigzag(degree);
        w.node("Degree" + std::to_string(degree), -1, {w.poly(regularPolygon(degree), {p})});
    }
    ImportedMax i;
    run(i, w, "degrees.max");

    for (uint32_t degree = 3; degree <= 12; ++degree) {
        SCOPED_TRACE(degree);
        const refhost::NodeData& node = i.node("Degree" + std::to_string(degree));
        ASSERT_EQ(node.vertices.size(), degree);
        const std::vector<FaceFields> faces = facesOf(node);
        ASSERT_EQ(faces.size(), degree - 2);
        const std::vector<uint32_t> diagonals = zigzag(degree);
        std::set<std::pair<uint32_t, uint32_t>> stored;
        for (std::size_t d = 0; d < diagonals.size(); d += 2) stored.insert(edge(diagonals[d], diagonals[d + 1]));

        // Each boundary edge once and visible, each stored diagonal twice and
        // hidden, nothing else; every triangle turns as the polygon does, and
        // together they cover it.
        std::map<std::pair<uint32_t, uint32_t>, int> uses;
        double area = 0;
        for (const FaceFields& f : faces) {
            const int corners[3] = {f.a, f.b, f.c};
            const double a = signedArea(node.vertices[f.a], node.vertices[f.b], node.vertices[f.c]);
            EXPECT_GT(a, 0) << "winding kept";
            area += a;
            for (int k = 0; k < 3; ++k) {
                const auto e = edge(corners[k], corners[(k + 1) % 3]);
                ++uses[e];
                const bool boundary = e.second - e.first == 1 || (e.first == 0 && e.second == degree - 1);
                const bool visible = (f.flags >> k & 1) != 0;
                EXPECT_EQ(visible, boundary) << "edge " << e.first << "-" << e.second;
            }
        }
        EXPECT_NEAR(area, 0.5 * degree * std::sin(2 * Pi / degree), 1e-5);
        for (const auto& [e, count] : uses) {
            const bool boundary = e.second - e.first == 1 || (e.first == 0 && e.second == degree - 1);
            EXPECT_EQ(count, boundary ? 1 : 2) << "edge " << e.first << "-" << e.second;
            EXPECT_TRUE(boundary || stored.count(e)) << "edge " << e.first << "-" << e.second << " is no diagonal";
        }
    }
}

TEST(MaxPolys, DiagonalsThatDoNotCutThePolygonGiveWayToEarClipping) {
    MaxWriter w;
    Polygon crossing({0, 1, 2, 3, 4});
    crossing.mask = 0x20;
    crossing.diagonals = {0, 2, 1, 3};  // they cross
    Polygon outside({0, 1, 2, 3});
    outside.mask = 0x20;
    outside.diagonals = {0, 9};  // no corner 9
    w.node("Crossing", -1, {w.poly(regularPolygon(5), {crossing})});
    w.node("Outside", -1, {w.poly(regularPolygon(4), {outside})});
    ImportedMax i;
    run(i, w, "bad_diagonals.max");
    for (const char* name : {"Crossing", "Outside"}) {
        const std::vector<FaceFields> faces = facesOf(i.node(name));
        const uint32_t degree = std::string(name) == "Crossing" ? 5 : 4;
        ASSERT_EQ(faces.size(), degree - 2) << name;
        // The triangles tile the convex polygon: their areas add up to its own.
        const std::vector<PolyVertex> corners = regularPolygon(degree);
        auto area = [&](int a, int b, int c) {
            return 0.5 * ((corners[b].x - corners[a].x) * (corners[c].y - corners[a].y) -
                          (corners[c].x - corners[a].x) * (corners[b].y - corners[a].y));
        };
        double sum = 0, whole = 0;
        for (const FaceFields& f : faces) {
            EXPECT_GT(area(f.a, f.b, f.c), 0) << name << ": the winding is kept";
            sum += area(f.a, f.b, f.c);
        }
        for (uint32_t k = 1; k + 1 < degree; ++k) whole += area(0, static_cast<int>(k), static_cast<int>(k + 1));
        EXPECT_NEAR(sum, whole, 1e-6) << name;
    }
}

TEST(MaxPolys, DeadVerticesAndPolygonsAreLeftOutAndIndicesCompacted) {
    MaxWriter w;
    const std::vector<PolyVertex> vertices{{0, 0, 0}, {9, 9, 9, true}, {1, 0, 0},
                                           {1, 1, 0}, {9, 9, 9, true}, {0, 1, 0}};
    Polygon quad({0, 2, 3, 5});
    quad.mask = 0x20;
    quad.diagonals = {0, 2};
    // The dead polygon's map record keeps its old degree: it is passed over.
    const PolyMap map{1, {0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0}, {{0, 1, 2}, {0, 1, 2}, {0, 1, 2, 3}}};
    w.node("Holes", -1, {w.poly(vertices, {Polygon({0, 2, 3}), deadPolygon(), quad}, {map})});
    ImportedMax i;
    run(i, w, "dead.max");

    const refhost::NodeData& node = i.node("Holes");
    ASSERT_EQ(node.vertices.size(), 4u);
    EXPECT_EQ(node.vertices[1].x, 1.0f);
    EXPECT_EQ(node.vertices[3].y, 1.0f);
    const std::vector<FaceFields> faces = facesOf(node);
    ASSERT_EQ(faces.size(), 3u);
    EXPECT_EQ(std::vector<int>({faces[0].a, faces[0].b, faces[0].c}), std::vector<int>({0, 1, 2}));
    EXPECT_EQ(std::vector<int>({faces[1].a, faces[1].b, faces[1].c}), std::vector<int>({0, 1, 2}));
    EXPECT_EQ(std::vector<int>({faces[2].a, faces[2].b, faces[2].c}), std::vector<int>({0, 2, 3}));
    EXPECT_EQ(std::vector<int>({faces[2].ta, faces[2].tb, faces[2].tc}), std::vector<int>({0, 2, 3}))
        << "the quad takes its own map record, not the dead polygon's";
}

TEST(MaxPolys, OptionalFieldsAreReadInTheirOrderAndMaterialIdsKept) {
    MaxWriter w;
    std::vector<Polygon> polygons;
    const uint16_t masks[] = {0x00, 0x01, 0x08, 0x09, 0x10, 0x19, 0x39, 0x28};
    for (uint16_t m = 0; m < 8; ++m) {
        Polygon p({0, 1, 2, 3});
        p.mask = static_cast<uint16_t>(masks[m] | 0x20);
        p.material = static_cast<uint16_t>(100 + m);
        p.smoothing = 0xFFFFFFFFu;  // read as a material or a degree it would show
        p.flags = 0x100;            // not dead
        p.diagonals = {1, 3};
        polygons.push_back(p);
    }
    Polygon unknown({0, 1, 2});
    unknown.mask = 0x40;  // a field of unknown size: nothing after it can be found
    polygons.push_back(unknown);
    polygons.push_back(Polygon({0, 1, 2}));
    w.node("Fields", -1, {w.poly(regularPolygon(4), polygons)});
    ImportedMax i;
    run(i, w, "fields.max");

    const std::vector<FaceFields> faces = facesOf(i.node("Fields"));
    ASSERT_EQ(faces.size(), 16u) << "two triangles for each quad; none from the unknown field on";
    for (std::size_t m = 0; m < 8; ++m) {
        const uint32_t expected = masks[m] & 0x08 ? 100 + static_cast<uint32_t>(m) : 0;
        EXPECT_EQ(faces[2 * m].material, expected) << "mask " << masks[m];
        EXPECT_EQ(faces[2 * m + 1].material, expected) << "mask " << masks[m];
        EXPECT_EQ(std::vector<int>({faces[2 * m + 1].a, faces[2 * m + 1].b, faces[2 * m + 1].c}),
                  std::vector<int>({1, 2, 3}))
            << "the diagonal 1-3 is read after the other fields, mask " << masks[m];
    }
}

TEST(MaxPolys, MapChannelOneBecomesTextureCoordinatesWithVFlipped) {
    MaxWriter w;
    Polygon quad({0, 1, 2, 3});
    quad.mask = 0x20;
    quad.diagonals = {0, 2};
    const PolyMap other{2, {5, 5, 0}, {{0, 0, 0, 0}, {0, 0, 0}}};
    const PolyMap uv{1, {0, 0.25f, 0, 1, 0.25f, 0, 1, 1, 0, 0, 1, 0, 0.5f, 0.5f, 0}, {{0, 1, 2, 3}, {4, 4, 4}}};
    const PolyMap wrongDegree{1, {0.5f, 0.5f, 0, 0.25f, 0.25f, 0}, {{1, 1, 1}, {1, 1, 1}}};
    w.node("Mapped", -1, {w.poly(regularPolygon(4), {quad, Polygon({0, 1, 2})}, {other, uv})});
    w.node("Mismatched", -1, {w.poly(regularPolygon(4), {quad, Polygon({0, 1, 2})}, {wrongDegree})});
    w.node("Unmapped", -1, {w.poly(regularPolygon(4), {quad}, {other})});
    ImportedMax i;
    run(i, w, "poly_maps.max");

    const refhost::NodeData& mapped = i.node("Mapped");
    ASSERT_EQ(mapped.texVertices.size(), 5u);
    EXPECT_FLOAT_EQ(mapped.texVertices[0].v, 0.75f);
    EXPECT_FLOAT_EQ(mapped.texVertices[2].u, 1.0f);
    EXPECT_FLOAT_EQ(mapped.texVertices[2].v, 0.0f);
    const std::vector<FaceFields> faces = facesOf(mapped);
    ASSERT_EQ(faces.size(), 3u);
    for (std::size_t t = 0; t < 2; ++t) {
        EXPECT_EQ(std::vector<int>({faces[t].ta, faces[t].tb, faces[t].tc}),
                  std::vector<int>({faces[t].a, faces[t].b, faces[t].c}))
            << "the map record's corners, cut as the polygon is";
    }
    EXPECT_EQ(std::vector<int>({faces[2].ta, faces[2].tb, faces[2].tc}), std::vector<int>({4, 4, 4}));

    // A record of another degree names no texture vertex for its polygon: 0.
    const std::vector<FaceFields> mismatched = facesOf(i.node("Mismatched"));
    ASSERT_EQ(mismatched.size(), 3u);
    EXPECT_EQ(std::vector<int>({mismatched[0].ta, mismatched[0].tb, mismatched[0].tc}), std::vector<int>({0, 0, 0}));
    EXPECT_EQ(std::vector<int>({mismatched[2].ta, mismatched[2].tb, mismatched[2].tc}), std::vector<int>({1, 1, 1}))
        << "the next record is still found";
    EXPECT_TRUE(i.node("Unmapped").texVertices.empty());
}

TEST(MaxPolys, DamagedPolysNeverReadPastTheirData) {
    MaxWriter w;
    Polygon beyond({0, 1, 7});  // no vertex 7
    w.node("Beyond", -1, {w.poly(regularPolygon(3), {beyond})});
    // Counts far beyond the data: a vertex count, a polygon degree, a map record's degree.
    Bytes vertices, polygons, records;
    appendInt32(vertices, 0x7FFFFFFF);
    appendInt32(vertices, 0);
    appendInt32(polygons, 1);
    appendInt32(polygons, 0x7FFFFFFF);
    appendInt32(records, 0x40000000);
    const int huge =
        w.addObject(static_cast<uint16_t>(w.classFor("Editable Poly", EditablePolyClass)),
                    {Chunk::container(0x08FE, {Chunk::data(0x0100, vertices), Chunk::data(0x011A, polygons)})});
    w.node("Huge", -1, {huge});
    Bytes triangle;
    appendInt32(triangle, 1);
    for (int v : {3, 0, 1, 2, 0}) appendInt32(triangle, v);
    triangle.resize(triangle.size() - 2);  // the mask is its last 2 bytes
    Bytes points;
    appendInt32(points, 3);
    for (int k = 0; k < 3; ++k) {
        appendInt32(points, 0);
        for (int c = 0; c < 3; ++c) appendFloat(points, static_cast<float>(k == c));
    }
    Bytes uvw;
    appendInt32(uvw, 1);
    for (int c = 0; c < 3; ++c) appendFloat(uvw, 0.5f);
    const int badMap =
        w.addObject(static_cast<uint16_t>(w.classFor("Editable Poly", EditablePolyClass)),
                    {Chunk::container(
                        0x08FE, {Chunk::data(0x0100, points), Chunk::data(0x011A, triangle), Chunk::int32s(0x0124, {1}),
                                 Chunk::data(0x0128, uvw), Chunk::data(0x012B, records)})});
    w.node("BadMap", -1, {badMap});
    const int heap = PlatformHeapBlocksInUse();
    {
        ImportedMax i;
        run(i, w, "damaged_poly.max");
        const std::vector<FaceFields> beyondFaces = facesOf(i.node("Beyond"));
        ASSERT_EQ(beyondFaces.size(), 1u);
        EXPECT_EQ(beyondFaces[0].c, 0) << "an index past the vertices becomes 0";
        const std::vector<std::string> log = i.import.messages(MessageSceneLog);
        EXPECT_EQ(std::count(log.begin(), log.end(), "Beyond: 1 face indices beyond the 3 vertices set to 0"), 1);
        EXPECT_TRUE(i.node("Huge").vertices.empty());
        EXPECT_TRUE(i.node("Huge").faces.empty());
        const refhost::NodeData& bad = i.node("BadMap");
        EXPECT_EQ(bad.vertices.size(), 3u);
        EXPECT_EQ(bad.faces.size(), 1u);
        const std::vector<FaceFields> badFaces = facesOf(bad);
        ASSERT_EQ(badFaces.size(), 1u);
        EXPECT_EQ(std::vector<int>({badFaces[0].ta, badFaces[0].tb, badFaces[0].tc}), std::vector<int>({0, 0, 0}));
    }
    EXPECT_EQ(PlatformHeapBlocksInUse(), heap);
}

TEST(MaxMeshMaps, ChannelOneOrTheOldChunksBecomeTextureCoordinates) {
    MaxWriter w;
    const std::vector<float> square{0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1, 0};
    const std::vector<Face> faces{{0, 1, 2, 7u | 3u << 16}, {0, 2, 3, 7u | 5u << 16}};
    auto counted = [](uint16_t id, std::vector<float> values, uint32_t stride) {
        Bytes b;
        appendInt32(b, static_cast<int32_t>(values.size() / stride));
        for (float v : values) appendFloat(b, v);
        return Chunk::data(id, b);
    };
    auto indices = [](uint16_t id, std::vector<int32_t> values, bool withCount) {
        Bytes b;
        if (withCount) appendInt32(b, static_cast<int32_t>(values.size() / 3));
        for (int32_t v : values) appendInt32(b, v);
        return Chunk::data(id, b);
    };
    const std::vector<float> uvw{0, 0.25f, 0, 1, 0.25f, 0, 1, 1, 0, 0, 1, 0};
    w.node(
        "Channels", -1,
        {w.meshWith(square, faces,
                    {Chunk::int32s(0x0959, {0}), counted(0x2394, {9, 9, 9}, 3),
                     indices(0x2396, {0, 0, 0, 0, 0, 0}, true), Chunk::int32s(0x0959, {1}), Chunk::int32s(0x2398, {1}),
                     counted(0x2394, uvw, 3), indices(0x2396, {0, 1, 2, 0, 2, 3}, true)})});
    w.node("Old", -1,
           {w.meshWith(square, faces, {counted(0x0916, uvw, 3), indices(0x0918, {3, 2, 1, 0, 0, 9}, false)})});
    w.node("Miscounted", -1,
           {w.meshWith(square, faces,
                       {Chunk::int32s(0x0959, {1}), counted(0x2394, uvw, 3), indices(0x2396, {0, 1, 2}, true)})});
    ImportedMax i;
    run(i, w, "mesh_maps.max");

    const refhost::NodeData& channels = i.node("Channels");
    ASSERT_EQ(channels.texVertices.size(), 4u) << "channel 1, not channel 0";
    EXPECT_FLOAT_EQ(channels.texVertices[0].v, 0.75f);
    EXPECT_FLOAT_EQ(channels.texVertices[2].v, 0.0f);
    std::vector<FaceFields> f = facesOf(channels);
    ASSERT_EQ(f.size(), 2u);
    EXPECT_EQ(std::vector<int>({f[1].ta, f[1].tb, f[1].tc}), std::vector<int>({0, 2, 3}));
    EXPECT_EQ(f[0].material, 3u) << "the material id of face word 4";
    EXPECT_EQ(f[1].material, 5u);
    EXPECT_EQ(f[0].flags, 7) << "only the edge bits stay in the flags";

    const refhost::NodeData& old = i.node("Old");
    ASSERT_EQ(old.texVertices.size(), 4u);
    f = facesOf(old);
    EXPECT_EQ(std::vector<int>({f[0].ta, f[0].tb, f[0].tc}), std::vector<int>({3, 2, 1}));
    EXPECT_EQ(std::vector<int>({f[1].ta, f[1].tb, f[1].tc}), std::vector<int>({0, 0, 0})) << "index 9 becomes 0";

    EXPECT_TRUE(i.node("Miscounted").texVertices.empty()) << "texture faces for other faces are not used";
    EXPECT_EQ(i.node("Miscounted").faces.size(), 2u);
}

TEST(MaxObjects, UnsupportedObjectsLeaveTheNodeEmptyAndAreNamedOnce) {
    MaxWriter w;
    const ClassId boolean{0x5A06, 0x63FA7A02};  // a compound object
    const int first = w.controller("Boolean", boolean, {});
    const int second = w.controller("Boolean", boolean, {});
    w.node("BooleanA", -1, {w.transform({}), first});
    w.node("BooleanB", -1, {w.transform({}), w.derived({second})});
    ImportedMax i;
    run(i, w, "unsupported.max");
    EXPECT_TRUE(i.node("BooleanA").vertices.empty());
    EXPECT_TRUE(i.node("BooleanB").vertices.empty());
    const std::vector<std::string> log = i.import.messages(MessageSceneLog);
    EXPECT_EQ(std::count(log.begin(), log.end(), "Boolean - unsupported"), 1);
}
