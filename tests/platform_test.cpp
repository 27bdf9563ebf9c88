// The platform's own helpers: bounded allocation and formatting.
#include <gtest/gtest.h>

#include "platform/control.h"
#include "platform/heap.h"
#include "platform/text_format.h"

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
