#include "shell/Preview.h"

#include "assets/Resources.h"
#include "platform/app/Application.h"
#include "platform/image/PictureDecoder.h"
#include "platform/x11/ForeignWindow.h"

namespace shell {

void RunPreview(unsigned long Window)
{
    const plat::DecodeResult preview = plat::DecodeBmp(assets::FindResource("PREVIEWBMP"), "PREVIEWBMP");
    plat::DrawIntoForeignWindow(Window, preview.Image, std::chrono::milliseconds(50),
                                [] { plat::App().ProcessMessages(); });
}

}  // namespace shell
