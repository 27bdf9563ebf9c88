// The tree-view window stand-in: creation of the one class there is, the
// items that TVM_INSERTITEMA and TVM_SETITEMA build, and their destruction.
#include <gtest/gtest.h>

#include "support/viewer_tree.h"

using testing_support::ViewerItem;
using testing_support::viewerItems;

namespace {

HWND createTree(const char* className = "SysTreeView32") {
    return CreateWindowExA(0x200, className, "Tree", 0x10CF0027, 1, 2, 3, 4, nullptr, nullptr, nullptr, nullptr);
}

HTREEITEM insert(HWND tree, HTREEITEM parent, HTREEITEM after, const char* text, UINT mask = TVIF_TEXT) {
    TVINSERTSTRUCTA is{};
    is.hParent = parent;
    is.hInsertAfter = after;
    is.item.mask = mask;
    is.item.pszText = const_cast<LPSTR>(text);
    is.item.iImage = 3;
    is.item.lParam = 77;
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&is)));
}

LRESULT setText(HWND tree, HTREEITEM item, const char* text) {
    TVITEMA change{};
    change.mask = TVIF_TEXT;
    change.hItem = item;
    change.pszText = const_cast<LPSTR>(text);
    return SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&change));
}

std::vector<std::pair<int, std::string>> shape(HWND tree) {
    std::vector<std::pair<int, std::string>> out;
    for (const ViewerItem& i : viewerItems(tree)) out.emplace_back(i.item.depth, i.text);
    return out;
}

}  // namespace

TEST(TreeViewStandIn, OnlyTheTreeViewClassIsCreatedAndItsRecordKept) {
    const int before = PlatformWindowsCreated();
    EXPECT_EQ(createTree("Button"), nullptr);
    EXPECT_EQ(CreateWindowExA(0, MAKEINTRESOURCEA(5), "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr), nullptr);
    PlatformSetTreeViewRegistered(FALSE);
    EXPECT_EQ(createTree(), nullptr) << "the class must be registered by the host's process";
    PlatformSetTreeViewRegistered(TRUE);
    EXPECT_EQ(PlatformWindowsCreated(), before);

    const HWND tree = createTree("systreeview32");
    ASSERT_NE(tree, nullptr) << "class names ignore case";
    EXPECT_TRUE(IsWindow(tree));
    ASSERT_EQ(PlatformWindowsCreated(), before + 1);
    PlatformWindowInfo info;
    ASSERT_TRUE(PlatformWindowAt(before, &info));
    EXPECT_EQ(info.handle, tree);
    EXPECT_STREQ(info.className, "systreeview32");
    EXPECT_STREQ(info.title, "Tree");
    EXPECT_EQ(info.style, 0x10CF0027u);
    EXPECT_EQ(info.exStyle, 0x200u);
    EXPECT_EQ(info.x + info.y + info.width + info.height, 10);
    EXPECT_FALSE(info.destroyed);

    EXPECT_NE(insert(tree, TVI_ROOT, TVI_LAST, "a"), nullptr);
    EXPECT_TRUE(DestroyWindow(tree));
    EXPECT_FALSE(IsWindow(tree));
    EXPECT_FALSE(DestroyWindow(tree)) << "a window is destroyed once";
    EXPECT_EQ(insert(tree, TVI_ROOT, TVI_LAST, "b"), nullptr);
    EXPECT_EQ(PlatformTreeItemCount(tree), 0);
    ASSERT_TRUE(PlatformWindowAt(before, &info));
    EXPECT_TRUE(info.destroyed);
    EXPECT_FALSE(IsWindow(nullptr));
}

TEST(TreeViewStandIn, ItemsGoWhereTheyAreInsertedAndShowDepthFirst) {
    const HWND tree = createTree();
    const HTREEITEM first = insert(tree, TVI_ROOT, TVI_LAST, "first");
    const HTREEITEM second = insert(tree, nullptr, TVI_LAST, "second");  // null is the root too
    EXPECT_EQ(insert(reinterpret_cast<HWND>(first), TVI_ROOT, TVI_LAST, "x"), nullptr) << "not a window";
    insert(tree, first, TVI_LAST, "b");
    const HTREEITEM a = insert(tree, first, TVI_FIRST, "a");
    insert(tree, a, TVI_LAST, "a1");
    insert(tree, second, TVI_FIRST, "c");
    insert(tree, TVI_ROOT, TVI_FIRST, "zeroth");
    EXPECT_EQ(insert(tree, reinterpret_cast<HTREEITEM>(0x1234), TVI_LAST, "x"), nullptr) << "no such parent";
    EXPECT_EQ(insert(tree, first, a, "x"), nullptr) << "only the first and last places";

    const std::vector<std::pair<int, std::string>> expected{
        {0, "zeroth"}, {0, "first"}, {1, "a"}, {2, "a1"}, {1, "b"}, {0, "second"}, {1, "c"},
    };
    EXPECT_EQ(shape(tree), expected);
    EXPECT_EQ(PlatformTreeItemCount(tree), 7);

    const std::vector<ViewerItem> items = viewerItems(tree);
    EXPECT_EQ(items[1].item.handle, first);
    EXPECT_EQ(items[1].item.childCount, 2);
    EXPECT_EQ(items[2].item.parent, first);
    EXPECT_EQ(items[1].item.parent, nullptr);
    EXPECT_EQ(items[1].item.mask, TVIF_TEXT) << "only the fields of the mask are taken";
    EXPECT_EQ(items[1].item.image, 0);
    EXPECT_EQ(items[1].item.param, 0);
    DestroyWindow(tree);
}

TEST(TreeViewStandIn, SetItemChangesTheFieldsOfItsMaskAndIsNumberedInSequence) {
    const HWND tree = createTree();
    const HTREEITEM item = insert(tree, TVI_ROOT, TVI_LAST, "old", TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM);
    const HTREEITEM child = insert(tree, item, TVI_LAST, "child");
    EXPECT_EQ(setText(tree, item, "new"), TRUE);
    EXPECT_EQ(setText(tree, reinterpret_cast<HTREEITEM>(0x1234), "x"), FALSE);
    EXPECT_EQ(setText(tree, nullptr, "x"), FALSE);

    const std::vector<ViewerItem> items = viewerItems(tree);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].text, "new");
    EXPECT_EQ(items[0].item.image, 3);
    EXPECT_EQ(items[0].item.param, 77);
    EXPECT_EQ(items[0].item.inserted, 1u);
    EXPECT_EQ(items[1].item.inserted, 2u);
    EXPECT_EQ(items[0].item.updated, 3u);
    EXPECT_EQ(items[1].item.updated, 0u);

    const std::string longText(1000, 'x');
    setText(tree, child, longText.c_str());
    char small[8];
    EXPECT_EQ(PlatformTreeItemText(tree, child, small, sizeof small), 1000u) << "the whole text is kept";
    EXPECT_STREQ(small, "xxxxxxx");
    DestroyWindow(tree);
}
