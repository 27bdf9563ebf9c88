#include "max/viewer/tree_items.h"

namespace {

// Every item is inserted alike: image 0 and parameter 0 beside its text.
constexpr UINT InsertMask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;

}  // namespace

HTREEITEM insertTreeItem(HWND tree, HTREEITEM parent, HTREEITEM after, const char* text) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = InsertMask;
    insert.item.pszText = const_cast<LPSTR>(text);  // only read: the structure is shared with the item queries
    insert.item.iImage = 0;
    insert.item.iSelectedImage = 0;
    insert.item.lParam = 0;
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void setTreeItemText(HWND tree, HTREEITEM item, const char* text) {
    TVITEMA change{};
    change.mask = TVIF_TEXT;
    change.hItem = item;
    change.pszText = const_cast<LPSTR>(text);
    SendMessageA(tree, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&change));
}
