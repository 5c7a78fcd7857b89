// Memory for picture pixels: an owning buffer of 32-bit pixels. Large pictures live in huge pages
// (see PixelMemory.cpp); a new buffer is not cleared, since decoders write every pixel, and
// copying is one memcpy. No per-pixel loops, so a forged giant picture costs nothing before its
// decoder fails.
#pragma once

#include <cstddef>
#include <cstdint>

namespace plat {

void* AllocatePixelMemory(size_t Bytes);
void FreePixelMemory(void* Memory, size_t Bytes);
// Whether fresh memory of this size comes zeroed already (a new mapping does), so that a black
// picture needs no clearing pass.
bool PixelMemoryStartsZeroed(size_t Bytes);

class PixelBuffer {
public:
    PixelBuffer() = default;
    // Count pixels, undefined until written.
    explicit PixelBuffer(size_t Count);
    PixelBuffer(const PixelBuffer& Other);
    PixelBuffer(PixelBuffer&& Other) noexcept;
    PixelBuffer& operator=(const PixelBuffer& Other);
    PixelBuffer& operator=(PixelBuffer&& Other) noexcept;
    ~PixelBuffer();

    uint32_t* data() { return FData; }
    const uint32_t* data() const { return FData; }
    size_t size() const { return FCount; }
    bool empty() const { return FCount == 0; }

private:
    uint32_t* FData = nullptr;
    size_t FCount = 0;
};

}  // namespace plat
