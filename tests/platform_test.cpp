// The platform stand-ins: what the plug-in expects of the Windows calls.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/control.h"
#include "platform/heap.h"
#include "platform/text_format.h"

TEST(PlatformStrings, CompareCopyAndConcatenate) {
    EXPECT_EQ(lstrcmpiA("*material_count", "*MATERIAL_COUNT"), 0);
    EXPECT_LT(lstrcmpiA("abc", "ABD"), 0);
    EXPECT_GT(lstrcmpiA("abcd", "ABC"), 0);
    EXPECT_LT(lstrcmpiA("", "a"), 0);
    EXPECT_NE(lstrcmpA("Node", "node"), 0);
    EXPECT_EQ(lstrcmpA("}", "}"), 0);

    char buffer[32];
    EXPECT_EQ(lstrcpyA(buffer, "Scene"), buffer);
    lstrcatA(buffer, "\r\n");
    EXPECT_STREQ(buffer, "Scene\r\n");
    EXPECT_EQ(lstrlenA(buffer), 7);
    EXPECT_EQ(lstrlenA(nullptr), 0);
}

TEST(PlatformGlobalMemory, MovableBlocksLockGrowAndFree) {
    const int before = PlatformGlobalBlocksInUse();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 8);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), 8u);
    auto* p = static_cast<char*>(GlobalLock(block));
    ASSERT_NE(p, nullptr);
    std::memcpy(p, "abcdefg", 8);
    EXPECT_FALSE(GlobalUnlock(block)) << "the last unlock answers FALSE";

    HGLOBAL grown = GlobalReAlloc(block, 4096, GMEM_MOVEABLE);
    ASSERT_EQ(grown, block) << "a movable block keeps its handle";
    EXPECT_STREQ(static_cast<char*>(GlobalLock(grown)), "abcdefg");
    GlobalUnlock(grown);

    EXPECT_EQ(PlatformGlobalBlocksInUse(), before + 1);
    EXPECT_EQ(GlobalFree(grown), nullptr);
    EXPECT_EQ(PlatformGlobalBlocksInUse(), before);
    EXPECT_EQ(GlobalLock(grown), nullptr) << "a freed handle is refused";
    EXPECT_EQ(GlobalAlloc(GMEM_FIXED, 8), nullptr) << "only movable blocks are supported";
}

TEST(PlatformHeap, ArraysCheckTheirSizeAndBlocksAreCounted) {
    const int before = PlatformHeapBlocksInUse();
    EXPECT_EQ(heapAllocArray(0x40000000u, 16), nullptr) << "the size would not fit 32 bits";
    auto* zeroed = static_cast<unsigned char*>(heapAllocArray(100, 4, true));
    ASSERT_NE(zeroed, nullptr);
    for (int i = 0; i < 400; ++i) ASSERT_EQ(zeroed[i], 0);
    EXPECT_EQ(PlatformHeapBlocksInUse(), before + 1);
    heapFree(zeroed);
    EXPECT_EQ(PlatformHeapBlocksInUse(), before);
}

TEST(PlatformResources, FoundByTypeAndNameIgnoringCase) {
    static const char text[] = "{\\rtf1 hello}";
    const auto module = reinterpret_cast<HMODULE>(0x5000000);
    PlatformRegisterResource(module, "RTF", "INFO", text, sizeof text - 1);
    PlatformRegisterResource(module, RT_GROUP_ICON, "MAX", text, 4);

    HRSRC found = FindResourceA(module, "info", "rtf");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(SizeofResource(module, found), sizeof text - 1);
    EXPECT_EQ(LockResource(LoadResource(module, found)), text);
    EXPECT_NE(FindResourceA(module, "MAX", MAKEINTRESOURCEA(14)), nullptr);
    EXPECT_EQ(FindResourceA(module, "MAX", "RTF"), nullptr);
    EXPECT_EQ(FindResourceA(reinterpret_cast<HMODULE>(0x6000000), "INFO", "RTF"), nullptr) << "another module";

    PlatformUnregisterModule(module);
    EXPECT_EQ(FindResourceA(module, "INFO", "RTF"), nullptr);
}

TEST(PlatformText, FormattingIsCutToTheBuffer) {
    char small[8];
    EXPECT_EQ(formatText(small, "%s skiped", "*VERY_LONG_KEYWORD"), 7);
    EXPECT_STREQ(small, "*VERY_L");
    char exact[12];
    EXPECT_EQ(formatText(exact, "OLE error code: %d", 6), 11);
    char fits[32];
    EXPECT_EQ(formatText(fits, "OLE error code: %d", 6), 17);
    EXPECT_STREQ(fits, "OLE error code: 6");
}
