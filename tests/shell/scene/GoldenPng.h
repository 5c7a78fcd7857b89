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

}  // namespace golden
