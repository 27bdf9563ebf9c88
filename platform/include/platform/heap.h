// The plug-in's own heap memory: the process heap, with overflow-checked
// array sizes. Every allocation may fail and callers check the result; the
// plug-in does not throw, so nothing here does either.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <utility>

#include "platform/win32.h"

inline void* heapAlloc(std::size_t bytes) {
    return HeapAlloc(GetProcessHeap(), 0, bytes);
}

inline void* heapAllocZeroed(std::size_t bytes) {
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes);
}

inline void heapFree(void* p) {
    if (p) HeapFree(GetProcessHeap(), 0, p);
}

// count * size bytes, or null when the product does not fit 32 bits.
inline void* heapAllocArray(std::uint32_t count, std::uint32_t size, bool zeroed = false) {
    if (size != 0 && count > UINT32_MAX / size) return nullptr;
    const std::size_t bytes = static_cast<std::size_t>(count) * size;
    return zeroed ? heapAllocZeroed(bytes) : heapAlloc(bytes);
}

template <class T, class... Args>
T* heapNew(Args&&... args) {
    void* p = heapAlloc(sizeof(T));
    return p ? new (p) T(std::forward<Args>(args)...) : nullptr;
}

template <class T>
void heapDelete(T* p) {
    if (!p) return;
    p->~T();
    heapFree(p);
}
