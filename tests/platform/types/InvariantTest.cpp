// The always-on invariant checks: a broken one stops the program, saying where and what, in every
// build (this one is built as a release build with NDEBUG); a sound one costs nothing else.
#include "platform/types/Invariant.h"
#include "platform/display/FrameMailbox.h"

#include <gtest/gtest.h>

TEST(Invariant, ABufferIndexOutsideTheMailboxStopsTheProgramNamingPlaceAndValues)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    plat::FrameMailbox frames;
    frames.Allocate(2, 2);
    EXPECT_DEATH(frames.Buffer(4), "invariant broken at .*FrameMailbox.h:[0-9]+ .*frame buffer: 4 index not below 4");
    EXPECT_DEATH(frames.Publish(-1), "frame buffer: [0-9]+ index not below 4");
    frames.Buffer(plat::FrameMailbox::kBuffers - 1)[0] = 1;  // the last slot is fine
}

TEST(Invariant, ASizeOverItsRoomAndAFalseConditionStopTheProgram)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(plat::CheckFits(65, 64, "time text"), "InvariantTest.cpp:[0-9]+ .*time text: 65 size over room of 64");
    EXPECT_DEATH(plat::Check(false, "a form is given its screen"), "a form is given its screen");
    plat::CheckFits(64, 64, "time text");
    plat::CheckIndex(3, 4, "frame buffer");
}
