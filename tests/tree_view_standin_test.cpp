// The tree-view window stand-in: what it refuses. The items it keeps for
// the structure viewer are the viewer tests' part.
#include <gtest/gtest.h>

#include "support/viewer_tree.h"

using testing_support::ViewerItem;
using testing_support::viewerItems;

namespace {

HWND createTree(const char* className = "SysTreeView32") {
    return CreateWindowExA(0x200, className, "Tree", 0x10CF0027, 1, 2, 3, 4, nullptr, nullptr, nullptr, nullptr);
}

HTREEITEM insert(HWND tree, HTREEITEM parent, HTREEITEM after, const char* text) {
    TVINSERTSTRUCTA is{};
    is.hParent = parent;
    is.hInsertAfter = after;
    is.item.mask = TVIF_TEXT;
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

}  // namespace

TEST(TreeViewStandIn, RefusesWhatTheRealControlWouldNot) {
    EXPECT_EQ(createTree("Button"), nullptr);
    PlatformSetTreeViewRegistered(FALSE);
    EXPECT_EQ(createTree(), nullptr) << "the class must be registered by the host's process";
    PlatformSetTreeViewRegistered(TRUE);

    const HWND tree = createTree("systreeview32");
    ASSERT_NE(tree, nullptr) << "class names ignore case";
    const HTREEITEM first = insert(tree, TVI_ROOT, TVI_LAST, "first");
    const HTREEITEM a = insert(tree, first, TVI_FIRST, "a");
    EXPECT_EQ(insert(reinterpret_cast<HWND>(first), TVI_ROOT, TVI_LAST, "x"), nullptr) << "not a window";
    EXPECT_EQ(insert(tree, reinterpret_cast<HTREEITEM>(0x1234), TVI_LAST, "x"), nullptr) << "no such parent";
    EXPECT_EQ(insert(tree, first, a, "x"), nullptr) << "only the first and last places";
    EXPECT_EQ(setText(tree, reinterpret_cast<HTREEITEM>(0x1234), "x"), FALSE);

    const std::vector<ViewerItem> items = viewerItems(tree);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[1].item.parent, first);
    EXPECT_EQ(items[0].item.param, 0) << "only the fields of the mask are taken";

    EXPECT_TRUE(DestroyWindow(tree));
    EXPECT_FALSE(DestroyWindow(tree)) << "a window is destroyed once";
    EXPECT_EQ(insert(tree, TVI_ROOT, TVI_LAST, "b"), nullptr);
    EXPECT_EQ(PlatformTreeItemCount(tree), 0);
}
