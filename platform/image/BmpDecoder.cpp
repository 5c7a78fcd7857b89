// Windows bitmap decoding through SDL's bitmap reader, which handles the palette depths, the
// run-length encodings (odd literal runs, delta skips, an early end of bitmap) and refuses a
// truncated stream. The size in the header is checked first, so that a forged header cannot make
// the reader allocate a giant surface.
#include "platform/image/PictureDecoder.h"

#include <SDL.h>
#include <cstdlib>
#include <limits>

namespace plat {
namespace {

constexpr size_t kFileHeaderBytes = 14;

int32_t ReadLittle(std::span<const uint8_t> Bytes, size_t At, int Size)
{
    uint32_t Value = 0;
    for (int i = Size - 1; i >= 0; --i)
        Value = (Value << 8) | Bytes[At + static_cast<size_t>(i)];
    if (Size == 2)
        return static_cast<int16_t>(Value);
    return static_cast<int32_t>(Value);
}

// The picture's size from the information header: 16-bit fields in the old core header, 32-bit
// ones (a negative height meaning top-down rows) in every later one.
const char* CheckHeader(std::span<const uint8_t> Bytes)
{
    if (Bytes.size() < kFileHeaderBytes + 4 || Bytes[0] != 'B' || Bytes[1] != 'M')
        return "not a Windows bitmap";
    const int32_t InfoSize = ReadLittle(Bytes, kFileHeaderBytes, 4);
    const int FieldSize = InfoSize == 12 ? 2 : 4;
    if (InfoSize < 12 || Bytes.size() < kFileHeaderBytes + 4 + 2 * static_cast<size_t>(FieldSize))
        return "truncated bitmap header";
    const int64_t Width = ReadLittle(Bytes, kFileHeaderBytes + 4, FieldSize);
    const int64_t Height = ReadLittle(Bytes, kFileHeaderBytes + 4 + static_cast<size_t>(FieldSize), FieldSize);
    return CheckPictureSize(Width, std::llabs(Height));
}

void CopyRows(const SDL_Surface* Source, Picture& Out)
{
    for (int y = 0; y < Out.Height(); ++y) {
        const auto* From = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(Source->pixels) +
                                                             static_cast<ptrdiff_t>(y) * Source->pitch);
        uint32_t* To = Out.Row(y);
        // The fourth byte may carry the bitmap's alpha; pictures are opaque 0x00RRGGBB.
        for (int x = 0; x < Out.Width(); ++x)
            To[x] = From[x] & 0x00FFFFFFu;
    }
}

}  // namespace

DecodeResult DecodeBmp(std::span<const uint8_t> Bytes, std::string_view Name)
{
    if (const char* Reason = CheckHeader(Bytes))
        return DecodeFailure(Name, Reason);
    if (Bytes.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        return DecodeFailure(Name, "file too large");
    SDL_RWops* Stream = SDL_RWFromConstMem(Bytes.data(), static_cast<int>(Bytes.size()));
    if (!Stream)
        return DecodeFailure(Name, SDL_GetError());
    SDL_Surface* Loaded = SDL_LoadBMP_RW(Stream, 1);
    if (!Loaded)
        return DecodeFailure(Name, SDL_GetError());
    SDL_Surface* Converted = SDL_ConvertSurfaceFormat(Loaded, SDL_PIXELFORMAT_RGB888, 0);
    SDL_FreeSurface(Loaded);
    if (!Converted)
        return DecodeFailure(Name, SDL_GetError());
    DecodeResult Result;
    Result.Image = Picture(Converted->w, Converted->h, "TBitmap", Picture::NoFill{});
    CopyRows(Converted, Result.Image);
    SDL_FreeSurface(Converted);
    return Result;
}

void EndDecodingThread()
{
    SDL_TLSCleanup();
}

}  // namespace plat
