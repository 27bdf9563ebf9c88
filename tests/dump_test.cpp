// The JSON dump of a scene built through the host interfaces, as the plug-in
// builds it.
#include "host/dump.h"

#include <gtest/gtest.h>

namespace {

using Json = nlohmann::ordered_json;

struct SampleScene {
    refhost::App app;
    refhost::Scene scene{app};

    SampleScene() {
        HostScene& s = scene;
        HostMaterial* red = s.CreateMaterial();
        red->SetName("Red");
        const Point3 diffuse{1, 0, 0};
        red->SetProperty(MaterialDiffuse, &diffuse);
        const float opacity = 0.75f;
        red->SetProperty(MaterialOpacity, &opacity);
        red->SetProperty(MaterialDiffuseMap, "red.bmp");

        HostMeshNode* box = s.CreateNode();
        box->SetName("Box");
        box->SetVertexCount(3, 0);
        Point3* v = meshVertices(box);
        v[1] = {1, 0, 0};
        v[2] = {0, 1, 0};
        box->SetFaceCount(2, 0);
        HostFace* f = box->GetFace(0);
        f->a = 0;
        f->b = 1;
        f->c = 2;
        f->flags = FaceEdgeAB | FaceTwoSided;
        f->material = reinterpret_cast<uint32_t>(red);
        box->GetFace(1)->material = 7;  // still a material number
        box->SetProperty(NodeMaterial, reinterpret_cast<uint32_t>(red));
        box->SetProperty(NodeCastShadow, 1);

        HostCamera* camera = s.CreateCamera();
        camera->SetName("Camera01");
        camera->SetFov(0.8f);
        setNodeParent(box, camera);
        HostNode* target = s.CreateTarget();
        target->SetName("Camera01.Target");
        setCameraTarget(camera, target);

        HostLight* light = s.CreateLight();
        setLightType(light, LightDirectional);
        setLightHotspot(light, 20.0f);

        HostMeshNode* shape = s.CreateNode();
        shape->SetLineCount(1, 0);
        HostLine* line = shape->GetLine(0);
        line->flags = LineInUse;
        line->pointCount = 2;
        line->points = static_cast<int32_t*>(shape->AllocNodeMemory(8));
        line->points[1] = 1;

        s.AddSceneInfo(SceneInfoFormat, "MAX ascii export 2.0");
        app.ShowMessage(0, "*FOO skiped");

        HostAnimation* animation = s.GetAnimation(1);
        animation->SetFrameRate(30);
        HostKey* key = animation->GetNodeTracks(box)->AddRotationKey(2.0f);
        const float q[4] = {0, 0, 1, 1.5f};
        key->SetValue(q);
        setKeyTcb(key, {25, 25, 25, 0, 0});
    }
};

}  // namespace

TEST(Dump, HoldsTheWholeSceneUnderStableKeys) {
    SampleScene sample;
    static_cast<HostScene&>(sample.scene).CreateNode();  // a node without geometry
    const Json j = refhost::dumpScene(sample.app, sample.scene);
    const Json& nodes = j["nodes"];
    ASSERT_EQ(nodes.size(), 6u);
    EXPECT_EQ(nodes[0]["transform"].size(), 16u);

    const Json& box = nodes[0];
    EXPECT_EQ(box["parent"], 1);
    EXPECT_EQ(box["faces"][0]["v"], Json::array({0, 1, 2}));
    EXPECT_EQ(box["faces"][0]["material"], 0) << "a material pointer shows as the material's index";
    EXPECT_EQ(box["faces"][0]["flags"], FaceEdgeAB | FaceTwoSided);
    EXPECT_EQ(box["faces"][1]["materialId"], 7) << "a number shows as a material id";
    EXPECT_EQ(box["properties"]["material"], 0);
    EXPECT_EQ(box["properties"]["castShadow"], 1);

    const char* kinds[] = {"mesh", "camera", "target", "light", "shape", "helper"};
    for (std::size_t n = 0; n < 6; ++n) EXPECT_EQ(nodes[n]["kind"], kinds[n]);
    EXPECT_EQ(nodes[1]["camera"]["target"], 2);
    EXPECT_EQ(nodes[3]["light"]["type"], LightDirectional);
    EXPECT_EQ(nodes[3]["light"]["hotspot"], 20.0);
    EXPECT_EQ(nodes[4]["lines"][0]["points"], Json::array({0, 1}));
    EXPECT_TRUE(nodes[4]["parent"].is_null());

    const Json& material = j["materials"][0];
    EXPECT_EQ(material["properties"]["diffuse"], Json::array({1.0, 0.0, 0.0}));
    EXPECT_EQ(material["properties"]["opacity"], 0.75);
    EXPECT_EQ(material["properties"]["diffuseMap"], "red.bmp");
    EXPECT_EQ(j["messages"][0]["text"], "*FOO skiped");
    EXPECT_EQ(j["sceneInfo"][0]["text"], "MAX ascii export 2.0");

    const Json& animation = j["animation"];
    EXPECT_EQ(animation["frameRate"], 30.0);
    EXPECT_TRUE(animation["length"].is_null());
    const Json& rotation = animation["nodes"][0]["rotation"][0];
    EXPECT_EQ(rotation["time"], 2.0);
    EXPECT_EQ(rotation["value"], Json::array({0.0, 0.0, 1.0, 1.5}));
    EXPECT_EQ(rotation["tcb"], Json::array({25.0, 25.0, 25.0, 0.0, 0.0}));
    EXPECT_TRUE(animation["nodes"][1].is_null());
}

TEST(Dump, SceneWithoutAnimationHasNullAnimation) {
    refhost::App app;
    refhost::Scene scene(app);
    static_cast<HostScene&>(scene).GetAnimation(0);
    EXPECT_TRUE(refhost::dumpScene(app, scene)["animation"].is_null());
}
