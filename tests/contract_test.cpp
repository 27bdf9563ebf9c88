// The host contract itself: operation slots and record offsets, checked
// against the numbers of the contract, written here as literals on purpose.
#include <gtest/gtest.h>

#include <cstring>

#include "frame/contract/host_interfaces.h"
#include "host/scene.h"

namespace {

// The table slot of a virtual member function: with the ABI both builds use,
// a pointer to a virtual member holds 1 + the byte offset of its slot.
template <class F>
int slotOf(F function) {
    static_assert(sizeof(F) == 8, "pointer to member function: offset word and this adjustment");
    uint32_t raw[2];
    std::memcpy(raw, &function, sizeof raw);
    return (raw[0] & 1u) ? static_cast<int>((raw[0] - 1) / sizeof(void*)) : -1;
}

template <class T>
T rawField(const void* object, int offset) {
    T value;
    std::memcpy(&value, static_cast<const unsigned char*>(object) + offset, sizeof value);
    return value;
}

}  // namespace

#define EXPECT_SLOT(Interface, Operation, number)                                       \
    do {                                                                                \
        EXPECT_EQ(slotOf(&Interface::Operation), number) << #Interface "::" #Operation; \
        EXPECT_EQ(slot::Interface##_##Operation, number) << #Interface "::" #Operation; \
    } while (0)

TEST(Contract, HostAppSlots) {
    EXPECT_SLOT(HostApp, RegisterImporter, 1);
    EXPECT_SLOT(HostApp, ShowMessage, 3);
    EXPECT_SLOT(HostApp, CreatePool, 5);
    EXPECT_SLOT(HostApp, CreatePointList, 7);
    EXPECT_SLOT(HostApp, OpenResourceStream, 8);
    EXPECT_SLOT(HostApp, CreateParamBlock, 10);
    EXPECT_SLOT(HostApp, ReportInternalError, 11);
    EXPECT_SLOT(HostApp, GetMainWindow, 15);
    EXPECT_SLOT(HostApp, GetProfileInt, 16);
    EXPECT_SLOT(HostApp, WriteProfileInt, 17);
    EXPECT_SLOT(HostApp, ShowStatus, 24);
    EXPECT_SLOT(HostApp, MatrixIdentity, 43);
    EXPECT_SLOT(HostApp, MatrixMultiply, 46);
    EXPECT_SLOT(HostApp, TransformPoints, 47);
    EXPECT_SLOT(HostApp, MatrixInvert, 49);
    EXPECT_SLOT(HostApp, MatrixTranslate, 51);
    EXPECT_SLOT(HostApp, MatrixScale, 52);
    EXPECT_SLOT(HostApp, MatrixFromQuat, 56);
    EXPECT_SLOT(HostApp, RelativeMatrix, 67);
    EXPECT_SLOT(HostApp, LoadModuleIcon, 94);
}

TEST(Contract, StreamAndHelperSlots) {
    EXPECT_SLOT(HostStream, Release, 0);
    EXPECT_SLOT(HostStream, Seek, 2);
    EXPECT_SLOT(HostStream, Tell, 3);
    EXPECT_SLOT(HostStream, Read, 6);
    EXPECT_SLOT(HostStream, GetFileName, 10);
    EXPECT_SLOT(HostStream, ReadLong, 14);
    EXPECT_SLOT(HostStream, Close, 16);
    EXPECT_SLOT(HostPool, Release, 0);
    EXPECT_SLOT(HostPool, Alloc, 2);
    EXPECT_SLOT(HostPointList, Release, 0);
    EXPECT_SLOT(HostPointList, AddPoint, 3);
    EXPECT_SLOT(HostPointList, StorePoints, 5);
    EXPECT_SLOT(HostPointList, Init, 6);
    EXPECT_SLOT(HostParamBlock, Release, 0);
    EXPECT_SLOT(HostParamBlock, SetInt, 2);
    EXPECT_SLOT(HostParamBlock, SetFloat, 3);
    EXPECT_SLOT(HostParamBlock, SetPoint3, 4);
}

TEST(Contract, SceneSlots) {
    EXPECT_SLOT(HostScene, CreateNode, 0);
    EXPECT_SLOT(HostScene, CreateMaterial, 1);
    EXPECT_SLOT(HostScene, CreateLight, 2);
    EXPECT_SLOT(HostScene, CreateCamera, 3);
    EXPECT_SLOT(HostScene, CreateTarget, 4);
    EXPECT_SLOT(HostScene, AddSceneInfo, 7);
    EXPECT_SLOT(HostScene, CreatePrimitive, 10);
    EXPECT_SLOT(HostScene, EndImport, 11);
    EXPECT_SLOT(HostScene, GetAnimation, 19);
    EXPECT_SLOT(HostNodeList, Count, 2);
    EXPECT_SLOT(HostNodeList, GetAt, 3);
    EXPECT_SLOT(HostNodeList, FindByName, 14);
    EXPECT_SLOT(HostNode, SetName, 3);
    EXPECT_SLOT(HostNode, SetProperty, 5);
    EXPECT_SLOT(HostNode, SetTransform, 10);
    EXPECT_SLOT(HostNode, GetTransform, 11);
    EXPECT_SLOT(HostMeshNode, SetVertexCount, 17);
    EXPECT_SLOT(HostMeshNode, SetTexVertexCount, 18);
    EXPECT_SLOT(HostMeshNode, SetFaceCount, 19);
    EXPECT_SLOT(HostMeshNode, SetLineCount, 20);
    EXPECT_SLOT(HostMeshNode, GetFace, 21);
    EXPECT_SLOT(HostMeshNode, GetLine, 22);
    EXPECT_SLOT(HostMeshNode, AllocNodeMemory, 23);
    EXPECT_SLOT(HostCamera, SetVectorB, 19);
    EXPECT_SLOT(HostCamera, SetVectorA, 21);
    EXPECT_SLOT(HostCamera, SetFov, 25);
    EXPECT_SLOT(HostMaterial, SetName, 3);
    EXPECT_SLOT(HostMaterial, SetProperty, 5);
    EXPECT_SLOT(HostAnimation, GetNodeTracks, 2);
    EXPECT_SLOT(HostAnimation, SetLength, 7);
    EXPECT_SLOT(HostAnimation, SetPlayMode, 9);
    EXPECT_SLOT(HostAnimation, SetFrameRate, 15);
    EXPECT_SLOT(HostAnimation, SetStart, 20);
    EXPECT_SLOT(HostNodeTracks, SetInitialTransform, 4);
    EXPECT_SLOT(HostNodeTracks, AddRotationKey, 6);
    EXPECT_SLOT(HostNodeTracks, AddPositionKey, 7);
    EXPECT_SLOT(HostNodeTracks, AddScaleKey, 8);
    EXPECT_SLOT(HostKey, SetValue, 1);
}

TEST(Contract, UnlistedSlotIsReportedNotFatal) {
    refhost::App app;
    HostApp* contract = &app;
    EXPECT_EQ(contract->unusedSlot2(), 0);
    ASSERT_EQ(refhost::contractViolations().size(), 1u);
    EXPECT_NE(refhost::contractViolations()[0].find("HostApp: unlisted slot 2"), std::string::npos);
    refhost::clearContractViolations();
}

TEST(Contract, NodeRecordFieldsSitAtTheirOffsets) {
    refhost::App app;
    refhost::Scene scene(app);
    HostScene* contractScene = &scene;

    auto* list = rawField<HostNodeList*>(contractScene, 24);
    ASSERT_NE(list, nullptr);
    HostMeshNode* mesh = contractScene->CreateNode();
    HostCamera* camera = contractScene->CreateCamera();
    HostLight* light = contractScene->CreateLight();
    EXPECT_EQ(list->Count(), 3);
    EXPECT_EQ(list->GetAt(0), mesh);

    EXPECT_EQ(rawField<int16_t>(camera, 20), 4);
    EXPECT_EQ(rawField<int16_t>(light, 20), 3);
    EXPECT_EQ(rawField<void*>(mesh, 23), nullptr) << "userData is null on a new node";
    EXPECT_EQ(rawField<HostScene*>(mesh, 39), contractScene);
    EXPECT_EQ(rawField<HostNode*>(mesh, 43), nullptr);
    EXPECT_EQ(rawField<double>(mesh, 47), 1.0) << "a new node's world transform is the identity";

    // The plug-in writes the parent and the camera target directly ...
    std::memcpy(reinterpret_cast<unsigned char*>(mesh) + 43, &camera, 4);
    std::memcpy(reinterpret_cast<unsigned char*>(camera) + 307, &mesh, 4);
    EXPECT_EQ(scene.nodes()[0]->parent(), camera);
    EXPECT_EQ(cameraTarget(camera), mesh);

    // ... and reads what the host keeps there.
    ASSERT_EQ(mesh->SetVertexCount(5, 0), 1);
    ASSERT_EQ(mesh->SetFaceCount(2, 0), 1);
    ASSERT_EQ(mesh->SetTexVertexCount(3, 0), 1);
    EXPECT_EQ(rawField<int32_t>(mesh, 307), 5);
    EXPECT_EQ(rawField<int32_t>(mesh, 315), 2);
    EXPECT_EQ(rawField<Point3*>(mesh, 323), scene.nodes()[0]->vertices.data());
    EXPECT_EQ(rawField<HostTexVertex*>(mesh, 327), scene.nodes()[0]->texVertices.data());
    HostMatrix m{};
    m.m[3][1] = 7.5;
    mesh->SetTransform(&m);
    EXPECT_EQ(rawField<double>(mesh, 47 + (3 * 4 + 1) * 8), 7.5);

    // Faces are packed 30-byte records, handed out in place.
    auto* f0 = reinterpret_cast<unsigned char*>(mesh->GetFace(0));
    auto* f1 = reinterpret_cast<unsigned char*>(mesh->GetFace(1));
    EXPECT_EQ(f1 - f0, 30);
    const int32_t c = 4;
    std::memcpy(f1 + 14, &c, 4);
    EXPECT_EQ(scene.nodes()[0]->faces[1].c, 4);
}

TEST(Contract, LightAndKeyFieldsSitAtTheirOffsets) {
    refhost::App app;
    refhost::Scene scene(app);
    HostLight* light = scene.CreateLight();
    const float hotspot = 0.5f, colour[3] = {0.25f, 0.5f, 0.75f};
    std::memcpy(reinterpret_cast<unsigned char*>(light) + 393, &hotspot, 4);
    std::memcpy(reinterpret_cast<unsigned char*>(light) + 365, colour, 12);
    EXPECT_EQ(lightHotspot(light), 0.5f);
    EXPECT_EQ(lightColor(light).y, 0.5f);

    HostNodeTracks* tracks = scene.GetAnimation(1)->GetNodeTracks(light);
    ASSERT_NE(tracks, nullptr);
    HostKey* key = tracks->AddRotationKey(2.0f);
    const float tcb[5] = {1, 2, 3, 4, 5};  // at bytes 8, 12, 16, 20, 24
    std::memcpy(reinterpret_cast<unsigned char*>(key) + 8, tcb, sizeof tcb);
    const KeyTcb read = keyTcb(key);
    EXPECT_EQ(read.continuity, 1);
    EXPECT_EQ(read.tension, 2);
    EXPECT_EQ(read.bias, 3);
    EXPECT_EQ(read.easeIn, 4);
    EXPECT_EQ(read.easeOut, 5);
}
