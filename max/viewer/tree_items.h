// Items of the structure viewer's tree-view window, as the class directory
// and the chunk tree add them.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// What a tree item's text holds; longer texts are cut to it.
constexpr uint32_t TreeItemTextLength = 255;
typedef char TreeItemText[TreeItemTextLength + 1];

// A new item with the text under parent (TVI_ROOT for the top level), at
// after (TVI_FIRST or TVI_LAST); null when the tree could not add it.
HTREEITEM insertTreeItem(HWND tree, HTREEITEM parent, HTREEITEM after, const char* text);
// Replaces the text of an item.
void setTreeItemText(HWND tree, HTREEITEM item, const char* text);
