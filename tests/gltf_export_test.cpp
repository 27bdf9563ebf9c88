// glTF output of scenes built through the host interfaces, as the importers
// build them: read back and checked against the host's dump and against the
// transforms, keys, materials, cameras and lights that went in.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>

#include "gltf/export.h"
#include "host/dump.h"
#include "host/matrix.h"
#include "support/gltf_reader.h"
#include "support/plugin_harness.h"

namespace {

using Json = nlohmann::json;
using testing_support::LoadedGltf;

constexpr double Pi = 3.14159265358979323846;

LoadedGltf roundTrip(const refhost::Scene& scene, gltf::FileFormat format) {
    const gltf::Document doc = gltf::exportScene(scene, {});
    LoadedGltf loaded;
    std::string error;
    EXPECT_TRUE(testing_support::loadGltf(gltf::encode(doc, format), loaded, error)) << error;
    return loaded;
}

HostMatrix translated(double x, double y, double z) {
    return refhost::matrix::translation({static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)});
}

// A quarter turn about Z, in the host's row-vector form: X goes to Y.
HostMatrix quarterTurnZ() {
    HostMatrix m = refhost::matrix::identity();
    m.m[0][0] = 0;
    m.m[0][1] = 1;
    m.m[1][0] = -1;
    m.m[1][1] = 0;
    return m;
}

HostMeshNode* triangleNode(HostScene& s, const char* name, HostMaterial* material) {
    HostMeshNode* node = s.CreateNode();
    node->SetName(name);
    node->SetVertexCount(3, 0);
    Point3* v = meshVertices(node);
    v[1] = {1, 0, 0};
    v[2] = {0, 1, 0};
    node->SetFaceCount(1, 0);
    HostFace* f = node->GetFace(0);
    f->b = 1;
    f->c = 2;
    f->material = reinterpret_cast<uint32_t>(material);
    return node;
}

// Everything a converted file holds, with a few faults mixed in.
struct Scene {
    refhost::App app;
    refhost::Scene scene{app};
    HostMaterial *red = nullptr, *wire = nullptr;

    Scene() {
        HostScene& s = scene;
        red = s.CreateMaterial();
        red->SetName("Red");
        const Point3 diffuse{1, 0, 0.5f};
        red->SetProperty(MaterialDiffuse, &diffuse);
        const float opacity = 0.5f;
        red->SetProperty(MaterialOpacity, &opacity);
        red->SetProperty(MaterialDiffuseMap, "C:\\maps\\red wood.bmp");
        wire = s.CreateMaterial();
        wire->SetName("Wire");
        const Point3 blue{0, 0, 2};  // out of range: clamped
        wire->SetProperty(MaterialDiffuse, &blue);

        // 0: a mesh, two materials, a bad face, a two-sided face, textured.
        HostMeshNode* mesh = s.CreateNode();
        mesh->SetName("Mesh");
        mesh->SetVertexCount(4, 0);
        Point3* v = meshVertices(mesh);
        v[1] = {1, 0, 0};
        v[2] = {1, 1, 0};
        v[3] = {0, 1, 0};
        mesh->SetTexVertexCount(2, 0);
        meshTexVertices(mesh)[1] = {1, 1};
        mesh->SetFaceCount(4, 0);
        int32_t corners[4][3] = {{0, 1, 2}, {0, 2, 3}, {0, 2, 9}, {1, 1, 1}};
        for (int i = 0; i < 4; ++i) {
            HostFace* f = mesh->GetFace(i);
            f->a = corners[i][0];
            f->b = corners[i][1];
            f->c = corners[i][2];
            f->tb = 1;
            f->tc = 7;  // out of range
        }
        mesh->GetFace(0)->material = reinterpret_cast<uint32_t>(red);
        mesh->GetFace(0)->flags = FaceTwoSided;
        mesh->GetFace(1)->material = 3;  // a material number: the node's material applies
        mesh->SetProperty(NodeMaterial, reinterpret_cast<uint32_t>(wire));
        mesh->SetTransform(&static_cast<const HostMatrix&>(translated(10, 0, 0)));

        // 1: its child, turned and moved in world space.
        HostMeshNode* child = triangleNode(s, "Child", red);
        setNodeParent(child, mesh);
        HostMatrix world = refhost::matrix::multiply(quarterTurnZ(), translated(10, 5, 2));
        child->SetTransform(&world);

        // 2, 3: a camera and its target.
        HostCamera* camera = s.CreateCamera();
        camera->SetName("Camera01");
        camera->SetFov(0.8f);
        HostNode* target = s.CreateTarget();
        target->SetName("Camera01.Target");
        setCameraTarget(camera, target);

        // 4-6: lights.
        HostLight* omni = s.CreateLight();
        omni->SetName("Omni");
        setLightUsesAttenuation(omni, 1);
        setLightAttenuationEnd(omni, 50);
        HostLight* spot = s.CreateLight();
        spot->SetName("Spot");
        setLightType(spot, LightTargetSpot);
        setLightHotspot(spot, 0.6f);
        setLightFalloff(spot, 0.5f);  // narrower than the hotspot
        setLightColor(spot, {0.5f, 2, -1});
        HostLight* sun = s.CreateLight();
        sun->SetName("Sun");
        setLightType(sun, LightDirectional);
        setLightIntensity(sun, std::numeric_limits<float>::quiet_NaN());

        // 7: a shape of two lines, one of a single point.
        HostMeshNode* shape = s.CreateNode();
        shape->SetName("Shape");
        shape->SetVertexCount(3, 0);
        meshVertices(shape)[1] = {1, 1, 1};
        meshVertices(shape)[2] = {std::numeric_limits<float>::quiet_NaN(), 0, 0};
        shape->SetLineCount(2, 0);
        HostLine* line = shape->GetLine(0);
        line->pointCount = 3;
        line->points = static_cast<int32_t*>(shape->AllocNodeMemory(12));
        line->points[1] = 1;
        line->points[2] = 2;
        HostLine* dot = shape->GetLine(1);
        dot->pointCount = 1;
        dot->points = static_cast<int32_t*>(shape->AllocNodeMemory(4));

        // 8: a primitive box; 9: an empty helper; 10, 11: parents of each other.
        HostParamBlock* block = app.CreateParamBlock();
        for (int i = 0; i < 3; ++i) block->SetFloat(i, 2);
        s.CreatePrimitive(PrimitiveBox, block);
        block->Release();
        s.CreateNode()->SetName("Empty");
        HostMeshNode* a = s.CreateNode();
        HostMeshNode* b = s.CreateNode();
        a->SetName("LoopA");
        b->SetName("LoopB");
        setNodeParent(a, b);
        setNodeParent(b, a);
        HostMatrix broken = refhost::matrix::identity();
        broken.m[3][0] = std::numeric_limits<double>::infinity();
        a->SetTransform(&broken);

        // Keys: the child turns twice by a quarter turn, then once round; it moves and grows.
        HostNodeTracks* tracks = s.GetAnimation(1)->GetNodeTracks(child);
        const float quarter[4] = {0, 0, 1, static_cast<float>(Pi / 2)};
        const float round[4] = {0, 0, 1, static_cast<float>(2 * Pi)};
        tracks->AddRotationKey(0)->SetValue(quarter);
        tracks->AddRotationKey(1)->SetValue(quarter);
        tracks->AddRotationKey(2)->SetValue(round);
        const float p0[3] = {0, 0, 0}, p1[3] = {1, 2, 3};
        tracks->AddPositionKey(1)->SetValue(p1);
        tracks->AddPositionKey(0)->SetValue(p0);   // made out of order
        tracks->AddPositionKey(-1)->SetValue(p1);  // before the start
        const float lost[3] = {std::numeric_limits<float>::quiet_NaN(), 0, 0};
        tracks->AddPositionKey(0.5f)->SetValue(lost);  // not a number
        const float s2[3] = {2, 2, 2};
        tracks->AddScaleKey(0.5f)->SetValue(s2);
        tracks->AddScaleKey(0.5f)->SetValue(s2);  // the same time twice
        tracks->AddScaleKey(3);                   // never given a value
    }
};

}  // namespace

TEST(GltfExport, ReadsBackWithTheDumpsCounts) {
    Scene s;
    const auto dump = refhost::dumpScene(s.app, s.scene);
    for (gltf::FileFormat format : {gltf::FileFormat::Gltf, gltf::FileFormat::Glb}) {
        const LoadedGltf g = roundTrip(s.scene, format);
        EXPECT_TRUE(testing_support::matchesDump(g, dump));
        EXPECT_EQ(g.json["asset"]["version"], "2.0");
        EXPECT_EQ(g.json["scenes"][0]["nodes"], Json::array({12}));
        EXPECT_EQ(g.json["nodes"][12]["children"], Json::array({0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}))
            << "top-level nodes, and both nodes of the parent loop, under the root";
        EXPECT_EQ(g.json["nodes"][0]["children"], Json::array({1}));
    }
    const gltf::Document doc = gltf::exportScene(s.scene, {});
    EXPECT_EQ(doc.counts.triangles, 3 + 1 + 12) << "a face without area stays; one out of range does not";
    EXPECT_EQ(doc.counts.lineStrips, 1);
    EXPECT_EQ(doc.counts.cameras, 1);
    EXPECT_EQ(doc.counts.lights, 3);
    const std::string notes = nlohmann::json(doc.notes).dump();
    for (const char* what : {"1 faces with a vertex index out of range", "not numbers", "transforms with values"}) {
        EXPECT_NE(notes.find(what), std::string::npos) << what << " in " << notes;
    }
}

TEST(GltfExport, NodesKeepTheirWorldPlaceUnderTheYUpRoot) {
    Scene s;
    const LoadedGltf g = roundTrip(s.scene, gltf::FileFormat::Gltf);
    // The child's local point (1, 0, 0) is, in the host's Z-up world, at
    // (1, 0, 0) turned to (0, 1, 0), moved by (10, 5, 2): (10, 6, 2); Y up
    // makes that (10, 2, -6).
    const auto p = testing_support::worldPoint(g.json, 1, {1, 0, 0});
    EXPECT_NEAR(p[0], 10, 1e-9);
    EXPECT_NEAR(p[1], 2, 1e-9);
    EXPECT_NEAR(p[2], -6, 1e-9);
    const Json& child = g.json["nodes"][1];
    EXPECT_EQ(child["translation"], Json::array({0.0, 5.0, 2.0})) << "relative to the parent at (10, 0, 0)";
    EXPECT_FALSE(g.json["nodes"][10].contains("translation")) << "a transform that is not finite is the identity";
}

TEST(GltfExport, MeshesSplitByMaterialWithNormalsAndTextureCoordinates) {
    Scene s;
    const LoadedGltf g = roundTrip(s.scene, gltf::FileFormat::Glb);
    const Json& primitives = g.json["meshes"][0]["primitives"];
    ASSERT_EQ(primitives.size(), 2u);
    EXPECT_EQ(primitives[0]["material"], 0) << "the face's own material";
    EXPECT_EQ(primitives[1]["material"], 1) << "a material number falls back to the node's material";
    const auto& attributes = primitives[0]["attributes"];
    const std::vector<double> normals = g.read(attributes["NORMAL"]);
    for (std::size_t i = 0; i < normals.size(); i += 3) {
        EXPECT_NEAR(normals[i + 2], 1, 1e-6) << "a flat face in the XY plane faces +Z";
    }
    const std::vector<double> tex = g.read(attributes["TEXCOORD_0"]);
    EXPECT_EQ(tex.size() / 2, normals.size() / 3);
    for (double t : tex) EXPECT_TRUE(t == 0 || t == 1) << "given, or (0, 0) for an index out of range";

    // The shape: one strip of three points, the point that was not a number at 0.
    const Json& strip = g.json["meshes"][g.json["nodes"][7]["mesh"].get<std::size_t>()]["primitives"];
    ASSERT_EQ(strip.size(), 1u);
    EXPECT_EQ(strip[0]["mode"], 3);
    EXPECT_EQ(g.read(strip[0]["indices"]), (std::vector<double>{0, 1, 2}));
    for (double c : g.read(strip[0]["attributes"]["POSITION"])) EXPECT_TRUE(std::isfinite(c));
}

TEST(GltfExport, SmoothingGroupsShareNormals) {
    refhost::App app;
    refhost::Scene scene(app);
    HostParamBlock* block = app.CreateParamBlock();
    block->SetFloat(0, 5);
    block->SetInt(1, 12);
    block->SetInt(2, 1);
    static_cast<HostScene&>(scene).CreatePrimitive(PrimitiveSphere, block);
    block->SetInt(2, 0);
    static_cast<HostScene&>(scene).CreatePrimitive(PrimitiveSphere, block);
    block->Release();
    const LoadedGltf g = roundTrip(scene, gltf::FileFormat::Gltf);
    const auto smooth = g.read(g.json["meshes"][0]["primitives"][0]["attributes"]["NORMAL"]);
    const auto smoothPositions = g.read(g.json["meshes"][0]["primitives"][0]["attributes"]["POSITION"]);
    const auto faceted = g.read(g.json["meshes"][1]["primitives"][0]["attributes"]["NORMAL"]);
    EXPECT_EQ(smooth.size(), 3u * (5 * 12 + 2)) << "one normal per vertex of a smooth sphere";
    EXPECT_EQ(faceted.size(), 3u * 3 * 2 * 12 * 5) << "three per face of a faceted one";
    for (std::size_t i = 0; i < smooth.size(); i += 3) {
        const double l =
            std::sqrt(smooth[i] * smooth[i] + smooth[i + 1] * smooth[i + 1] + smooth[i + 2] * smooth[i + 2]);
        EXPECT_NEAR(l, 1, 1e-5);
        // A smooth sphere's normal points along its position.
        const double d = (smooth[i] * smoothPositions[i] + smooth[i + 1] * smoothPositions[i + 1] +
                          smooth[i + 2] * smoothPositions[i + 2]) /
                         5;
        EXPECT_GT(d, 0.95);
    }
}

TEST(GltfExport, MaterialsCamerasAndLights) {
    Scene s;
    const LoadedGltf g = roundTrip(s.scene, gltf::FileFormat::Gltf);
    const Json& red = g.json["materials"][0];
    EXPECT_EQ(red["name"], "Red");
    EXPECT_EQ(red["pbrMetallicRoughness"]["baseColorFactor"], Json::array({1.0, 0.0, 0.5, 0.5}));
    EXPECT_EQ(red["alphaMode"], "BLEND");
    EXPECT_EQ(red["doubleSided"], true) << "a two-sided face uses it";
    EXPECT_EQ(g.json["images"][0]["uri"], "red%20wood.bmp") << "the file name of an absolute path";
    EXPECT_EQ(g.json["materials"][1]["pbrMetallicRoughness"]["baseColorFactor"], Json::array({0.0, 0.0, 1.0, 1.0}));
    EXPECT_FALSE(g.json["materials"][1].contains("doubleSided"));

    EXPECT_EQ(g.json["nodes"][2]["camera"], 0);
    EXPECT_NEAR(g.json["cameras"][0]["perspective"]["yfov"].get<double>(), 0.8, 1e-6) << "radians, as the host has it";

    const Json& lights = g.json["extensions"]["KHR_lights_punctual"]["lights"];
    ASSERT_EQ(lights.size(), 3u);
    EXPECT_EQ(g.json["extensionsUsed"], Json::array({"KHR_lights_punctual"}));
    EXPECT_EQ(lights[0]["type"], "point");
    EXPECT_EQ(lights[0]["range"], 50.0);
    EXPECT_EQ(lights[1]["type"], "spot");
    const double inner = lights[1]["spot"]["innerConeAngle"], outer = lights[1]["spot"]["outerConeAngle"];
    EXPECT_NEAR(outer, 0.25, 1e-6) << "half the falloff";
    EXPECT_LT(inner, outer) << "a hotspot wider than the falloff is kept inside it";
    EXPECT_EQ(lights[1]["color"], Json::array({0.5, 1.0, 0.0}));
    EXPECT_EQ(lights[2]["type"], "directional");
    EXPECT_EQ(lights[2]["intensity"], 0.0);
    EXPECT_EQ(g.json["nodes"][5]["extensions"]["KHR_lights_punctual"]["light"], 1);
}

TEST(GltfExport, RotationKeysAreComposedAndTurnTheWayTheyTurn) {
    Scene s;
    const LoadedGltf g = roundTrip(s.scene, gltf::FileFormat::Gltf);
    const Json& animation = g.json["animations"][0];
    ASSERT_EQ(animation["channels"].size(), 3u);
    std::map<std::string, Json> byPath;
    for (const auto& c : animation["channels"]) {
        EXPECT_EQ(c["target"]["node"], 1);
        byPath[c["target"]["path"]] = animation["samplers"][c["sampler"].get<std::size_t>()];
    }
    const auto times = g.read(byPath["rotation"]["input"]);
    const auto q = g.read(byPath["rotation"]["output"]);
    // Keys at 0 and 1, then the full turn from 1 to 2 in four quarter steps.
    EXPECT_EQ(times, (std::vector<double>{0, 1, 1.25, 1.5, 1.75, 2}));
    // A positive key angle turns clockwise about the axis: at time 1 the two
    // quarter turns make a half turn, clockwise about Z.
    const double half = std::sqrt(0.5);
    EXPECT_NEAR(q[2], -half, 1e-6);
    EXPECT_NEAR(q[3], half, 1e-6);
    EXPECT_NEAR(std::fabs(q[6]), 1, 1e-6);
    EXPECT_NEAR(std::fabs(q[4 * 5 + 2]), 1, 1e-6) << "a full turn later, the same half turn";
    for (std::size_t i = 4; i < q.size(); i += 4) {
        const double dot = q[i] * q[i - 4] + q[i + 1] * q[i - 3] + q[i + 2] * q[i - 2] + q[i + 3] * q[i - 1];
        EXPECT_GT(dot, 0) << "neighbours in one half of the quaternion sphere";
        EXPECT_NEAR(dot, half, 1e-5) << "the full turn goes by quarter turns";
    }
    EXPECT_EQ(g.read(byPath["translation"]["input"]), (std::vector<double>{0, 1}))
        << "sorted; a negative time and a value that is not a number left out";
    EXPECT_EQ(g.read(byPath["translation"]["output"]), (std::vector<double>{0, 0, 0, 1, 2, 3}));
    EXPECT_EQ(g.read(byPath["scale"]["input"]), (std::vector<double>{0.5}))
        << "one key per time; keys without value left out";
}

TEST(GltfExport, AnEmptySceneIsAValidFile) {
    refhost::App app;
    refhost::Scene scene(app);
    for (gltf::FileFormat format : {gltf::FileFormat::Gltf, gltf::FileFormat::Glb}) {
        const LoadedGltf g = roundTrip(scene, format);
        EXPECT_EQ(g.json["nodes"].size(), 1u);
        EXPECT_FALSE(g.json.contains("buffers"));
        EXPECT_FALSE(g.json["nodes"][0].contains("children"));
    }
}

TEST(GltfExport, GlbChunksAreAlignedAndFillTheFile) {
    Scene s;
    const std::vector<uint8_t> bytes = gltf::encode(gltf::exportScene(s.scene, {}), gltf::FileFormat::Glb);
    ASSERT_GE(bytes.size(), 20u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "glTF");
    EXPECT_EQ(bytes.size() % 4, 0u);
    LoadedGltf g;
    std::string error;
    ASSERT_TRUE(testing_support::loadGltf(bytes, g, error)) << error;
    EXPECT_FALSE(g.json["buffers"][0].contains("uri"));
    EXPECT_GE(g.binary.size(), g.json["buffers"][0]["byteLength"].get<std::size_t>());
}

TEST(GltfExport, OutputFormatFollowsTheExtension) {
    gltf::FileFormat f;
    EXPECT_TRUE(gltf::formatForPath("out/scene.GLB", f));
    EXPECT_EQ(f, gltf::FileFormat::Glb);
    EXPECT_TRUE(gltf::formatForPath("scene.gltf", f));
    EXPECT_EQ(f, gltf::FileFormat::Gltf);
    EXPECT_FALSE(gltf::formatForPath("scene.obj", f));
    EXPECT_FALSE(gltf::formatForPath("a.gltf/scene", f));
}

// The Khronos validator over the files of the scenes above, faults and all.
TEST(GltfExport, ValidatorFindsNoErrors) {
    const std::string validator = MAXASE_GLTF_VALIDATOR;
    if (std::system("node --version > /dev/null 2>&1") != 0 ||
        !std::ifstream(validator + "/node_modules/gltf-validator/package.json")) {
        FAIL() << "the glTF validator is not installed: run scripts/setup.sh";
    }
    const std::string folder = ::testing::TempDir() + "gltf_export_test";
    std::filesystem::create_directories(folder);
    std::string files;
    Scene s;
    refhost::App app;
    refhost::Scene empty(app);
    const std::pair<const char*, const refhost::Scene*> scenes[] = {{"faults", &s.scene}, {"empty", &empty}};
    for (const auto& [name, scene] : scenes) {
        for (gltf::FileFormat format : {gltf::FileFormat::Gltf, gltf::FileFormat::Glb}) {
            const std::string path = folder + "/" + name + (format == gltf::FileFormat::Gltf ? ".gltf" : ".glb");
            ASSERT_TRUE(gltf::writeFile(gltf::exportScene(*scene, {}), path, format));
            files += " '" + path + "'";
        }
    }
    const std::string log = folder + "/validator.log";
    const int status = std::system(("node '" + validator + "/validate.mjs'" + files + " > '" + log + "' 2>&1").c_str());
    const std::string report = testing_support::readFile(log);
    EXPECT_EQ(status, 0) << report;
    EXPECT_NE(report.find(", 0 errors"), std::string::npos) << report;
}
