// Windows without a screen, of the one class the plug-in creates: the
// tree-view control. A window keeps its creation record and the items that
// TVM_INSERTITEMA and TVM_SETITEMA give it, for the embedding program to read.
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/control.h"

namespace {

// Handles are numbers that are never given out twice, so that a destroyed
// window's or item's handle stays invalid.
constexpr uintptr_t FirstWindowHandle = 0x000A0010u;
constexpr uintptr_t FirstItemHandle = 0x00100000u;
constexpr uintptr_t HandleStep = 4;

static_assert(sizeof(void*) != 4 || sizeof(TVITEMA) == 40, "TVITEMA as on 32-bit Windows");
static_assert(sizeof(void*) != 4 || offsetof(TVITEMA, pszText) == 16, "TVITEMA as on 32-bit Windows");
static_assert(sizeof(void*) != 4 || offsetof(TVITEMA, lParam) == 36, "TVITEMA as on 32-bit Windows");
static_assert(sizeof(void*) != 4 || offsetof(TVINSERTSTRUCTA, item) == 8, "TVINSERTSTRUCTA as on 32-bit Windows");

struct Item {
    HTREEITEM handle;
    Item* parent;
    int depth;
    std::vector<Item*> children;
    std::string text;
    UINT mask;
    int image;
    int selectedImage;
    LPARAM param;
    DWORD inserted;
    DWORD updated;
};

struct Window {
    PlatformWindowInfo info;
    std::vector<std::unique_ptr<Item>> storage;
    std::unordered_map<uintptr_t, Item*> items;
    std::vector<Item*> roots;
    DWORD sequence = 0;
    // The items in the order shown, rebuilt after a change.
    std::vector<const Item*> shown;
    bool shownValid = false;
};

std::mutex windowMutex;
std::vector<std::unique_ptr<Window>> windows;  // in the order of creation
std::unordered_map<uintptr_t, Window*> liveWindows;
uintptr_t nextItemHandle = FirstItemHandle;
bool treeViewRegistered = true;

uintptr_t handleValue(const void* handle) {
    return reinterpret_cast<uintptr_t>(handle);
}

Window* liveWindow(HWND window) {
    const auto it = liveWindows.find(handleValue(window));
    return it == liveWindows.end() ? nullptr : it->second;
}

Item* itemOf(Window& window, HTREEITEM handle) {
    const auto it = window.items.find(handleValue(handle));
    return it == window.items.end() ? nullptr : it->second;
}

void copyText(char* dest, std::size_t size, LPCSTR src) {
    const std::size_t n = src ? std::min(std::strlen(src), size - 1) : 0;
    if (n) std::memcpy(dest, src, n);
    dest[n] = 0;
}

void applyItem(Item& item, const TVITEMA& from) {
    item.mask |= from.mask;
    if (from.mask & TVIF_TEXT) item.text = from.pszText ? from.pszText : "";
    if (from.mask & TVIF_IMAGE) item.image = from.iImage;
    if (from.mask & TVIF_SELECTEDIMAGE) item.selectedImage = from.iSelectedImage;
    if (from.mask & TVIF_PARAM) item.param = from.lParam;
}

LRESULT insertItem(Window& window, const TVINSERTSTRUCTA* insert) {
    if (!insert) return 0;
    Item* parent = nullptr;
    if (insert->hParent && insert->hParent != TVI_ROOT) {
        parent = itemOf(window, insert->hParent);
        if (!parent) return 0;
    }
    const bool first = insert->hInsertAfter == TVI_FIRST;
    if (!first && insert->hInsertAfter != TVI_LAST) return 0;  // the only places the plug-in asks for

    auto item = std::make_unique<Item>();
    item->handle = reinterpret_cast<HTREEITEM>(nextItemHandle);
    nextItemHandle += HandleStep;
    item->parent = parent;
    item->depth = parent ? parent->depth + 1 : 0;
    item->inserted = ++window.sequence;
    applyItem(*item, insert->item);
    std::vector<Item*>& siblings = parent ? parent->children : window.roots;
    siblings.insert(first ? siblings.begin() : siblings.end(), item.get());
    window.items[handleValue(item->handle)] = item.get();
    window.shownValid = false;
    const HTREEITEM handle = item->handle;
    window.storage.push_back(std::move(item));
    return reinterpret_cast<LRESULT>(handle);
}

LRESULT setItem(Window& window, const TVITEMA* from) {
    Item* item = from ? itemOf(window, from->hItem) : nullptr;
    if (!item) return FALSE;
    item->updated = ++window.sequence;
    applyItem(*item, *from);
    return TRUE;
}

// Without recursion: a tree may be as deep as its file makes it.
const std::vector<const Item*>& shownItems(Window& window) {
    if (window.shownValid) return window.shown;
    window.shown.clear();
    std::vector<const Item*> pending(window.roots.rbegin(), window.roots.rend());
    while (!pending.empty()) {
        const Item* item = pending.back();
        pending.pop_back();
        window.shown.push_back(item);
        pending.insert(pending.end(), item->children.rbegin(), item->children.rend());
    }
    window.shownValid = true;
    return window.shown;
}

}  // namespace

extern "C" {

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width,
                            int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID) {
    std::lock_guard<std::mutex> lock(windowMutex);
    if (!className || IS_INTRESOURCE(className) || !treeViewRegistered || lstrcmpiA(className, WC_TREEVIEWA) != 0)
        return nullptr;
    auto window = std::make_unique<Window>();
    PlatformWindowInfo& info = window->info;
    info.handle = reinterpret_cast<HWND>(FirstWindowHandle + HandleStep * windows.size());
    copyText(info.className, sizeof info.className, className);
    copyText(info.title, sizeof info.title, title);
    info.style = style;
    info.exStyle = exStyle;
    info.x = x;
    info.y = y;
    info.width = width;
    info.height = height;
    info.parent = parent;
    info.menu = menu;
    info.instance = instance;
    liveWindows[handleValue(info.handle)] = window.get();
    windows.push_back(std::move(window));
    return info.handle;
}

BOOL WINAPI IsWindow(HWND window) {
    std::lock_guard<std::mutex> lock(windowMutex);
    return liveWindow(window) ? TRUE : FALSE;
}

BOOL WINAPI DestroyWindow(HWND handle) {
    std::lock_guard<std::mutex> lock(windowMutex);
    Window* window = liveWindow(handle);
    if (!window) return FALSE;
    liveWindows.erase(handleValue(handle));
    window->info.destroyed = TRUE;
    window->roots.clear();
    window->items.clear();
    window->storage.clear();
    window->shown.clear();
    window->shownValid = false;
    return TRUE;
}

LRESULT WINAPI SendMessageA(HWND handle, UINT message, WPARAM, LPARAM lParam) {
    std::lock_guard<std::mutex> lock(windowMutex);
    Window* window = liveWindow(handle);
    if (!window) return 0;
    if (message == TVM_INSERTITEMA) return insertItem(*window, reinterpret_cast<const TVINSERTSTRUCTA*>(lParam));
    if (message == TVM_SETITEMA) return setItem(*window, reinterpret_cast<const TVITEMA*>(lParam));
    return 0;
}

void PlatformSetTreeViewRegistered(BOOL registered) {
    std::lock_guard<std::mutex> lock(windowMutex);
    treeViewRegistered = registered != FALSE;
}

int PlatformWindowsCreated() {
    std::lock_guard<std::mutex> lock(windowMutex);
    return static_cast<int>(windows.size());
}

BOOL PlatformWindowAt(int index, PlatformWindowInfo* info) {
    std::lock_guard<std::mutex> lock(windowMutex);
    if (!info || index < 0 || static_cast<std::size_t>(index) >= windows.size()) return FALSE;
    *info = windows[static_cast<std::size_t>(index)]->info;
    return TRUE;
}

int PlatformTreeItemCount(HWND handle) {
    std::lock_guard<std::mutex> lock(windowMutex);
    Window* window = liveWindow(handle);
    return window ? static_cast<int>(window->items.size()) : 0;
}

BOOL PlatformTreeItemAt(HWND handle, int index, PlatformTreeItem* out) {
    std::lock_guard<std::mutex> lock(windowMutex);
    Window* window = liveWindow(handle);
    if (!window || !out || index < 0) return FALSE;
    const std::vector<const Item*>& shown = shownItems(*window);
    if (static_cast<std::size_t>(index) >= shown.size()) return FALSE;
    const Item& item = *shown[static_cast<std::size_t>(index)];
    out->handle = item.handle;
    out->parent = item.parent ? item.parent->handle : nullptr;
    out->depth = item.depth;
    out->childCount = static_cast<int>(item.children.size());
    out->mask = item.mask;
    out->image = item.image;
    out->selectedImage = item.selectedImage;
    out->param = item.param;
    out->inserted = item.inserted;
    out->updated = item.updated;
    return TRUE;
}

DWORD PlatformTreeItemText(HWND handle, HTREEITEM itemHandle, char* buffer, DWORD size) {
    std::lock_guard<std::mutex> lock(windowMutex);
    Window* window = liveWindow(handle);
    const Item* item = window ? itemOf(*window, itemHandle) : nullptr;
    const std::string text = item ? item->text : std::string();
    if (buffer && size > 0) copyText(buffer, size, text.c_str());
    return static_cast<DWORD>(text.size());
}

}  // extern "C"
