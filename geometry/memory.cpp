#include "geometry/memory.h"

#include <cstdlib>

namespace geometry {

namespace {

void* defaultAllocate(std::size_t bytes) {
    return std::malloc(bytes);
}
void defaultFree(void* memory) {
    std::free(memory);
}

AllocateFunction currentAllocate = defaultAllocate;
FreeFunction currentFree = defaultFree;

}  // namespace

void setAllocator(AllocateFunction allocateWith, FreeFunction freeWith) {
    currentAllocate = allocateWith && freeWith ? allocateWith : defaultAllocate;
    currentFree = allocateWith && freeWith ? freeWith : defaultFree;
}

void* allocate(std::size_t bytes) {
    void* memory = currentAllocate(bytes == 0 ? 1 : bytes);
    if (!memory) throw std::bad_alloc();
    return memory;
}

void release(void* memory) noexcept {
    if (memory) currentFree(memory);
}

}  // namespace geometry
