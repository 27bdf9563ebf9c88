// The structure viewer through the real plug-in: the debug mode that opens
// it, the window it makes and replaces, the class list, and the chunk tree
// with its texts, summaries and order, on files made by the test writer.
#include <gtest/gtest.h>

#include <cmath>

#include "host/dump.h"
#include "max/viewer/tree_items.h"
#include "max/viewer/viewer.h"
#include "support/max_writer.h"
#include "support/mutations.h"
#include "support/scene_check.h"
#include "support/temp_files.h"
#include "support/viewer_tree.h"

using namespace testing_support;

namespace {

constexpr char Notice[] = "MAX file format in laboratory testing";
constexpr ClassId ThingClass{5, 6};

// A file of one scene object of the class "Thing" that holds the chunks.
std::string objectFile(std::vector<Chunk> chunks) {
    MaxWriter w;
    w.addObject(static_cast<uint16_t>(w.addClass("Thing", ThingClass)), std::move(chunks));
    return writeTempFile("object.max", w.build());
}

// A file whose "Scene" stream holds exactly these bytes.
std::string sceneFile(const MaxWriter& classes, const Bytes& scene) {
    return writeTempFile("scene.max",
                         writeCompound({{"ClassDirectory3", classes.classDirectoryStream()}, {"Scene", scene}}));
}

// Where the chunk tree's top chunk is among the items: after "CLASSES" and
// its entries.
std::size_t topIndex(const std::vector<ViewerItem>& items) {
    for (std::size_t i = 1; i < items.size(); ++i) {
        if (items[i].item.depth == 0) return i;
    }
    return items.size();
}

// The texts of the chunks inside the one scene object of objectFile.
std::vector<std::string> objectChunkTexts(std::vector<Chunk> chunks) {
    DebugImport import;
    import.run(objectFile(std::move(chunks)));
    const std::vector<ViewerItem> items = import.items();
    const std::size_t top = topIndex(items);
    if (top + 1 >= items.size()) return {};
    return childTexts(items, top + 1);
}

Bytes counting(std::size_t n) {
    Bytes bytes;
    for (std::size_t i = 0; i < n; ++i) bytes.push_back(static_cast<unsigned char>(i));
    return bytes;
}

int windowsCreated() {
    return PlatformWindowsCreated();
}

}  // namespace

TEST(MaxViewerDebugMode, TheSettingOffLeavesShiftUnreadAndNoWindow) {
    MaxWriter w;
    w.node("N", -1, {});
    const std::string path = writeTempFile("off.max", w.build());
    for (bool setting : {false, true}) {
        SCOPED_TRACE(setting ? "DebugWindow 0 stored" : "DebugWindow absent");
        MaxImport import;
        if (setting) import.host().settings().set("MAX", "DebugWindow", 0);
        PlatformSetKeyDown(VK_SHIFT, TRUE);
        const int reads = PlatformKeyStateReads();
        const int windows = windowsCreated();
        EXPECT_EQ(import.run(path), 1);
        PlatformSetKeyDown(VK_SHIFT, FALSE);
        EXPECT_EQ(PlatformKeyStateReads(), reads) << "the key is not read while the setting is off";
        EXPECT_EQ(windowsCreated(), windows);
        EXPECT_TRUE(import.messages(MessageNotice).empty());
        EXPECT_NE(import.node("N"), nullptr);
    }
}

TEST(MaxViewerDebugMode, TheSettingOnWithoutShiftImportsExactlyAsWithout) {
    MaxWriter w;
    w.node("Box", -1, {w.mesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2, 7}})});
    w.scene({0});
    const std::string path = writeTempFile("plain.max", w.build());
    MaxImport plain;
    ASSERT_EQ(plain.run(path), 1);

    MaxImport setting;
    setting.host().settings().set("MAX", "DebugWindow", 1);
    const int reads = PlatformKeyStateReads();
    const int windows = windowsCreated();
    EXPECT_EQ(setting.run(path), 1);
    EXPECT_EQ(PlatformKeyStateReads(), reads + 1) << "Shift is read once, when the setting is on";
    EXPECT_EQ(windowsCreated(), windows);
    EXPECT_EQ(refhost::dumpScene(setting.host(), setting.scene()), refhost::dumpScene(plain.host(), plain.scene()));
}

TEST(MaxViewerDebugMode, ShiftHeldOpensTheViewerAndTheImportGoesOnAsUsual) {
    MaxWriter w;
    w.node("Box", -1, {w.mesh({0, 0, 0, 1, 0, 0, 0, 1, 0}, {{0, 1, 2, 7}})});
    w.scene({0});
    const std::string path = writeTempFile("debug.max", w.build());
    MaxImport plain;
    ASSERT_EQ(plain.run(path), 1);

    DebugImport debug;
    EXPECT_EQ(debug.run(path), 1);
    PlatformWindowInfo window;
    ASSERT_TRUE(debug.window(window));
    EXPECT_STREQ(window.className, "SysTreeView32");
    EXPECT_STREQ(window.title, "MAX File Structure");
    EXPECT_EQ(window.style, 0x10CF0027u);
    EXPECT_EQ(window.exStyle, 0x200u);
    for (int v : {window.x, window.y, window.width, window.height}) EXPECT_EQ(v, CW_USEDEFAULT);
    EXPECT_EQ(window.parent, refhost::MainWindowHandle);
    EXPECT_EQ(window.menu, nullptr);
    EXPECT_EQ(window.instance, debug.library().instance());
    EXPECT_FALSE(window.destroyed) << "the window stays open after the import";

    // The stream was read again from its start: the scene is the same, and
    // the notice of the fill is the only message more.
    auto debugDump = refhost::dumpScene(debug.host(), debug.scene());
    auto plainDump = refhost::dumpScene(plain.host(), plain.scene());
    auto plainMessages = plainDump["messages"];
    auto notice = decltype(plainMessages)::object();
    notice["level"] = MessageNotice;
    notice["text"] = Notice;
    plainMessages.insert(plainMessages.begin(), notice);
    EXPECT_EQ(debugDump["messages"], plainMessages);
    debugDump.erase("messages");
    plainDump.erase("messages");
    EXPECT_EQ(debugDump, plainDump);

    // The class list comes first: the window was there before the class directory was read.
    const std::vector<ViewerItem> items = debug.items();
    ASSERT_GE(items.size(), 2u);
    EXPECT_EQ(items[0].text, "CLASSES");
    EXPECT_EQ(items[topIndex(items)].text.rfind("CHUNK 0x2004 Size: ", 0), 0u);
    for (const ViewerItem& i : items) {
        EXPECT_EQ(i.item.mask, TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM) << i.text;
        EXPECT_EQ(i.item.image, 0);
        EXPECT_EQ(i.item.selectedImage, 0);
        EXPECT_EQ(i.item.param, 0);
    }
}

TEST(MaxViewerDebugMode, AWindowThatCannotBeMadeLeavesTheImportAlone) {
    MaxWriter w;
    w.node("N", -1, {});
    const std::string path = writeTempFile("nowindow.max", w.build());
    PlatformSetTreeViewRegistered(FALSE);
    DebugImport debug;
    const int windows = windowsCreated();
    EXPECT_EQ(debug.run(path), 1);
    PlatformSetTreeViewRegistered(TRUE);
    EXPECT_EQ(windowsCreated(), windows);
    EXPECT_TRUE(debug.messages(MessageNotice).empty()) << "no viewer, no fill";
    EXPECT_NE(debug.node("N"), nullptr);
}

TEST(MaxViewerWindow, TheNextDebugImportReplacesTheWindow) {
    MaxWriter w;
    w.node("N", -1, {});
    const std::string path = writeTempFile("replace.max", w.build());
    DebugImport first;
    first.run(path);
    PlatformWindowInfo one;
    ASSERT_TRUE(first.window(one));
    const std::size_t itemCount = first.items().size();
    EXPECT_TRUE(IsWindow(one.handle));

    DebugImport second;
    second.run(path);
    PlatformWindowInfo two;
    ASSERT_TRUE(second.window(two));
    EXPECT_NE(two.handle, one.handle);
    EXPECT_FALSE(IsWindow(one.handle)) << "the first window was destroyed";
    EXPECT_TRUE(IsWindow(two.handle));
    EXPECT_EQ(second.items().size(), itemCount) << "the new window has the whole tree, not an addition";

    // A window the user closed is not destroyed again; a new one is made.
    EXPECT_TRUE(DestroyWindow(two.handle));
    DebugImport third;
    third.run(path);
    PlatformWindowInfo three;
    ASSERT_TRUE(third.window(three));
    EXPECT_TRUE(IsWindow(three.handle));
    EXPECT_EQ(third.items().size(), itemCount);
}

TEST(MaxViewerTree, ClassesAndChunksInFileOrderWithSummariesAfterTheChildren) {
    MaxWriter w;
    const int thing = w.addClass("Thing", ThingClass);
    w.addClass("", {7, 8});
    w.addClass("Node", NodeClass);
    w.addObject(static_cast<uint16_t>(thing), {Chunk::int32s(0x0001, {3}), Chunk::utf16(0x0962, "Box01")});
    w.addObject(2, {Chunk::container(0x0010, {Chunk::data(0x0020, {0xAB})})});
    w.addObject(9, {});  // no such class
    DebugImport import;
    import.run(writeTempFile("order.max", w.build()));
    const std::vector<ViewerItem> items = import.items();

    std::vector<std::pair<int, std::string>> shape;
    for (const ViewerItem& i : items) shape.emplace_back(i.item.depth, i.text);
    const std::vector<std::pair<int, std::string>> expected{
        {0, "CLASSES"},
        {1, "  0 Thing CLSID{00000005,00000006} "},
        {1, "  1  CLSID{00000007,00000008} "},
        {1, "  2 Node CLSID{00000001,00000000} "},
        {0, "CHUNK 0x2004 Size: 57 "},
        {1, "CHUNK 0x0000 Size: 26  [ Thing 0 ]"},
        {2, "Count :0x3 (3)"},
        {2, "CHUNK 0x0962 Size: 10 DATA [ Box01 ]"},
        {1, "CHUNK 0x0002 Size: 13  [ Node 1 ]"},
        {2, "CHUNK 0x0010 Size: 7 "},
        {3, "CHUNK 0x0020 Size: 1 DATA [ ab ]"},
        {1, "CHUNK 0x0009 Size: 0  [  2 ]"},
    };
    ASSERT_EQ(shape, expected);

    // The classes went in front of one another from the highest index down.
    EXPECT_GT(items[1].item.inserted, items[2].item.inserted);
    EXPECT_GT(items[2].item.inserted, items[3].item.inserted);
    // The chunk tree was inserted in the order it shows, each item under its parent.
    for (std::size_t i = 5; i < items.size(); ++i) {
        EXPECT_GT(items[i].item.inserted, items[i - 1].item.inserted) << items[i].text;
    }
    EXPECT_EQ(items[4].item.updated, 0u) << "the top chunk has no summary";
    EXPECT_EQ(items[6].item.updated, 0u) << "a value replaces the text; there is no summary";
    EXPECT_EQ(items[7].item.updated, items[7].item.inserted + 1) << "a data chunk's summary follows its insertion";
    // An object's summary is set after all its children were inserted.
    EXPECT_GT(items[5].item.updated, items[7].item.inserted);
    EXPECT_GT(items[8].item.updated, items[10].item.updated);
    EXPECT_GT(items[10].item.updated, items[9].item.inserted);
    EXPECT_EQ(items[9].item.updated, 0u);
}

// Each chunk's own text: a value in place of the text (read only from the
// chunk's own data), a string's first 128 units, other data's first bytes.
TEST(MaxViewerTree, EachChunkShowsItsValueTextOrFirstBytes) {
    std::string first50, long200;
    for (int i = 0; i < 50; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", i);
        first50 += (i ? " " : "") + std::string(hex);
    }
    for (int i = 0; i < 200; ++i) long200 += static_cast<char>('a' + i % 26);
    const std::vector<std::pair<Chunk, std::string>> cases = {
        {Chunk::int32s(0x0001, {-2}), "Count :0xfffffffe (-2)"},
        {Chunk::int32s(0x0003, {26}), "Index :0x1a (26)"},
        {Chunk::data(0x0005, {0xFF, 0xFF}), "Version :65535"},
        {Chunk::floats(0x0100, {1.5f}), "Float :1.5"},
        {Chunk::floats(0x0102, {1.0f, 0.5f, 0.0f}), "rgb(1,0.5,0) or RGB(255,127,0)"},
        {Chunk::floats(0x0102, {-0.25f, 2.0f, 0.999f}), "rgb(-0.25,2,0.999) or RGB(-63,510,254)"},
        {Chunk::floats(0x0102, {std::nanf(""), 1e30f, -1e30f}), "rgb(nan,1e+30,-1e+30) or RGB(0,2147483647,-2147483648)"},
        {Chunk::container(0x0001, {}), "CHUNK 0x0001 Size: 0 "},  // a container is never read as a value
        {Chunk::data(0x0001, {0x07, 0x00}), "CHUNK 0x0001 Size: 2 DATA [ 07 00 ]"},  // too short for a count
        {Chunk::data(0x0005), "CHUNK 0x0005 Size: 0 DATA"},
        {Chunk::floats(0x0102, {1.0f, 1.0f}), "CHUNK 0x0102 Size: 8 DATA [ 00 00 80 3f 00 00 80 3f ]"},
        {Chunk::utf16(0x0110, "Box01"), "CHUNK 0x0110 Size: 10 DATA [ Box01 ]"},
        {Chunk::utf16(0x09BA, "Box01"), "CHUNK 0x09ba Size: 10 DATA [ Box01 ]"},
        {Chunk::utf16(0x1230, "Box01"), "CHUNK 0x1230 Size: 10 DATA [ Box01 ]"},
        {Chunk::utf16(0x1240, "Box01"), "CHUNK 0x1240 Size: 10 DATA [ Box01 ]"},
        {Chunk::utf16(0x2042, "Box01"), "CHUNK 0x2042 Size: 10 DATA [ Box01 ]"},
        {Chunk::utf16(0x4001, long200), "CHUNK 0x4001 Size: 400 DATA [ " + long200.substr(0, 128) + " ]"},
        {Chunk::data(0x2042), "CHUNK 0x2042 Size: 0 DATA"},
        {Chunk::data(0x0962, {'A', 0x01, 'b'}), "CHUNK 0x0962 Size: 3 DATA [ A ]"},  // whole units only
        {Chunk::data(0x1234, counting(80)), "CHUNK 0x1234 Size: 80 DATA [ " + first50 + " ]"},
        {Chunk::data(0x1236), "CHUNK 0x1236 Size: 0 DATA"},
    };
    std::vector<Chunk> chunks;
    std::vector<std::string> expected;
    for (const auto& [chunk, text] : cases) {
        chunks.push_back(chunk);
        expected.push_back(text);
    }
    EXPECT_EQ(objectChunkTexts(chunks), expected);
}

TEST(MaxViewerTree, AnObjectsPlaceIsShownInHex) {
    MaxWriter w;
    for (int i = 0; i < 26; ++i) w.addObject(static_cast<uint16_t>(w.classFor("Thing", ThingClass)), {});
    w.node("N", -1, {});
    ASSERT_EQ(w.objectCount(), 27);
    DebugImport import;
    import.run(writeTempFile("places.max", w.build()));
    const std::vector<ViewerItem> items = import.items();
    const std::vector<std::string> objects = childTexts(items, topIndex(items));
    ASSERT_EQ(objects.size(), 27u);
    EXPECT_EQ(objects[10], "CHUNK 0x0000 Size: 0  [ Thing A ]");
    EXPECT_EQ(objects[26], "CHUNK 0x0001 Size: 28  [ Node 1A ]") << "a container, not a count";
}

TEST(MaxViewerTree, LongTextsAreCutToWhatAnItemHolds) {
    MaxWriter w;
    const std::string longName(300, 'n');
    w.addObject(static_cast<uint16_t>(w.addClass(longName, ThingClass)), {Chunk::utf16(0x0962, std::string(120, 's'))});
    DebugImport import;
    import.run(writeTempFile("long.max", w.build()));
    const std::vector<ViewerItem> items = import.items();
    ASSERT_GE(items.size(), 5u);
    for (const ViewerItem& i : items) EXPECT_LE(i.text.size(), TreeItemTextLength) << i.text;

    EXPECT_EQ(items[1].text, "  0 " + longName.substr(0, TreeItemTextLength - 4));
    const std::string& object = items[topIndex(items) + 1].text;
    EXPECT_EQ(object.size(), TreeItemTextLength);
    EXPECT_EQ(object.substr(object.size() - 6), "nn 0 ]") << "the name is cut, not the place";
    EXPECT_EQ(items[topIndex(items) + 2].text, "CHUNK 0x0962 Size: 240 DATA [ " + std::string(120, 's') + " ]");
}

TEST(MaxViewerTree, DataChunksAtTheTopLevelAndHostileLengths) {
    MaxWriter classes;
    classes.addClass("Thing", ThingClass);
    Bytes scene =
        Chunk::container(
            0x2004,
            {
                Chunk::data(0x0000, {1, 2}),
                Chunk::container(0x0000, {Chunk::data(0x0100, {9}).storedLength(3), Chunk::utf16(0x0962, "never")}),
                Chunk::container(0x0000, {Chunk::int32s(0x0001, {5})}),
                Chunk::data(0x0962, {'x', 0}).storedLength(0x7FFFFF00u),
            })
            .bytes();
    DebugImport import;
    import.run(sceneFile(classes, scene));
    const std::vector<ViewerItem> items = import.items();
    std::vector<std::pair<int, std::string>> shape;
    for (std::size_t i = topIndex(items); i < items.size(); ++i) shape.emplace_back(items[i].item.depth, items[i].text);
    const std::vector<std::pair<int, std::string>> expected{
        {0, "CHUNK 0x2004 Size: " + std::to_string(scene.size() - 6) + " "},
        {1, "CHUNK 0x0000 Size: 2 DATA [ 01 02 ]"},
        {1, "CHUNK 0x0000 Size: 23  [ Thing 1 ]"},  // a length below 6 ends the walk inside
        {1, "CHUNK 0x0000 Size: 10  [ Thing 2 ]"},
        {2, "Count :0x5 (5)"},
        {1, "CHUNK 0x0962 Size: 2 DATA [ x ]"},  // cut to the top chunk
    };
    EXPECT_EQ(shape, expected);
}

TEST(MaxViewerTree, ATopChunkTooShortToWalkShowsNothing) {
    MaxWriter classes;
    classes.addClass("Thing", ThingClass);
    Bytes scene = Chunk::container(0x200E, {Chunk::data(1, {1})}).storedLength(0).bytes();
    DebugImport import;
    import.run(sceneFile(classes, scene));
    const std::vector<ViewerItem> items = import.items();
    ASSERT_EQ(items.size(), 2u) << "the class list alone";
    EXPECT_EQ(items[0].text, "CLASSES");
    EXPECT_EQ(import.messages(MessageNotice), std::vector<std::string>{Notice});
}

TEST(MaxViewerTree, AHostileNestingIsShownDownToTheBoundWithoutRecursingFurther) {
    MaxWriter classes;
    classes.addClass("Thing", ThingClass);
    constexpr uint32_t Levels = 200000;
    Bytes scene(6 * Levels);
    for (uint32_t i = 0; i < Levels; ++i) {
        putU16(scene, 6 * i, 0x0000);
        putU32(scene, 6 * i + 2, (6 * (Levels - i)) | 0x80000000u);
    }
    DebugImport import;
    EXPECT_EQ(import.run(sceneFile(classes, scene)), 1);
    const std::vector<ViewerItem> items = import.items();
    const std::size_t top = topIndex(items);
    ASSERT_EQ(items.size() - top, MaxViewerDepth + 1) << "the top chunk and the levels down to the bound";
    EXPECT_EQ(items.back().item.depth, static_cast<int>(MaxViewerDepth));
    EXPECT_EQ(items.back().text, "CHUNK 0x0000 Size: " + std::to_string(6 * (Levels - MaxViewerDepth) - 6) + " ");
    EXPECT_EQ(items[top + 1].text, "CHUNK 0x0000 Size: " + std::to_string(6 * (Levels - 1) - 6) + "  [ Thing 0 ]");
}
