// GIF decoding through giflib's record reader: only the records up to the first image are read,
// so an animation costs no more than its first frame.
#include "platform/image/PictureDecoder.h"

#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <memory>
#include <vector>

namespace plat {
namespace {

struct MemoryReader {
    std::span<const uint8_t> Bytes;
    size_t Position = 0;
};

int ReadFromMemory(GifFileType* File, GifByteType* Buffer, int Length)
{
    auto* Reader = static_cast<MemoryReader*>(File->UserData);
    const size_t Left = Reader->Bytes.size() - Reader->Position;
    const size_t Count = std::min(Left, static_cast<size_t>(std::max(Length, 0)));
    std::memcpy(Buffer, Reader->Bytes.data() + Reader->Position, Count);
    Reader->Position += Count;
    return static_cast<int>(Count);
}

struct GifCloser {
    void operator()(GifFileType* File) const { DGifCloseFile(File, nullptr); }
};
using GifHandle = std::unique_ptr<GifFileType, GifCloser>;

const char* GifReason(int Code)
{
    const char* Text = GifErrorString(Code);
    return Text ? Text : "unreadable GIF data";
}

// Reads the records before the first image; returns the transparency index (or -1) of the
// graphic control block that belongs to that image, or an error code below -1.
int ReadUpToFirstImage(GifFileType* File, int& Error)
{
    int Transparent = NO_TRANSPARENT_COLOR;
    for (;;) {
        GifRecordType Type;
        if (DGifGetRecordType(File, &Type) == GIF_ERROR)
            return Error = File->Error, -2;
        if (Type == IMAGE_DESC_RECORD_TYPE)
            return Transparent;
        if (Type == TERMINATE_RECORD_TYPE)
            return Error = D_GIF_ERR_NO_IMAG_DSCR, -2;
        if (Type != EXTENSION_RECORD_TYPE)
            continue;
        int Code = 0;
        GifByteType* Block = nullptr;
        if (DGifGetExtension(File, &Code, &Block) == GIF_ERROR)
            return Error = File->Error, -2;
        GraphicsControlBlock Control;
        if (Code == GRAPHICS_EXT_FUNC_CODE && Block && DGifExtensionToGCB(Block[0], Block + 1, &Control) == GIF_OK)
            Transparent = Control.TransparentColor;
        while (Block)
            if (DGifGetExtensionNext(File, &Block) == GIF_ERROR)
                return Error = File->Error, -2;
    }
}

// The rows of the image in file order: interlaced images send every 8th row from 0, every 8th
// from 4, every 4th from 2, then every 2nd from 1.
std::vector<int> RowOrder(int Height, bool Interlaced)
{
    std::vector<int> Rows;
    Rows.reserve(static_cast<size_t>(Height));
    if (!Interlaced) {
        for (int y = 0; y < Height; ++y)
            Rows.push_back(y);
        return Rows;
    }
    static constexpr int kStart[] = {0, 4, 2, 1};
    static constexpr int kStep[] = {8, 8, 4, 2};
    for (int Pass = 0; Pass < 4; ++Pass)
        for (int y = kStart[Pass]; y < Height; y += kStep[Pass])
            Rows.push_back(y);
    return Rows;
}

// Reads the image's indices row by row and paints them through the colour table into Out, which
// covers the logical screen. Indices outside the table and the transparency index become black.
bool PaintImage(GifFileType* File, int Transparent, Picture& Out)
{
    const GifImageDesc& Desc = File->Image;
    const ColorMapObject* Map = Desc.ColorMap ? Desc.ColorMap : File->SColorMap;
    uint32_t Palette[256] = {};
    for (int i = 0; Map && i < std::min(Map->ColorCount, 256); ++i) {
        const GifColorType& C = Map->Colors[i];
        Palette[i] = (uint32_t{C.Red} << 16) | (uint32_t{C.Green} << 8) | C.Blue;
    }
    if (Transparent >= 0 && Transparent < 256)
        Palette[Transparent] = 0;
    std::vector<GifPixelType> Line(static_cast<size_t>(Desc.Width));
    for (int y : RowOrder(Desc.Height, Desc.Interlace)) {
        if (DGifGetLine(File, Line.data(), Desc.Width) == GIF_ERROR)
            return false;
        uint32_t* Row = Out.Row(Desc.Top + y) + Desc.Left;
        for (int x = 0; x < Desc.Width; ++x)
            Row[x] = Palette[Line[static_cast<size_t>(x)]];
    }
    return true;
}

}  // namespace

DecodeResult DecodeGif(std::span<const uint8_t> Bytes, std::string_view Name)
{
    MemoryReader Reader{Bytes};
    int Error = 0;
    GifHandle File(DGifOpen(&Reader, ReadFromMemory, &Error));
    if (!File)
        return DecodeFailure(Name, GifReason(Error));
    const int Transparent = ReadUpToFirstImage(File.get(), Error);
    if (Transparent < -1)
        return DecodeFailure(Name, GifReason(Error));
    if (DGifGetImageDesc(File.get()) == GIF_ERROR)
        return DecodeFailure(Name, GifReason(File->Error));
    const GifImageDesc& Desc = File->Image;
    if (Desc.Width <= 0 || Desc.Height <= 0 || Desc.Left < 0 || Desc.Top < 0)
        return DecodeFailure(Name, "image of no size");
    // Some writers give a logical screen smaller than the image, or none: the picture then grows
    // to hold the whole image.
    const int64_t Width = std::max<int64_t>(File->SWidth, int64_t{Desc.Left} + Desc.Width);
    const int64_t Height = std::max<int64_t>(File->SHeight, int64_t{Desc.Top} + Desc.Height);
    if (const char* Reason = CheckPictureSize(Width, Height))
        return DecodeFailure(Name, Reason);
    DecodeResult Result;
    Result.Image = Picture(static_cast<int>(Width), static_cast<int>(Height), "TGIFImage");
    if (!PaintImage(File.get(), Transparent, Result.Image))
        return DecodeFailure(Name, GifReason(File->Error));
    return Result;
}

}  // namespace plat
