// Files built to be slow or to make memory follow a count they declare: the
// work and the memory of their import stay in proportion to their size.
// Each is guarded by a bound in bytes or allocation requests; wall time only
// by a generous bound against hangs.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "fuzz_targets.h"
#include "host/app.h"
#include "platform/control.h"
#include "support/compound_writer.h"
#include "support/max_writer.h"

namespace {

using testing_support::Bytes;
using testing_support::MaxWriter;

// Memory an import may take: this many bytes per byte of its file, and a
// fixed allowance for buffers and the small files.
constexpr std::size_t BytesPerFileByte = 16;
constexpr std::size_t MemoryAllowance = 2u << 20;
// Not a measure of speed: only what no linear import comes near.
constexpr double HangSeconds = 60;
// The sanitizers slow everything down several times: their builds take
// smaller files of the same shapes.
#if defined(__SANITIZE_ADDRESS__)
constexpr int Scale = 4;
#else
constexpr int Scale = 1;
#endif
// A chain takes at most this many times as long as the same nodes without
// their links: a walk up the whole chain for every node would take
// thousands of times as long.
constexpr double ChainSlowdown = 10;

struct Cost {
    std::size_t heapPeak = 0;
    std::size_t globalPeak = 0;
    std::size_t hostBytes = 0;
    DWORD heapRequests = 0;
    double seconds = 0;
    fuzz_targets::Problems problems;
};

std::size_t memoryBound(std::size_t fileBytes) {
    return BytesPerFileByte * fileBytes + MemoryAllowance;
}

Cost measure(const char* target, const Bytes& bytes) {
    Cost cost;
    fuzz_targets::SessionHooks hooks;
    hooks.after = [&](refhost::App& app) { cost.hostBytes = app.bytesGranted(); };
    fuzz_targets::setSessionHooks(hooks);
    PlatformMemoryStats heap, global;
    PlatformResetMemoryPeak(PlatformHeapMemory);
    PlatformResetMemoryPeak(PlatformGlobalMemory);
    PlatformMemoryStatsOf(PlatformHeapMemory, &heap);
    PlatformMemoryStatsOf(PlatformGlobalMemory, &global);
    const auto start = std::chrono::steady_clock::now();
    cost.problems = fuzz_targets::findTarget(target)->run(bytes.data(), bytes.size());
    cost.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    fuzz_targets::setSessionHooks({});
    PlatformMemoryStats heapAfter, globalAfter;
    PlatformMemoryStatsOf(PlatformHeapMemory, &heapAfter);
    PlatformMemoryStatsOf(PlatformGlobalMemory, &globalAfter);
    cost.heapPeak = heapAfter.peakBytes - heap.bytesInUse;
    cost.globalPeak = globalAfter.peakBytes - global.bytesInUse;
    cost.heapRequests = heapAfter.requests - heap.requests;
    return cost;
}

// The checks every hostile file shares: a clean import, memory within the
// bound of its size, and no hang.
void expectProportional(const char* what, const Bytes& file, const Cost& cost) {
    for (const std::string& p : cost.problems) ADD_FAILURE() << what << ": " << p;
    const std::size_t bound = memoryBound(file.size());
    EXPECT_LE(cost.heapPeak, bound) << what << ": plug-in heap";
    EXPECT_LE(cost.globalPeak, bound) << what << ": global memory";
    EXPECT_LE(cost.hostBytes, bound) << what << ": host memory";
    EXPECT_LT(cost.seconds, HangSeconds) << what;
    std::printf("%s: %zu bytes; heap peak %zu, global peak %zu, host %zu bytes, %lu heap requests, %.2f s\n", what,
                file.size(), cost.heapPeak, cost.globalPeak, cost.hostBytes,
                static_cast<unsigned long>(cost.heapRequests), cost.seconds);
}

Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

std::string repeated(const std::string& piece, int times) {
    std::string out;
    out.reserve(piece.size() * static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

}  // namespace

TEST(AseLimits, HugeDeclaredCountsWithoutDataTakeNoMemoryBeyondTheFile) {
    // Counts far beyond the file fail their block at once.
    const Bytes huge = text(
        "*GEOMOBJECT { *MESH { *MESH_NUMVERTEX 16000000 *MESH_NUMFACES 16000000 *MESH_NUMTVERTEX 16000000 "
        "*MESH_VERTEX_LIST { } *MESH_TVERTLIST { } *MESH_FACE_LIST { } } }\n"
        "*SHAPEOBJECT { *SHAPE_LINECOUNT 16000000 }\n*MATERIAL_LIST { *MATERIAL_COUNT 65536 }\n");
    expectProportional("huge counts", huge, measure("ase_import", huge));
    // Counts that each fit, declared again and again without their entries,
    // add up to no more than the file can hold.
    const Bytes meshes =
        text(repeated("*GEOMOBJECT { *MESH { *MESH_NUMVERTEX 4000 *MESH_NUMFACES 4000 *MESH_NUMTVERTEX 4000 "
                      "*MESH_VERTEX_LIST { } *MESH_TVERTLIST { } *MESH_FACE_LIST { } } }\n",
                      2000));
    expectProportional("repeated mesh counts", meshes, measure("ase_import", meshes));
    const Bytes lines =
        text(repeated("*SHAPEOBJECT { *SHAPE_LINECOUNT 1 *SHAPE_LINE 0 { *SHAPE_VERTEXCOUNT 4000 } }\n", 5000));
    expectProportional("repeated line points", lines, measure("ase_import", lines));
    const Bytes materials = text("*MATERIAL_LIST { *MATERIAL_COUNT 1 *MATERIAL 0 { *NUMSUBMTLS 4000 " +
                                 repeated("*SUBMATERIAL 0 { *NUMSUBMTLS 4000 } ", 4000) + "} }");
    expectProportional("repeated material tables", materials, measure("ase_import", materials));
}

TEST(AseLimits, ListsThatHoldWhatTheyDeclareAreStillRead) {
    // A text that holds its entries may declare as many as it holds.
    std::string mesh = "*GEOMOBJECT { *MESH { *MESH_NUMVERTEX 50000 *MESH_VERTEX_LIST {\n";
    for (int i = 0; i < 50000; ++i) mesh += "*MESH_VERTEX " + std::to_string(i) + " 1 2 3\n";
    mesh += "} } }\n";
    const Bytes file = text(mesh);
    const Cost cost = measure("ase_import", file);
    expectProportional("a full vertex list", file, cost);
    EXPECT_GE(cost.hostBytes, 50000u * sizeof(Point3)) << "the vertices reached the host";
}

TEST(AseLimits, DeepBlocksManyTokensAndDeepObjectsAreRead) {
    const Bytes braces = text(std::string(1u << 20, '{') + std::string(1u << 20, '}'));
    expectProportional("nested braces", braces, measure("ase_import", braces));
    const Bytes tokens = text(repeated("*A 1 ", 1 << 19));
    expectProportional("tiny tokens", tokens, measure("ase_import", tokens));
    const Bytes groups = text(repeated("*GROUP \"g\" { *HELPEROBJECT { ", 50000));
    expectProportional("nested objects", groups, measure("ase_import", groups));
}

TEST(AseLimits, LongParentChainsLinkInLinearTime) {
    const int nodes = 100000 / Scale;
    std::string flat, forward, backward;
    for (int i = 0; i < nodes; ++i) {
        const std::string name = "*HELPEROBJECT { *NODE_NAME \"n" + std::to_string(i) + "\" *NODE_PARENT \"";
        flat += name + "\" }\n";
        forward += name + "n" + std::to_string(i - 1) + "\" }\n";
        backward += name + "n" + std::to_string(i + 1) + "\" }\n";
    }
    const Cost unlinked = measure("ase_import", text(flat));
    const Cost forwardCost = measure("ase_import", text(forward));
    const Cost backwardCost = measure("ase_import", text(backward));
    expectProportional("a chain named forward", text(forward), forwardCost);
    expectProportional("a chain named backward", text(backward), backwardCost);
    EXPECT_LT(forwardCost.seconds, ChainSlowdown * unlinked.seconds + 0.5);
    EXPECT_LT(backwardCost.seconds, ChainSlowdown * unlinked.seconds + 0.5);
}

namespace {

constexpr uint32_t ContainerBit = 0x80000000u;

void appendHeader(Bytes& bytes, uint16_t id, uint32_t length) {
    bytes.push_back(static_cast<unsigned char>(id));
    bytes.push_back(static_cast<unsigned char>(id >> 8));
    testing_support::appendInt32(bytes, static_cast<int32_t>(length));
}

// A Scene stream of one top chunk around these bytes.
Bytes sceneAround(const Bytes& contents) {
    Bytes scene;
    appendHeader(scene, 0x2004, ContainerBit | static_cast<uint32_t>(6 + contents.size()));
    scene.insert(scene.end(), contents.begin(), contents.end());
    return scene;
}

std::vector<float> vertices(int count) {
    std::vector<float> xyz;
    for (int i = 0; i < count; ++i) xyz.insert(xyz.end(), {static_cast<float>(i), 1, 2});
    return xyz;
}

}  // namespace

TEST(MaxLimits, ReferenceListsNamingTheSameEntryDoNotMultiplyTheWork) {
    MaxWriter w;
    const int mesh = w.mesh(vertices(20000), {{0, 1, 2, 7}});
    const int prs = w.transform({w.position(1, 0, 0), w.rotation(0, 0, 0, 1), w.scale(1, 1, 1)});
    w.node("Same", -1, std::vector<int32_t>(100000, mesh));
    w.node("Controllers", -1, std::vector<int32_t>(100000, prs));
    const Bytes file = w.build();
    const Cost cost = measure("max_import", file);
    expectProportional("repeated references", file, cost);
    EXPECT_LE(cost.heapRequests, file.size() / 16) << "each object read costs allocations; they must not multiply";
}

TEST(MaxLimits, ManyNodesOfOneLargeMeshStayInProportion) {
    MaxWriter w;
    const int mesh = w.mesh(vertices(20000), {{0, 1, 2, 7}});
    for (int i = 0; i < 20000; ++i) w.node("", -1, {mesh});
    const Bytes file = w.build();
    const Cost cost = measure("max_import", file);
    for (const std::string& p : cost.problems) ADD_FAILURE() << p;
    // Every copy of the mesh is read from the file: the work budget of the
    // chunk reader bounds them, in proportion to the file.
    EXPECT_LE(cost.hostBytes, 128 * file.size() + MemoryAllowance);
    EXPECT_LE(cost.heapPeak, 128 * file.size() + MemoryAllowance);
    EXPECT_LT(cost.seconds, HangSeconds);
    std::printf("instances of one mesh: %zu bytes; heap peak %zu, host %zu bytes, %.2f s\n", file.size(), cost.heapPeak,
                cost.hostBytes, cost.seconds);
}

TEST(MaxLimits, LongParentChainsAndManyTinyChunks) {
    const int nodes = 100000 / Scale;
    MaxWriter chain, flat;
    for (int i = 0; i < nodes; ++i) {
        chain.node("", i - 1, {});
        flat.node("", -1, {});
    }
    const Bytes chainFile = chain.build();
    const Cost unlinked = measure("max_import", flat.build());
    const Cost linked = measure("max_import", chainFile);
    expectProportional("a parent chain", chainFile, linked);
    EXPECT_LT(linked.seconds, ChainSlowdown * unlinked.seconds + 0.5);

    // A million empty objects, and as many empty chunks in the class directory.
    Bytes objects, entries;
    for (int i = 0; i < 1000000 / Scale; ++i) {
        appendHeader(objects, 0, 6);
        appendHeader(entries, 0x2040, ContainerBit | 6);
    }
    const Bytes tinyFile =
        testing_support::writeCompound({{"ClassDirectory3", entries}, {"Scene", sceneAround(objects)}});
    expectProportional("tiny chunks", tinyFile, measure("max_import", tinyFile));
}

TEST(MaxLimits, DeeplyNestedChunksAreWalkedToTheBoundOnly) {
    constexpr uint32_t Depth = 200000;
    Bytes nested;
    for (uint32_t depth = 0; depth < Depth; ++depth) {
        appendHeader(nested, depth == 0 ? 0 : 1, ContainerBit | (6 * (Depth - depth) + 10));  // class 0 outside
    }
    appendHeader(nested, 0x0100, 10);
    nested.insert(nested.end(), 4, 0);
    MaxWriter w;
    w.addClass("Thing", {5, 6});
    const Bytes streams = fuzz_targets::viewerInput(w.classDirectoryStream(), sceneAround(nested));
    expectProportional("nested chunks", streams, measure("max_viewer", streams));
}

TEST(MaxLimits, CompoundHeadersThatDeclareHugeTablesFailWithinTheFile) {
    MaxWriter w;
    w.node("N", -1, {});
    for (const uint32_t offset : {44u, 64u, 72u}) {  // FAT, mini FAT and DIFAT sector counts
        Bytes file = w.build({}, {{"ThumbnailImage", Bytes(100, 1)}});
        testing_support::putU32(file, offset, 0x7FFFFFFFu);
        expectProportional("a huge table count", file, measure("max_import", file));
        expectProportional("a huge table count, thumbnail", file, measure("max_thumbnail", file));
    }
}
