// The structure viewer as the platform stand-in keeps it: a MAX import in
// the debug mode, and the items of the tree-view window it made.
#pragma once

#include <string>
#include <vector>

#include "platform/control.h"
#include "support/max_import.h"

namespace testing_support {

struct ViewerItem {
    PlatformTreeItem item;
    std::string text;
};

// The items of a tree-view window, in the order it shows them.
std::vector<ViewerItem> viewerItems(HWND window);
// The texts of the children of the item at index, in order.
std::vector<std::string> childTexts(const std::vector<ViewerItem>& items, std::size_t index);

// A MAX import with the setting "DebugWindow" on and Shift held while it
// runs, as a user asks for the viewer.
class DebugImport : public MaxImport {
 public:
    DebugImport();
    int32_t run(const std::string& path);
    // The window the last run made, when there was one; its record is kept
    // after it is destroyed.
    bool window(PlatformWindowInfo& info) const;
    std::vector<ViewerItem> items() const;

 private:
    int windowsBefore_ = 0;
};

}  // namespace testing_support
