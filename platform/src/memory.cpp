// Movable global memory and the process heap. A global handle is a block
// record of its own, so a stale or foreign handle is recognised and refused
// instead of being dereferenced. Both kinds keep counts and a high-water mark
// of their bytes, and can be told to fail a request, for the programs that
// prove the plug-in survives running out of memory.
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>
#include <unordered_set>

#include "platform/control.h"

namespace {

struct GlobalBlock {
    void* data;
    SIZE_T size;
    int locks;
};

// The accounting of one kind of memory.
struct Ledger {
    DWORD requests = 0;
    int blocks = 0;
    SIZE_T bytes = 0;
    SIZE_T peak = 0;
    DWORD failAt = 0;  // the request number that fails, 0 for none
    bool failFromThenOn = false;

    // Counts a request; false when it is the one to fail.
    bool admit() {
        ++requests;
        if (failAt == 0 || requests < failAt) return true;
        if (!failFromThenOn) failAt = 0;
        return false;
    }
    void grow(SIZE_T added) {
        bytes += added;
        if (bytes > peak) peak = bytes;
    }
};

std::mutex globalMutex;
std::unordered_set<GlobalBlock*> globalBlocks;
std::unordered_map<void*, SIZE_T> heapSizes;
Ledger heapLedger;
Ledger globalLedger;
char processHeap;  // its address is the heap handle

GlobalBlock* findBlock(HGLOBAL mem) {
    auto* block = static_cast<GlobalBlock*>(mem);
    return globalBlocks.count(block) ? block : nullptr;
}

Ledger& ledgerOf(PlatformMemoryKind kind) {
    return kind == PlatformGlobalMemory ? globalLedger : heapLedger;
}

bool admitRequest(Ledger& ledger) {
    std::lock_guard<std::mutex> lock(globalMutex);
    return ledger.admit();
}

}  // namespace

extern "C" {

HGLOBAL WINAPI GlobalAlloc(UINT flags, SIZE_T bytes) {
    // Only movable blocks are supported: the plug-in never asks for fixed ones.
    if (!(flags & GMEM_MOVEABLE)) return nullptr;
    if (!admitRequest(globalLedger)) return nullptr;
    void* data = (flags & GMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
    if (!data) return nullptr;
    auto* block = new (std::nothrow) GlobalBlock{data, bytes, 0};
    if (!block) {
        std::free(data);
        return nullptr;
    }
    std::lock_guard<std::mutex> lock(globalMutex);
    globalBlocks.insert(block);
    globalLedger.grow(bytes);
    return block;
}

HGLOBAL WINAPI GlobalReAlloc(HGLOBAL mem, SIZE_T bytes, UINT flags) {
    std::lock_guard<std::mutex> lock(globalMutex);
    GlobalBlock* block = findBlock(mem);
    if (!block || !globalLedger.admit()) return nullptr;
    void* data = std::realloc(block->data, bytes ? bytes : 1);
    if (!data) return nullptr;
    if ((flags & GMEM_ZEROINIT) && bytes > block->size) {
        std::memset(static_cast<char*>(data) + block->size, 0, bytes - block->size);
    }
    globalLedger.bytes -= block->size;
    globalLedger.grow(bytes);
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
    globalLedger.bytes -= block->size;
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
    if (heap != &processHeap || !admitRequest(heapLedger)) return nullptr;
    void* p = (flags & HEAP_ZERO_MEMORY) ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
    if (p) {
        std::lock_guard<std::mutex> lock(globalMutex);
        heapSizes[p] = bytes;
        ++heapLedger.blocks;
        heapLedger.grow(bytes);
    }
    return p;
}

BOOL WINAPI HeapFree(HANDLE heap, DWORD, LPVOID mem) {
    if (heap != &processHeap) return FALSE;
    if (!mem) return TRUE;
    {
        std::lock_guard<std::mutex> lock(globalMutex);
        const auto it = heapSizes.find(mem);
        if (it == heapSizes.end()) return FALSE;  // not a block of this heap
        heapLedger.bytes -= it->second;
        --heapLedger.blocks;
        heapSizes.erase(it);
    }
    std::free(mem);
    return TRUE;
}

int PlatformGlobalBlocksInUse() {
    std::lock_guard<std::mutex> lock(globalMutex);
    return static_cast<int>(globalBlocks.size());
}

int PlatformHeapBlocksInUse() {
    std::lock_guard<std::mutex> lock(globalMutex);
    return heapLedger.blocks;
}

void PlatformMemoryStatsOf(PlatformMemoryKind kind, PlatformMemoryStats* stats) {
    if (!stats) return;
    std::lock_guard<std::mutex> lock(globalMutex);
    const Ledger& ledger = ledgerOf(kind);
    stats->requests = ledger.requests;
    stats->blocksInUse = kind == PlatformGlobalMemory ? static_cast<int>(globalBlocks.size()) : ledger.blocks;
    stats->bytesInUse = ledger.bytes;
    stats->peakBytes = ledger.peak;
}

void PlatformResetMemoryPeak(PlatformMemoryKind kind) {
    std::lock_guard<std::mutex> lock(globalMutex);
    Ledger& ledger = ledgerOf(kind);
    ledger.peak = ledger.bytes;
}

void PlatformFailAllocation(PlatformMemoryKind kind, DWORD nth, BOOL persistent) {
    std::lock_guard<std::mutex> lock(globalMutex);
    Ledger& ledger = ledgerOf(kind);
    ledger.failAt = nth == 0 ? 0 : ledger.requests + nth;
    ledger.failFromThenOn = nth != 0 && persistent;
}

}  // extern "C"
