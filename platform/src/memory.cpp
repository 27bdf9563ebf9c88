// Movable global memory and the process heap. A global handle is a block
// record of its own, so a stale or foreign handle is recognised and refused
// instead of being dereferenced.
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_set>

#include "platform/control.h"

namespace {

struct GlobalBlock {
    void* data;
    SIZE_T size;
    int locks;
};

std::mutex globalMutex;
std::unordered_set<GlobalBlock*> globalBlocks;
int heapBlocks = 0;
char processHeap;  // its address is the heap handle

GlobalBlock* findBlock(HGLOBAL mem) {
    auto* block = static_cast<GlobalBlock*>(mem);
    return globalBlocks.count(block) ? block : nullptr;
}

}  // namespace

extern "C" {

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) {
    // Only movable blocks are supported: the plug-in never asks for fixed ones.
    if (!(flags & GMEM_MOVEABLE)) return nullptr;
    void* data = (flags & GMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
    if (!data) return nullptr;
    auto* block = new (std::nothrow) GlobalBlock{data, bytes, 0};
    if (!block) {
        std::free(data);
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(globalMutex);
    globalBlocks.insert(block);
    return block;
}

HGLOBAL WINAPI GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags) {
    std::lock_guard<std::mutex> lock(globalMutex);
    GlobalBlock* block = findBlock(mem);
    if (!block) return nullptr;
    void* data = std::realloc(block->data, bytes ? bytes : 1);
    if (!data) return nullptr;
    if ((flags & GMEM_ZEROINIT) && bytes > block->size) {
        std::memset(static_cast<char*>(data) + block->size, 0, bytes - block->size);
    }
    block->data = data;
    block->size = bytes;
    return block;
}

LPVOID WINAPI GlobalLock(HGLOBAL mem) {
    std::lock_guard<std::mutex> lock(globalMutex);
    GlobalBlock* block = findBlock(mem);
    if (!block) return nullptr;
    ++block->locks;
    return block->data;
}

BOOL WINAPI GlobalUnlock(HGLOBAL mem) {
    std::lock_guard<std::mutex> lock(globalMutex);
    GlobalBlock* block = findBlock(mem);
    if (!block || block->locks == 0) return FALSE;
    --block->locks;
    return block->locks != 0 ? TRUE : FALSE;
}

HGLOBAL WINAPI GlobalFree(HGLOBAL mem) {
    std::lock_guard<std::mutex> lock(globalMutex);
    GlobalBlock* block = findBlock(mem);
    if (!block) return mem;  // failure: the handle is given back
    globalBlocks.erase(block);
    std::free(block->data);
    delete block;
    return nullptr;
}

SIZE_T WINAPI GlobalSize(HGLOBAL mem) {
    std::lock_guard<std::mutex> lock(globalMutex);
    GlobalBlock* block = findBlock(mem);
    return block ? block->size : 0;
}

HANDLE WINAPI GetProcessHeap() {
    return &processHeap;
}

LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    if (heap != &processHeap) return nullptr;
    void* p = (flags & HEAP_ZERO_MEMORY) ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
    if (p) {
        std::lock_guard<std::mutex> lock(globalMutex);
        ++heapBlocks;
    }
    return p;
}

BOOL WINAPI HeapFree(HANDLE heap, DWORD, LPVOID mem) {
    if (heap != &processHeap) return FALSE;
    if (!mem) return TRUE;
    std::free(mem);
    std::lock_guard<std::mutex> lock(globalMutex);
    --heapBlocks;
    return TRUE;
}

int PlatformGlobalBlocksInUse() {
    std::lock_guard<std::mutex> lock(globalMutex);
    return static_cast<int>(globalBlocks.size());
}

int PlatformHeapBlocksInUse() {
    std::lock_guard<std::mutex> lock(globalMutex);
    return heapBlocks;
}

}  // extern "C"
