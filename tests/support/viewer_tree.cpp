#include "support/viewer_tree.h"

namespace testing_support {

std::vector<ViewerItem> viewerItems(HWND window) {
    std::vector<ViewerItem> items;
    PlatformTreeItem item;
    for (int i = 0; PlatformTreeItemAt(window, i, &item); ++i) {
        const DWORD length = PlatformTreeItemText(window, item.handle, nullptr, 0);
        std::vector<char> buffer(length + 1);
        PlatformTreeItemText(window, item.handle, buffer.data(), length + 1);
        items.push_back({item, std::string(buffer.data(), length)});
    }
    return items;
}

std::vector<std::string> childTexts(const std::vector<ViewerItem>& items, std::size_t index) {
    std::vector<std::string> texts;
    for (const ViewerItem& i : items) {
        if (i.item.parent == items.at(index).item.handle) texts.push_back(i.text);
    }
    return texts;
}

DebugImport::DebugImport() {
    host().settings().set("MAX", "DebugWindow", 1);
}

int32_t DebugImport::run(const std::string& path) {
    windowsBefore_ = PlatformWindowsCreated();
    PlatformSetKeyDown(VK_SHIFT, TRUE);
    const int32_t result = MaxImport::run(path);
    PlatformSetKeyDown(VK_SHIFT, FALSE);
    return result;
}

bool DebugImport::window(PlatformWindowInfo& info) const {
    const int count = PlatformWindowsCreated();
    return count > windowsBefore_ && PlatformWindowAt(count - 1, &info);
}

std::vector<ViewerItem> DebugImport::items() const {
    PlatformWindowInfo info;
    return window(info) ? viewerItems(info.handle) : std::vector<ViewerItem>{};
}

}  // namespace testing_support
