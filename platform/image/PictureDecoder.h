// Turns the bytes of a JPEG, Windows bitmap or GIF picture into a plat::Picture.
//
// Every entry point takes the bytes and a name used only in error texts (the file path or the
// resource name), never throws, never exits and never reads past the bytes it was given. A
// corrupt, truncated or oversized picture gives an empty picture and an error text of the form
// "<name>: <reason>". The format is told by the file's signature, not by its name.
#pragma once

#include "platform/image/Picture.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace plat {

// The largest picture any decoder accepts, in pixels: the tallest strip of the scene has 7 M,
// and a few hundred bytes of run-length encoded bitmap or GIF must not make a gigabyte picture.
inline constexpr int64_t kMaxPicturePixels = 16LL * 1024 * 1024;
// The largest picture file read from disk.
inline constexpr int64_t kMaxPictureFileBytes = 256LL * 1024 * 1024;

struct DecodeResult {
    Picture Image;
    std::string Error;  // empty on success
    bool Ok() const { return Error.empty(); }
};

// Baseline or progressive JPEG (three colour components or grey) into 32-bit pixels.
DecodeResult DecodeJpeg(std::span<const uint8_t> Bytes, std::string_view Name);
// The first image of a GIF87a or GIF89a file. Pixels of the transparency index come out black
// (0), the colour the sprites key out and that a fresh surface holds, so drawing such a picture
// onto a cleared surface leaves them unchanged; so does the area of the logical screen that the
// first image does not cover.
DecodeResult DecodeGif(std::span<const uint8_t> Bytes, std::string_view Name);
// Windows bitmap: 8 bits per pixel uncompressed or run-length encoded, and 24 bits per pixel
// (the other depths the bitmap format defines are read as well).
DecodeResult DecodeBmp(std::span<const uint8_t> Bytes, std::string_view Name);
// A thread of the program's own (not the main one) that decoded bitmaps calls this before it
// ends: the bitmap reader's library keeps state per thread that it frees only for its own threads.
void EndDecodingThread();

// Chooses the decoder by the picture's signature.
DecodeResult DecodePicture(std::span<const uint8_t> Bytes, std::string_view Name);
// Reads a picture file and decodes it; the error names the path.
DecodeResult LoadPictureFile(const std::string& Path);

// "<name>: <reason>": the one form of every decoder's error text.
DecodeResult DecodeFailure(std::string_view Name, std::string_view Reason);
// Whether a picture of this size may be decoded; the reason otherwise.
const char* CheckPictureSize(int64_t Width, int64_t Height);

}  // namespace plat
