// JPEG decoding through libjpeg, straight into the picture's 32-bit rows.
//
// The library reports errors by calling error_exit, which must not return; ours jumps back to the
// decode call with longjmp. Only trivially destructible objects live between the setjmp and any
// jump, so nothing is skipped that needed destroying: the picture belongs to the caller.
#include "platform/image/PictureDecoder.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>

namespace plat {
namespace {

struct JpegErrorManager {
    jpeg_error_mgr Base;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr Info)
{
    auto* Manager = reinterpret_cast<JpegErrorManager*>(Info->err);
    (*Info->err->format_message)(Info, Manager->Message);
    std::longjmp(Manager->Jump, 1);
}

// The library only warns about a truncated file or damaged entropy data and fills in grey; we
// refuse such a picture instead of showing a half-grey one. Bytes before a marker are only noise
// that some encoders leave, and other messages are traces.
void EmitMessage(j_common_ptr Info, int Level)
{
    if (Level < 0 && Info->err->msg_code != JWRN_EXTRANEOUS_DATA)
        ErrorExit(Info);
}

// The library fills the fourth byte with 0xFF; pictures keep it 0, so that black is the pixel
// value 0 that colour keys compare with. Done per batch of rows while they are still in cache.
void ClearFillerBytes(Picture& Out, int First, int Count)
{
    uint32_t* Begin = Out.Row(First);
    const size_t Size = static_cast<size_t>(Count) * static_cast<size_t>(Out.Width());
    // Blocks of eight, so that the compiler uses vector instructions also at -O2.
    size_t i = 0;
    for (; i + 8 <= Size; i += 8)
        for (size_t k = 0; k < 8; ++k)
            Begin[i + k] &= 0x00FFFFFFu;
    for (; i < Size; ++i)
        Begin[i] &= 0x00FFFFFFu;
}

// Reads the header, checks the size and decodes every row into Out. Returns false with the
// library's message in Manager.Message, or with Reason set for a refusal of our own.
bool DecodeInto(jpeg_decompress_struct& Info, JpegErrorManager& Manager, std::span<const uint8_t> Bytes, Picture& Out,
                const char*& Reason)
{
    if (setjmp(Manager.Jump))
        return false;
    jpeg_create_decompress(&Info);
    jpeg_mem_src(&Info, Bytes.data(), static_cast<unsigned long>(Bytes.size()));
    jpeg_read_header(&Info, TRUE);
    Reason = CheckPictureSize(Info.image_width, Info.image_height);
    if (Reason)
        return false;
    // The pixels come out as B, G, R, X bytes: on a little-endian machine the picture's
    // 0x00RRGGBB words, so rows need no colour conversion of our own.
    Info.out_color_space = JCS_EXT_BGRX;
    jpeg_start_decompress(&Info);
    Out = Picture(static_cast<int>(Info.output_width), static_cast<int>(Info.output_height), "TJPEGImage",
                  Picture::NoFill{});
    JSAMPROW Rows[8];
    while (Info.output_scanline < Info.output_height) {
        const int First = static_cast<int>(Info.output_scanline);
        const int Count = std::min<int>(8, Out.Height() - First);
        for (int i = 0; i < Count; ++i)
            Rows[i] = reinterpret_cast<JSAMPROW>(Out.Row(First + i));
        const auto Read = static_cast<int>(jpeg_read_scanlines(&Info, Rows, static_cast<JDIMENSION>(Count)));
        ClearFillerBytes(Out, First, Read);
    }
    jpeg_finish_decompress(&Info);
    return true;
}

}  // namespace

DecodeResult DecodeJpeg(std::span<const uint8_t> Bytes, std::string_view Name)
{
    if (Bytes.size() < 3 || Bytes[0] != 0xFF || Bytes[1] != 0xD8)
        return DecodeFailure(Name, "not a JPEG file");
    jpeg_decompress_struct Info{};
    JpegErrorManager Manager{};
    Info.err = jpeg_std_error(&Manager.Base);
    Manager.Base.error_exit = ErrorExit;
    Manager.Base.emit_message = EmitMessage;
    DecodeResult Result;
    const char* Reason = nullptr;
    const bool Ok = DecodeInto(Info, Manager, Bytes, Result.Image, Reason);
    jpeg_destroy_decompress(&Info);
    if (Ok)
        return Result;
    return DecodeFailure(Name, Reason ? Reason : Manager.Message);
}

}  // namespace plat
