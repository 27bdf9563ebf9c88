// MAX imports end to end: files made by the test writer, imported through
// MAXImport into the reference host.
#include "support/max_import.h"

#include <gtest/gtest.h>

#include <cmath>

#include "host/matrix.h"
#include "host/primitives.h"
#include "host/streams.h"
#include "platform/control.h"
#include "support/max_writer.h"
#include "support/mutations.h"
#include "support/scene_check.h"
#include "support/temp_files.h"

using namespace testing_support;

namespace {

void expectMatrixNear(const HostMatrix& actual, const HostMatrix& expected, const char* what) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(actual.m[r][c], expected.m[r][c], 1e-5) << what << " [" << r << "][" << c << "]";
    }
}

HostMatrix translation(float x, float y, float z) {
    return refhost::matrix::translation({x, y, z});
}

// Copies of a host face's fields: the record is packed.
struct FaceFields {
    int flags, a, b, c;
};
FaceFields fieldsOf(const HostFace& face) {
    return {face.flags, face.a, face.b, face.c};
}

const std::vector<float> Triangle{0, 0, 0, 1, 0, 0, 0, 1, 0};

}  // namespace

TEST(MaxImport, NodesReachTheHostWithNameGeometryAndDefaultMaterial) {
    MaxWriter w;
    const int mesh = w.mesh(Triangle, {{0, 1, 2, 15}});
    w.node("Red", -1, {mesh}, 0x0000FF);
    w.node("", -1, {}, 0xFFFFFF);
    w.node("Empty", -1, {}, 0x00FF00);
    MaxImport import;
    ASSERT_EQ(import.run(writeTempFile("basic.max", w.build())), 1);

    ASSERT_EQ(import.scene().nodes().size(), 3u);
    ASSERT_EQ(import.scene().sceneInfo().size(), 1u);
    EXPECT_EQ(import.scene().sceneInfo()[0], std::make_pair(1, std::string("3D Studio MAX Scene")));

    const refhost::NodeData* red = import.node("Red");
    ASSERT_NE(red, nullptr);
    ASSERT_EQ(red->vertices.size(), 3u);
    EXPECT_EQ(red->vertices[1].x, 1.0f);
    EXPECT_EQ(red->vertices[2].y, 1.0f);
    ASSERT_EQ(red->faces.size(), 1u);
    const FaceFields face = fieldsOf(red->faces[0]);
    EXPECT_EQ(face.flags, 7) << "only the edge visibility bits pass";
    EXPECT_EQ(face.a, 0);
    EXPECT_EQ(face.b, 1);
    EXPECT_EQ(face.c, 2);
    EXPECT_EQ(import.materialName(*red), "DefMat for Red");
    const Point3 redColour = import.materialColour(*red).value();
    EXPECT_EQ(redColour.x, 1.0f);
    EXPECT_EQ(redColour.y, 0.0f);
    EXPECT_EQ(redColour.z, 0.0f);

    const refhost::NodeData* unnamed = import.scene().nodes()[1];
    EXPECT_FALSE(unnamed->name.has_value()) << "a node without a name is not named";
    EXPECT_EQ(import.materialName(*unnamed), "DefMat for NoName");
    EXPECT_EQ(import.materialColour(*unnamed).value().z, 1.0f);

    const refhost::NodeData* empty = import.node("Empty");
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->vertices.empty());
    EXPECT_EQ(import.materialColour(*empty).value().y, 1.0f);
    expectMatrixNear(empty->transform(), refhost::matrix::identity(), "an empty node's transform");
    EXPECT_EQ(import.host().outstandingHelpers(), 0);
}

TEST(MaxImport, SceneLogNamesTheLatestSceneObjectAndItsItems) {
    MaxWriter w;
    const int node = w.node("A", -1, {});
    const int material = w.addObject(static_cast<uint16_t>(w.classFor("Standard", StandardMaterialClass)), {});
    w.scene({node});
    w.scene({node, material, -1, 999});
    // An object whose class index names no class.
    const int stray = w.addObject(500, {});
    w.scene({stray});
    MaxImport import;
    ASSERT_EQ(import.run(writeTempFile("log.max", w.build())), 1);
    const auto log = import.messages(MessageSceneLog);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0], "SCENE CLASS 5") << "the scene object nearest the end";
    ASSERT_EQ(log.size(), 1u) << "its only item names an object of no class";

    MaxWriter w2;
    const int n = w2.node("A", -1, {});
    const int m = w2.addObject(static_cast<uint16_t>(w2.classFor("Standard", StandardMaterialClass)), {});
    w2.scene({n, m, -1, 999, 1000});
    MaxImport second;
    ASSERT_EQ(second.run(writeTempFile("log2.max", w2.build())), 1);
    EXPECT_EQ(second.messages(MessageSceneLog),
              (std::vector<std::string>{"SCENE CLASS 2", "SCENE Items Node [0] SKIPED", "SCENE Items Standard [1]"}));
}

TEST(MaxImport, WithoutASceneClassNodesStillArrive) {
    MaxWriter w;
    w.addClass("NODE", NodeClass);  // names compare without regard to case
    w.addObject(0, {Chunk::utf16(0x0962, "Lonely")});
    MaxImport import;
    ASSERT_EQ(import.run(writeTempFile("noscene.max", w.build())), 1);
    EXPECT_EQ(import.messages(MessageSceneLog), std::vector<std::string>{"MAX: SCENE CLASS not found"});
    ASSERT_NE(import.node("Lonely"), nullptr);
}

TEST(MaxImport, TransformControllersApplyScaleThenRotationThenPosition) {
    MaxWriter w;
    const int pos = w.position(10, 20, 30);
    const float half = std::sqrt(0.5f);
    const int rot = w.rotation(0, 0, half, half);
    const int tcb = w.rotation(half, 0, 0, half, TcbRotationClass);
    const int scl = w.scale(2, 3, 4);
    const int prs = w.transform({pos, rot, scl});
    const int prsTcb = w.transform({pos, tcb, scl});
    const int mesh = w.mesh(Triangle, {});
    w.node("ControllerFirst", -1, {prs, mesh});
    w.node("ControllerLast", -1, {mesh, prs});
    w.node("Tcb", -1, {prsTcb});
    MaxImport import;
    ASSERT_EQ(import.run(writeTempFile("prs.max", w.build())), 1);

    const float q[4] = {0, 0, half, half};
    const HostMatrix expected = refhost::matrix::multiply(
        refhost::matrix::multiply(refhost::matrix::scaling({2, 3, 4}), refhost::matrix::fromQuaternion(q)),
        translation(10, 20, 30));
    expectMatrixNear(import.node("ControllerFirst")->transform(), expected, "controller before the mesh");
    expectMatrixNear(import.node("ControllerLast")->transform(), expected, "controller after the mesh");
    EXPECT_EQ(import.node("ControllerLast")->vertices.size(), 3u);
    const float qx[4] = {half, 0, 0, half};
    const HostMatrix expectedTcb = refhost::matrix::multiply(
        refhost::matrix::multiply(refhost::matrix::scaling({2, 3, 4}), refhost::matrix::fromQuaternion(qx)),
        translation(10, 20, 30));
    expectMatrixNear(import.node("Tcb")->transform(), expectedTcb, "TCB rotation");
}

TEST(MaxImport, ShortControllerValuesAreNotReadPastTheirChunk) {
    MaxWriter w;
    const int shortPosition = w.addObject(static_cast<uint16_t>(w.classFor("Bezier Position", PositionClass)),
                                          {Chunk::floats(0x2503, {5, 6})});
    const int shortRotation = w.addObject(static_cast<uint16_t>(w.classFor("Class8201_0", RotationClass)),
                                          {Chunk::floats(0x2504, {0.5f, 0.5f})});
    w.node("Short", -1, {w.transform({shortPosition, shortRotation})});
    MaxImport import;
    ASSERT_EQ(import.run(writeTempFile("short.max", w.build())), 1);
    // The position is skipped; the rotation keeps the preset's z and w: (0.5, 0.5, 1, 0).
    const float q[4] = {0.5f, 0.5f, 1.0f, 0.0f};
    expectMatrixNear(import.node("Short")->transform(), refhost::matrix::fromQuaternion(q), "short values");
}

TEST(MaxImport, HierarchyCombinesMatricesDownTheTree) {
    MaxWriter w;
    const int g = w.node("Grandparent", -1, {w.transform({w.position(1, 0, 0)})});
    const int p = w.node("Parent", g, {w.transform({w.scale(2, 2, 2)})});
    w.node("Child", p, {w.transform({w.position(0, 5, 0)})});
    w.node("Sibling", p, {});
    const int notANode = w.position(0, 0, 0);
    w.node("OrphanOfNonNode", notANode, {});
    w.node("Top", -1, {});
    MaxImport import;
    ASSERT_EQ(import.run(writeTempFile("tree.max", w.build())), 1);
    const refhost::NodeData* grand = import.node("Grandparent");
    const refhost::NodeData* parent = import.node("Parent");
    const refhost::NodeData* child = import.node("Child");
    ASSERT_TRUE(grand && parent && child);
    EXPECT_EQ(parent->parent(), grand->self);
    EXPECT_EQ(child->parent(), parent->self);
    EXPECT_EQ(import.node("Sibling")->parent(), parent->self);
    EXPECT_EQ(grand->parent(), nullptr);
    EXPECT_EQ(import.node("OrphanOfNonNode")->parent(), nullptr) << "a parent that is no node";
    EXPECT_EQ(import.node("Top")->parent(), nullptr);
    const HostMatrix parentWorld = refhost::matrix::multiply(refhost::matrix::scaling({2, 2, 2}), translation(1, 0, 0));
    expectMatrixNear(parent->transform(), parentWorld, "parent");
    expectMatrixNear(child->transform(), refhost::matrix::multiply(translation(0, 5, 0), parentWorld), "child");
}

TEST(MaxImport, MissingParentChunkMeansReferenceZero) {
    MaxWriter w;
    w.node("Zero", -1, {});
    w.addObject(static_cast<uint16_t>(w.classFor("Node", NodeClass)), {Chunk::utf16(0x0962, "NoParentChunk")});
    MaxImport import;
    ASSERT_EQ(import.run(writeTempFile("parent0.max", w.build())), 1);
    EXPECT_EQ(import.node("NoParentChunk")->parent(), import.node("Zero")->self);
}

TEST(MaxImport, ParentCyclesNeverReachTheHost) {
    MaxWriter w;
    // 0 -> 1 -> 2 -> 0, and 3 -> 3.
    w.node("A", 1, {});
    w.node("B", 2, {});
    w.node("C", 0, {});
    w.node("Self", 3, {});
    MaxImport import;
    ASSERT_EQ(import.run(writeTempFile("cycle.max", w.build())), 1);
    EXPECT_EQ(import.node("Self")->parent(), nullptr);
    int topLevel = 0;
    for (const refhost::NodeData* node : import.scene().nodes()) {
        int steps = 0;
        for (const HostNode* up = node->parent(); up && steps < 10; ++steps) {
            up = import.host().findNode(up)->parent();
        }
        EXPECT_LT(steps, 3) << *node->name << " is in a cycle";
        if (!node->parent()) ++topLevel;
    }
    EXPECT_EQ(topLevel, 2) << "one node of the ring and the self-parented one";
    EXPECT_EQ(import.node("A")->parent(), import.node("B")->self);
    EXPECT_EQ(import.node("B")->parent(), import.node("C")->self);
    EXPECT_EQ(import.node("C")->parent(), nullptr) << "the link that would close the ring";
}

TEST(MaxImport, DeepChainsDoNotExhaustTheStack) {
    constexpr int Depth = 30000;
    MaxWriter w;
    const int step = w.transform({w.position(1, 0, 0)});
    for (int i = 0; i < Depth; ++i) w.node(i == Depth - 1 ? "Deepest" : "", i == 0 ? -1 : w.objectCount() - 1, {step});
    MaxImport import;
    ASSERT_EQ(import.run(writeTempFile("deep.max", w.build())), 1);
    const refhost::NodeData* deepest = import.node("Deepest");
    ASSERT_NE(deepest, nullptr);
    EXPECT_NEAR(deepest->transform().m[3][0], Depth, 1e-6);
}

TEST(MaxImport, MeshCountsAndIndicesAreCheckedAgainstTheirChunks) {
    MaxWriter w;
    auto meshObject = [&](std::vector<Chunk> parts) {
        return w.addObject(static_cast<uint16_t>(w.classFor("Editable Mesh", EditableMeshClass)),
                           {Chunk::container(0x08FE, std::move(parts))});
    };
    auto vertices = [](int32_t count, int stored) {
        Bytes b;
        appendInt32(b, count);
        for (int i = 0; i < 3 * stored; ++i) appendFloat(b, static_cast<float>(i));
        return Chunk::data(0x0914, b);
    };
    auto faces = [](int32_t count, std::vector<Face> stored) {
        Bytes b;
        appendInt32(b, count);
        for (const Face& f : stored) {
            for (uint32_t word : {f.a, f.b, f.c, 0u, f.flags}) appendInt32(b, static_cast<int32_t>(word));
        }
        return Chunk::data(0x0912, b);
    };
    w.node("TooManyVertices", -1, {meshObject({vertices(4, 3), faces(1, {{0, 1, 2, 0}})})});
    w.node("HugeCount", -1, {meshObject({vertices(0x40000000, 3)})});
    w.node("NegativeFaces", -1, {meshObject({vertices(3, 3), faces(-1, {{0, 1, 2, 0}})})});
    w.node("FacesFirst", -1, {meshObject({faces(1, {{2, 1, 0, 1}}), vertices(3, 3)})});
    w.node("BadIndices", -1, {meshObject({vertices(3, 3), faces(2, {{0, 3, 2, 0}, {0xFFFFFFFFu, 1, 9, 0}})})});
    w.node("NoVertices", -1, {meshObject({vertices(0, 0), faces(1, {{0, 0, 0, 0}})})});
    MaxImport import;
    ASSERT_EQ(import.run(writeTempFile("meshes.max", w.build())), 1);

    EXPECT_TRUE(import.node("TooManyVertices")->vertices.empty());
    EXPECT_TRUE(import.node("TooManyVertices")->faces.empty()) << "faces need vertices";
    EXPECT_TRUE(import.node("HugeCount")->vertices.empty());
    EXPECT_EQ(import.node("NegativeFaces")->vertices.size(), 3u);
    EXPECT_TRUE(import.node("NegativeFaces")->faces.empty());
    ASSERT_EQ(import.node("FacesFirst")->faces.size(), 1u);
    EXPECT_EQ(fieldsOf(import.node("FacesFirst")->faces[0]).a, 2);
    EXPECT_TRUE(import.node("NoVertices")->faces.empty());

    const refhost::NodeData* bad = import.node("BadIndices");
    ASSERT_EQ(bad->faces.size(), 2u);
    const FaceFields first = fieldsOf(bad->faces[0]);
    const FaceFields second = fieldsOf(bad->faces[1]);
    EXPECT_EQ(first.b, 0);
    EXPECT_EQ(first.c, 2);
    EXPECT_EQ(second.a, 0);
    EXPECT_EQ(second.b, 1);
    EXPECT_EQ(second.c, 0);
    EXPECT_EQ(import.messages(MessageSceneLog).back(), "BadIndices: 3 face indices beyond the 3 vertices set to 0");
    int mendMessages = 0;
    for (const std::string& m : import.messages(MessageSceneLog))
        mendMessages += m.find("face indices") != std::string::npos;
    EXPECT_EQ(mendMessages, 1) << "one message per node";
}

TEST(MaxImport, PrimitivesHandTheirParameterBlockToTheHost) {
    MaxWriter w;
    const int block = w.paramBlock({floatParam(0, 10.5f), floatParam(1, 2.0f), intParam(4, 24)});
    w.node("Torus", -1, {w.primitive(TorusClass, {block})});
    w.node("NotATorus", -1, {w.primitive({0x20, 1}, {block})});
    const int shortBlock = w.paramBlock({intParam(-1, 6), intParam(-1, 7)}, 3);
    w.node("Box", -1, {w.primitive(BoxClass, {shortBlock})});
    MaxImport import;
    ASSERT_EQ(import.run(writeTempFile("primitives.max", w.build())), 1);

    const refhost::NodeData* torus = import.node("Torus");
    ASSERT_NE(torus, nullptr);
    EXPECT_EQ(torus->kind, refhost::NodeKind::Primitive);
    EXPECT_EQ(torus->primitiveKind, PrimitiveTorus);
    ASSERT_EQ(torus->parameters.size(), 3u);
    EXPECT_EQ(torus->parameters.at(0).floatValue, 10.5f);
    EXPECT_EQ(torus->parameters.at(4).intValue, 24);
    EXPECT_EQ(import.materialName(*torus), "DefMat for Torus");

    const refhost::NodeData* notATorus = import.node("NotATorus");
    EXPECT_EQ(notATorus->kind, refhost::NodeKind::Node) << "(0x20, 1) is no primitive";

    const refhost::NodeData* box = import.node("Box");
    EXPECT_EQ(box->primitiveKind, PrimitiveBox);
    ASSERT_EQ(box->parameters.size(), 2u);
    EXPECT_EQ(box->parameters.at(0).intValue, 6) << "before any index chunk a parameter takes its place in the block";
    EXPECT_EQ(box->parameters.at(1).intValue, 7);
    ASSERT_EQ(import.host().internalErrors().size(), 1u);
    EXPECT_EQ(import.host().internalErrors()[0].source, "max\\max");
    EXPECT_EQ(import.host().internalErrors()[0].line, 1004);
    EXPECT_EQ(import.host().outstandingHelpers(), 0) << "every parameter block is released";
}

TEST(MaxImport, DerivedObjectsTakeTheirBaseObject) {
    MaxWriter w;
    const int mesh = w.mesh(Triangle, {{0, 1, 2, 0}});
    const int modifier = w.addObject(static_cast<uint16_t>(w.classFor("XForm", {0x25215824, 0})), {});
    w.node("OverMesh", -1, {w.derived({modifier, mesh})}, 0x00FF00);
    const int block = w.paramBlock({floatParam(0, 3.0f)});
    w.node("OverPrimitive", -1, {mesh, w.derived({modifier, w.primitive(BoxClass, {block})})});
    w.node("OverNothing", -1, {w.derived({modifier})});
    // A modifier and a primitive of one identifier, told apart by their superclass.
    const int bend = w.controller("Bend", {0x10, 0, 0x810}, {w.paramBlock({floatParam(0, 90.0f)})});
    const int cylinder = w.primitive({0x12, 0, 0x10}, {w.paramBlock({floatParam(0, 4.0f)})});
    w.node("BentCylinder", -1, {w.derived({bend, cylinder})});
    MaxImport import;
    ASSERT_EQ(import.run(writeTempFile("derived.max", w.build())), 1);
    const refhost::NodeData* overMesh = import.node("OverMesh");
    EXPECT_EQ(overMesh->vertices.size(), 3u);
    EXPECT_EQ(overMesh->faces.size(), 1u);
    EXPECT_EQ(import.materialColour(*overMesh).value().y, 1.0f);
    const refhost::NodeData* overPrimitive = import.node("OverPrimitive");
    EXPECT_EQ(overPrimitive->kind, refhost::NodeKind::Primitive) << "a primitive base replaces the mesh";
    // Its geometry is the one the host builds from the parameters, not the mesh's.
    const refhost::PrimitiveMesh built = refhost::buildPrimitive(PrimitiveBox, overPrimitive->parameters);
    EXPECT_EQ(overPrimitive->vertices.size(), built.vertices.size());
    EXPECT_EQ(overPrimitive->faces.size(), built.faces.size());
    EXPECT_EQ(import.node("OverNothing")->kind, refhost::NodeKind::Node);
    const refhost::NodeData* bent = import.node("BentCylinder");
    EXPECT_EQ(bent->primitiveKind, PrimitiveCylinder) << "the Bend is no box";
    EXPECT_EQ(import.scene().nodes().size(), 4u) << "one host node per node";
}

TEST(MaxImport, BadChunkLengthsEndOrAreCutToTheirContainer) {
    MaxWriter w;
    const int node = w.classFor("Node", NodeClass);
    // A sub-chunk of length 3 ends the walk: the name after it is not read.
    w.addObject(static_cast<uint16_t>(node),
                {Chunk::int32s(0x0960, {-1}), Chunk::data(0x0974, {1, 2, 3, 4}).storedLength(3),
                 Chunk::utf16(0x0962, "Hidden")});
    // A name chunk that claims more than its node holds is cut to the node.
    w.addObject(static_cast<uint16_t>(node),
                {Chunk::int32s(0x0960, {-1}), Chunk::utf16(0x0962, "Cut").storedLength(500)});
    w.node("After", -1, {});
    MaxImport import;
    ASSERT_EQ(import.run(writeTempFile("lengths.max", w.build())), 1);
    ASSERT_EQ(import.scene().nodes().size(), 3u);
    EXPECT_FALSE(import.scene().nodes()[0]->name.has_value());
    EXPECT_EQ(import.scene().nodes()[1]->name, "Cut");
    EXPECT_NE(import.node("After"), nullptr) << "the objects after a damaged one are read";
}

TEST(MaxImport, ALengthOfZeroAtTheTopReadsNothing) {
    MaxWriter w;
    w.node("Unseen", -1, {});
    Bytes scene = w.sceneStream();
    putU32(scene, 2, 0);  // the 64-bit length form, which these readers do not know
    const Bytes file = writeCompound({{"ClassDirectory3", w.classDirectoryStream()}, {"Scene", scene}});
    MaxImport import;
    ASSERT_EQ(import.run(writeTempFile("zero.max", file)), 1);
    EXPECT_TRUE(import.scene().nodes().empty());
    EXPECT_EQ(import.messages(MessageSceneLog), std::vector<std::string>{"MAX: SCENE CLASS not found"});
}

TEST(MaxImport, ClassDirectoryStreamsAndTheirMessages) {
    MaxWriter w;
    w.node("N", -1, {});
    for (const char* name : {"ClassDirectory", "ClassDirectory2", "ClassDirectory3"}) {
        MaxImport import;
        ASSERT_EQ(import.run(writeTempFile("dir.max", w.build({}, {}, name))), 1);
        EXPECT_TRUE(import.messages(MessageNotice).empty()) << name;
        EXPECT_TRUE(import.messages(MessageWarning).empty()) << name;
        EXPECT_NE(import.node("N"), nullptr) << name;
    }

    MaxImport missing;
    ASSERT_EQ(missing.run(writeTempFile("nodir.max", writeCompound({{"Scene", w.sceneStream()}}))), 1);
    EXPECT_EQ(missing.messages(MessageNotice),
              std::vector<std::string>{"Indicates the specified file does not exist."});
    EXPECT_TRUE(missing.scene().nodes().empty()) << "without classes no node is known";

    // An unknown chunk in a class container, and a data chunk at the top level.
    Bytes directory = w.classDirectoryStream();
    const Bytes extra = concat({Chunk::data(0x1234, {1, 2}),
                                Chunk::container(0x2040, {Chunk::utf16(0x2042, "Odd"), Chunk::data(0x2050, {0})})});
    directory.insert(directory.end(), extra.begin(), extra.end());
    MaxImport unknown;
    ASSERT_EQ(unknown.run(writeTempFile("unknown.max",
                                        writeCompound({{"ClassDirectory3", directory}, {"Scene", w.sceneStream()}}))),
              1);
    EXPECT_EQ(unknown.messages(MessageWarning), std::vector<std::string>{"Class Directory. Unknown CHUNK ID: 2050"});
    EXPECT_NE(unknown.node("N"), nullptr);
}

TEST(MaxImport, OpenFailuresAreShownAndReturnZero) {
    MaxImport notCompound;
    EXPECT_EQ(notCompound.run(writeTempFile("text.max", Bytes(3000, 'x'))), 0);
    EXPECT_EQ(notCompound.messages(MessageNotice),
              std::vector<std::string>{"Indicates the file exists but is not a storage object."});
    EXPECT_TRUE(notCompound.scene().sceneInfo().empty());

    MaxImport noScene;
    EXPECT_EQ(noScene.run(writeTempFile("noscene.max", writeCompound({{"Other", Bytes(10, 1)}}))), 0);
    EXPECT_EQ(noScene.messages(MessageNotice),
              std::vector<std::string>{"Indicates the specified file does not exist."});

    Bytes damaged = writeCompound({{"Scene", Bytes(5000, 1)}});
    putU32(damaged, 48, 0x00FFFFFF);
    MaxImport corrupt;
    EXPECT_EQ(corrupt.run(writeTempFile("corrupt.max", damaged)), 0);
    EXPECT_EQ(corrupt.messages(MessageNotice), std::vector<std::string>{"OLE error code: 265"});

    MaxImport unnamed;
    refhost::MemoryStream memory(Bytes(100, 0));
    EXPECT_EQ(unnamed.library().maxImport()(&memory, &unnamed.scene(), 0, ImportModeScene), 0);
    EXPECT_EQ(unnamed.messages(MessageNotice), std::vector<std::string>{"Only file stream"});
    EXPECT_EQ(memory.readCalls(), 0);
}

TEST(MaxImport, TheFileIsReadByPathAfterTheHostStreamIsClosed) {
    MaxWriter w;
    w.node("N", -1, {});
    const std::string path = writeTempFile("closed.max", w.build({4096, true}));
    MaxImport import;
    refhost::FileStream stream(path);
    ASSERT_EQ(import.library().maxImport()(&stream, &import.scene(), 0, ImportModeScene), 1);
    EXPECT_TRUE(stream.closed());
    EXPECT_EQ(stream.readCalls(), 0);
    EXPECT_NE(import.node("N"), nullptr);
}
