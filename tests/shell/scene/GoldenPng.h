// Reference frames on disk: 8-bit RGB PNG files, written and read by the golden tests.
//
// Compression comes from the system's zlib, loaded at run time, so the tests need no build
// dependency of their own. Reading handles what writing produces and any other non-interlaced
// 8-bit RGB PNG (all five row filters), so a reference file may also come from an image tool.
// Errors come back as text ("<path>: <reason>"); nothing throws.
#pragma once

#include "platform/image/Picture.h"

#include <string>

namespace golden {

// Writes the picture's red, green and blue (the pixel's high byte is dropped). Empty on success.
std::string WritePng(const std::string& Path, const plat::Picture& Image);
// Reads an 8-bit RGB PNG into 0x00RRGGBB pixels. Empty on success.
std::string ReadPng(const std::string& Path, plat::Picture& Image);

// A test's check of a picture against the reference Name in the source tree's folder Dir: a
// failure names the pixels that differ (RGB only) and leaves the picture drawn in the build's
// folder of the same name. With SOLVANE_UPDATE_GOLDEN set, the picture becomes the reference.
void CompareWithGolden(const plat::Picture& Drawn, const std::string& Dir, const std::string& Name);

// The part of a picture inside a rectangle of it.
plat::Picture Crop(const plat::Picture& Image, int Left, int Top, int Width, int Height);

}  // namespace golden
