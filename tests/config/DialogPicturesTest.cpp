// The dialog reads its pictures with Qt's readers; they must give the pixels the program's own
// decoders give for the same built-in bytes.
#include "config/DialogPictures.h"
#include "assets/Resources.h"
#include "platform/image/PictureDecoder.h"

#include <gtest/gtest.h>

TEST(DialogPictures, QtReadsThePixelsOfTheProgramsDecoders)
{
    for (const char* name : {"DialogHeader", "DialogDecor", "SliderTrack", "SliderKnob", "BtnOkDown", "BtnOkUp",
                             "BtnCancelDown", "BtnCancelUp"}) {
        const plat::DecodeResult decoded = plat::DecodePicture(assets::FindResource(name), name);
        const QImage read = BuiltInPicture(name);
        ASSERT_TRUE(decoded.Ok()) << name;
        ASSERT_EQ(read.width(), decoded.Image.Width()) << name;
        ASSERT_EQ(read.height(), decoded.Image.Height()) << name;
        int differing = 0;
        for (int y = 0; y < read.height(); ++y)
            for (int x = 0; x < read.width(); ++x)
                differing += (read.pixel(x, y) & 0xFFFFFFu) != decoded.Image.Row(y)[x];
        EXPECT_EQ(differing, 0) << name;
    }
}
