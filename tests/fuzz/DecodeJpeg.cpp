// Fuzz target: arbitrary bytes through the JPEG decoder. Any input must give a picture or an
// error text, within the bytes given and without a crash or a leak.
#include "platform/image/PictureDecoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    const plat::DecodeResult Result = plat::DecodeJpeg({Data, Size}, "fuzz");
    if (Result.Ok() == Result.Image.Empty())
        __builtin_trap();
    return 0;
}
