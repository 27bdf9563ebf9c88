// Where the geometry layer's memory comes from. The plug-in hands it the
// allocator every other plug-in allocation uses, so that allocation failures
// and limits reach geometry too; elsewhere it is operator new. A failed
// allocation throws std::bad_alloc, which the caller of a geometry operation
// catches: nothing of this layer lets an exception leave a library boundary.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace geometry {

using AllocateFunction = void* (*)(std::size_t bytes);  // null when there is no memory
using FreeFunction = void (*)(void* memory);

// Replaces the allocator for every later allocation; null restores the default.
// Memory already handed out must go back to the allocator that gave it, so
// this is called once, before any geometry value exists.
void setAllocator(AllocateFunction allocate, FreeFunction free);

// Throws std::bad_alloc when the allocator has no memory.
void* allocate(std::size_t bytes);
void release(void* memory) noexcept;

template <class T>
struct Allocator {
    using value_type = T;
    Allocator() noexcept = default;
    template <class U>
    Allocator(const Allocator<U>&) noexcept {}
    T* allocate(std::size_t count) {
        if (count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        return static_cast<T*>(geometry::allocate(count * sizeof(T)));
    }
    void deallocate(T* memory, std::size_t) noexcept { geometry::release(memory); }
};
template <class T, class U>
bool operator==(const Allocator<T>&, const Allocator<U>&) noexcept {
    return true;
}
template <class T, class U>
bool operator!=(const Allocator<T>&, const Allocator<U>&) noexcept {
    return false;
}

template <class T>
using Vector = std::vector<T, Allocator<T>>;

}  // namespace geometry
