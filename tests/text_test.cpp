// Host text as UTF-8 (the dump, glTF names) and bitmap paths as relative URIs.
#include "host/text.h"

#include <gtest/gtest.h>

#include "host/dump.h"
#include "uri.h"

TEST(HostText, EveryByteIsItsLatin1Character) {
    EXPECT_EQ(refhost::utf8Text("Box01"), "Box01");
    EXPECT_EQ(refhost::utf8Text("Gr\xFC\xDF"
                                "e"),
              "Gr\xC3\xBC\xC3\x9F"
              "e");
    EXPECT_EQ(refhost::utf8Text("\xC3\xBC"), "\xC3\x83\xC2\xBC") << "bytes that would also be UTF-8 are bytes";
    EXPECT_EQ(refhost::utf8Text(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(HostText, DumpOfEightBitNamesSerialises) {
    refhost::App app;
    refhost::Scene scene(app);
    static_cast<HostScene&>(scene).CreateNode()->SetName("\xBF\xDE\xC2\xCA");  // 8-bit text of another code page
    app.ShowMessage(0, "\xFF skiped");
    const auto j = refhost::dumpScene(app, scene);
    EXPECT_NO_THROW((void)j.dump());
    EXPECT_EQ(j["nodes"][0]["name"], "\xC2\xBF\xC3\x9E\xC3\x82\xC3\x8A");
}

TEST(GltfUri, BitmapPathsBecomeRelativeUris) {
    EXPECT_EQ(gltf::relativeUri("C:\\3dsmax\\maps\\Red Wood.jpg"), "Red%20Wood.jpg");
    EXPECT_EQ(gltf::relativeUri("/home/u/tex/a#b.png"), "a%23b.png");
    EXPECT_EQ(gltf::relativeUri("\\\\server\\share\\x.tga"), "x.tga");
    EXPECT_EQ(gltf::relativeUri("maps\\wood.bmp"), "maps/wood.bmp") << "a relative path keeps its folders";
    EXPECT_EQ(gltf::relativeUri("D:wood.bmp"), "wood.bmp");
    EXPECT_EQ(gltf::relativeUri("caf\xE9.png"), "caf%C3%A9.png");
    EXPECT_EQ(gltf::relativeUri("C:\\maps\\"), "");
    EXPECT_EQ(gltf::relativeUri(""), "");
}
