// Memory for picture pixels. Large pictures live in huge pages (see PixelMemory.cpp), and pixels
// that a decoder is about to write are not cleared first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

namespace plat {

void* AllocatePixelMemory(size_t Bytes);
void FreePixelMemory(void* Memory, size_t Bytes);
// Whether fresh memory of this size comes zeroed already (a new mapping does), so that a black
// picture needs no clearing pass.
bool PixelMemoryStartsZeroed(size_t Bytes);

template <class T>
struct PixelAllocator {
    using value_type = T;
    PixelAllocator() = default;
    template <class U>
    PixelAllocator(const PixelAllocator<U>&) {}

    T* allocate(size_t Count) { return static_cast<T*>(AllocatePixelMemory(Count * sizeof(T))); }
    void deallocate(T* Memory, size_t Count) { FreePixelMemory(Memory, Count * sizeof(T)); }
    // A pixel made without a value stays as the memory holds it; the decoder writes it next.
    // Copies and values take the standard path.
    template <class U>
    void construct(U* Where) { ::new (static_cast<void*>(Where)) U; }

    template <class U>
    bool operator==(const PixelAllocator<U>&) const { return true; }
};

}  // namespace plat
