// A decoded picture in memory: 32-bit pixels 0x00RRGGBB (blue in the low byte), rows top to
// bottom without padding. It is also the bitmap that a strip sprite keeps its decoded JPEG in and
// cuts its frames from. `ClassName` tells the kind of picture the pixels came from: "TJPEGImage",
// "TBitmap" or "TGIFImage"; the strip sprite and the scene ask whether a picture is a JPEG image.
#pragma once

#include "platform/image/PixelMemory.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace plat {

class Picture {
public:
    Picture() = default;
    // All pixels black (0).
    Picture(int AWidth, int AHeight, std::string AClassName)
        : FWidth(AWidth), FHeight(AHeight), FClassName(std::move(AClassName)),
          FPixels(static_cast<size_t>(AWidth) * static_cast<size_t>(AHeight))
    {
        if (!FPixels.empty() && !PixelMemoryStartsZeroed(FPixels.size() * sizeof(uint32_t)))
            std::memset(FPixels.data(), 0, FPixels.size() * sizeof(uint32_t));
    }
    // For a decoder that writes every pixel itself: the pixels start undefined.
    struct NoFill {};
    Picture(int AWidth, int AHeight, std::string AClassName, NoFill)
        : FWidth(AWidth), FHeight(AHeight), FClassName(std::move(AClassName)),
          FPixels(static_cast<size_t>(AWidth) * static_cast<size_t>(AHeight))
    {}

    // The same picture in pixels of its own.
    Picture Copy() const
    {
        Picture copy(FWidth, FHeight, FClassName, NoFill{});
        if (!Empty())
            std::memcpy(copy.Pixels(), Pixels(), FPixels.size() * sizeof(uint32_t));
        else
            copy.ReleasePixels();
        return copy;
    }

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // No pixels: none decoded, or let go by ReleasePixels.
    bool Empty() const { return FPixels.empty(); }
    // Frees the pixels; the size and the kind stay, and drawing the picture draws nothing.
    void ReleasePixels() { FPixels = PixelBuffer(); }
    const std::string& ClassName() const { return FClassName; }

    uint32_t* Pixels() { return FPixels.data(); }
    const uint32_t* Pixels() const { return FPixels.data(); }
    uint32_t* Row(int Y) { return FPixels.data() + static_cast<size_t>(Y) * static_cast<size_t>(FWidth); }
    const uint32_t* Row(int Y) const { return FPixels.data() + static_cast<size_t>(Y) * static_cast<size_t>(FWidth); }

private:
    int FWidth = 0;
    int FHeight = 0;
    std::string FClassName = "TBitmap";
    PixelBuffer FPixels;
};

}  // namespace plat
