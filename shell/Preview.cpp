#include "shell/Preview.h"

#include "assets/Resources.h"
#include "platform/app/Application.h"
#include "platform/image/PictureDecoder.h"
#include "platform/x11/ForeignWindow.h"

namespace shell {

void RunPreview(int32_t Window)
{
    const plat::DecodeResult preview = plat::DecodeBmp(assets::FindResource("PREVIEWBMP"), "PREVIEWBMP");
    // A window id is an unsigned 32-bit value; the handle arrives as its signed reading.
    const unsigned long window = static_cast<uint32_t>(Window);
    plat::DrawIntoForeignWindow(window, preview.Image, std::chrono::milliseconds(50),
                                [] { plat::App().ProcessMessages(); });
}

}  // namespace shell
