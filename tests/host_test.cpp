// The reference host's own behaviour: settings, streams, the node list, the
// helper objects and its checks of the contract.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "host/scene.h"
#include "host/streams.h"

namespace {

std::string temporaryPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / (name + "." + std::to_string(getpid()))).string();
}

}  // namespace

TEST(HostSettings, CaseIniPersistenceAndTransientValues) {
    const std::string path = temporaryPath("maxase-settings.ini");
    std::filesystem::remove(path);
    {
        refhost::Settings settings(path);
        refhost::App app(&settings);
        HostApp& host = app;
        EXPECT_EQ(host.GetProfileInt("MAX", "Warning", 1), 1);
        host.WriteProfileInt("MAX", "Warning", 0);
        EXPECT_EQ(host.GetProfileInt("max", "WARNING", 1), 0) << "sections and keys ignore case";
        settings.set("MAX", "DebugWindow", 0);
        settings.setTransient("max", "debugwindow", 1);
        EXPECT_EQ(settings.get("MAX", "DebugWindow", 0), 1) << "the transient value, whatever the case";
        settings.set("MAX", "Agree", 1);  // a later write rewrites the file
    }
    refhost::Settings reread(path);
    EXPECT_EQ(reread.get("MAX", "Warning", 1), 0);
    EXPECT_EQ(reread.get("MAX", "DebugWindow", 5), 0) << "only the stored value reaches the file";
    EXPECT_FALSE(reread.get("MAX", "Missing").has_value());
    std::filesystem::remove(path);
}

TEST(HostStreams, FileStreamNamesItsPathAndReads) {
    const std::string path = temporaryPath("maxase-stream.bin");
    {
        std::ofstream out(path, std::ios::binary);
        out << "\x01\x02\x03\x04"
               "abcdef";
    }
    refhost::FileStream file(path);
    HostStream& s = file;
    char name[260];
    EXPECT_NE(s.GetFileName(name, sizeof name), 0);
    EXPECT_EQ(path, name);
    EXPECT_EQ(s.ReadLong(), 0x04030201);
    EXPECT_EQ(s.Tell(), 4);
    char buffer[16];
    EXPECT_EQ(s.Read(buffer, 16), 6);
    EXPECT_EQ(s.Read(buffer, 16), 0) << "0 at the end";
    s.Seek(-2, 2);
    EXPECT_EQ(s.Read(buffer, 16), 2);
    EXPECT_EQ(std::string(buffer, 2), "ef");
    s.Close();
    EXPECT_EQ(s.Read(buffer, 16), 0) << "a closed stream reads nothing";
    std::filesystem::remove(path);
}

TEST(HostNodeList, FindsByNameIgnoringCaseFirstInListOrder) {
    refhost::App app;
    refhost::Scene scene(app);
    HostScene& s = scene;
    HostMeshNode* a = s.CreateNode();
    HostMeshNode* b = s.CreateNode();
    b->SetName("Box01");
    a->SetName("BOX01");
    HostNodeList* nodes = sceneNodes(&s);
    EXPECT_EQ(nodes->FindByName("box01"), a) << "the first of a name in list order";
    a->SetName("Sphere");
    EXPECT_EQ(nodes->FindByName("box01"), b) << "a renamed node is no longer found under its old name";
    EXPECT_EQ(nodes->FindByName("sphere"), a);
    EXPECT_EQ(nodes->FindByName("Missing"), nullptr);
    EXPECT_EQ(nodes->GetAt(2), nullptr);
    EXPECT_EQ(nodes->GetAt(-1), nullptr);
}

TEST(HostNodes, CountsAreCheckedAndMemoryIsZeroed) {
    refhost::App app;
    refhost::Scene scene(app);
    HostMeshNode* node = static_cast<HostScene&>(scene).CreateNode();
    EXPECT_EQ(node->SetVertexCount(-1, 0), 0);
    EXPECT_EQ(node->SetFaceCount(refhost::MaxElementCount + 1, 0), 0);
    EXPECT_EQ(node->SetVertexCount(0, 0), 1) << "an empty array is a success";
    EXPECT_EQ(node->AllocNodeMemory(-4), nullptr);
    auto* memory = static_cast<unsigned char*>(node->AllocNodeMemory(64));
    ASSERT_NE(memory, nullptr);
    for (int i = 0; i < 64; ++i) ASSERT_EQ(memory[i], 0);

    EXPECT_EQ(node->GetFace(0), nullptr);
    EXPECT_EQ(refhost::contractViolations().size(), 1u) << "a face beyond the array is the plug-in's fault";
    refhost::clearContractViolations();
}

TEST(HostHelpers, ReleaseIsTrackedAndPointsReachTheShape) {
    refhost::App app;
    refhost::Scene scene(app);
    HostApp& host = app;
    HostMeshNode* shape = static_cast<HostScene&>(scene).CreateNode();

    HostPointList* points = host.CreatePointList();
    HostPool* pool = host.CreatePool(0xFFFF);
    HostParamBlock* block = host.CreateParamBlock();
    EXPECT_EQ(app.outstandingHelpers(), 3);

    points->Init(0);
    const Point3 p{1, 2, 3};
    int32_t i = -1;
    points->AddPoint(&p, &i);
    points->StorePoints(shape);
    EXPECT_EQ(meshVertices(shape)[0].z, 3);

    EXPECT_NE(pool->Alloc(100), nullptr);
    block->SetFloat(0, 2.5f);
    HostNode* primitive = static_cast<HostScene&>(scene).CreatePrimitive(PrimitiveBox, block);
    ASSERT_NE(primitive, nullptr);
    EXPECT_EQ(static_cast<HostScene&>(scene).CreatePrimitive(99, block), nullptr) << "unknown kind";

    points->Release();
    pool->Release();
    block->Release();
    EXPECT_EQ(app.outstandingHelpers(), 0);
    EXPECT_EQ(scene.nodes()[1]->parameters.at(0).floatValue, 2.5f) << "the primitive keeps its parameters";
}

TEST(HostPrimitives, CreatePrimitiveBuildsTheMeshOrAPlaceholderWithANote) {
    refhost::App app;
    refhost::Scene scene(app);
    HostScene& s = scene;
    HostParamBlock* block = app.CreateParamBlock();
    for (int32_t i = 0; i < 3; ++i) block->SetFloat(i, 10);
    block->SetInt(9, 1);  // a cylinder's texture coordinates
    HostNode* box = s.CreatePrimitive(PrimitiveBox, block);
    HostNode* cylinder = s.CreatePrimitive(PrimitiveCylinder, block);
    s.CreatePrimitive(PrimitiveOilTank, block);
    block->Release();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(meshVertexCount(box), 8);
    EXPECT_EQ(meshFaceCount(box), 12);
    EXPECT_EQ(meshVertices(box)[0].z, 0.0f);
    // The cylinder's first face starts at the top centre, whose v the host keeps flipped: 0.
    const refhost::NodeData& built = *scene.nodes()[1];
    EXPECT_EQ(built.vertices[static_cast<std::size_t>(built.faces[0].a)].z, 10.0f);
    EXPECT_EQ(built.texVertices[static_cast<std::size_t>(built.faces[0].ta)].v, 0.0f);

    ASSERT_EQ(app.hostNotes().size(), 1u);
    EXPECT_NE(app.hostNotes()[0].find("OilTank"), std::string::npos);
    EXPECT_FALSE(scene.nodes()[0]->placeholder);
    EXPECT_TRUE(scene.nodes()[2]->placeholder);
    (void)cylinder;
}
