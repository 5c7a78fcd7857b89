// The sprites' shared display calls: the busy retry and the names of blit failure codes.
#include "sprites/SpriteSurface.h"

#include <gtest/gtest.h>

TEST(SpriteSurface, BusyAnswersAreRetriedUntilTheRealAnswer)
{
    int Calls = 0;
    const plat::HResult Result =
        sprites::RetryWhileStillDrawing([&] { return ++Calls < 4 ? plat::DDERR_WASSTILLDRAWING : plat::DD_OK; });
    EXPECT_EQ(Result, plat::DD_OK);
    EXPECT_EQ(Calls, 4);
}

TEST(SpriteSurface, AFailureEndsTheRetryAtOnce)
{
    int Calls = 0;
    EXPECT_EQ(sprites::RetryWhileStillDrawing([&] {
                  ++Calls;
                  return plat::DDERR_SURFACELOST;
              }),
              plat::DDERR_SURFACELOST);
    EXPECT_EQ(Calls, 1);
}

TEST(SpriteSurface, BlitFailureNamesAsUsersKnowThem)
{
    EXPECT_STREQ(sprites::BlitErrorName(0x80004001u), "DDERR_UNSUPPORTED");
    EXPECT_STREQ(sprites::BlitErrorName(0x80004005u), "DDERR_GENERIC");
    EXPECT_STREQ(sprites::BlitErrorName(0x80070057u), "DERR_INVALIDPARAMS");
    EXPECT_STREQ(sprites::BlitErrorName(0x88760037u), "DDERR_EXCEPTION");
    EXPECT_STREQ(sprites::BlitErrorName(0x88760082u), "DDERR_INVALIDOBJECT");
    EXPECT_STREQ(sprites::BlitErrorName(0x88760096u), "DDERR_INVALIDRECT");
    EXPECT_STREQ(sprites::BlitErrorName(0x887601AEu), "DDERR_SURFACEBUSY");
    EXPECT_STREQ(sprites::BlitErrorName(0x8876023Fu), "DDERR_NOBLTHW");
    EXPECT_STREQ(sprites::BlitErrorName(0x8007000Eu), "");
    EXPECT_STREQ(sprites::BlitErrorName(plat::DDERR_SURFACELOST), "");
}
