// The bitmap slider and button with the dialog's own pictures, driven by real Qt mouse and key
// events on the offscreen platform.
#include "config/DialogPictures.h"
#include "config/Kesbutton.h"
#include "config/Khfader.h"
#include "tests/config/QtTestApp.h"

#include <gtest/gtest.h>

#include <QTest>

namespace {

class KhfaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Slider.SetGround(BuiltInPicture("SliderTrack"));
        Slider.SetKnob(BuiltInPicture("SliderKnob"));
        Slider.OnValueChanged = [this](TKHFADER*) { ++Events; };
        Slider.show();
    }
    void DragTo(int X)
    {
        QTest::mousePress(&Slider, Qt::LeftButton, {}, QPoint(60, 12));
        QTest::mouseMove(&Slider, QPoint(X, 12));
    }
    QApplication& App = QtTestApp();  // before the slider: a widget needs the application
    TKHFADER Slider;
    int Events = 0;
};

TEST_F(KhfaderTest, DragValuesAndKnobPlaces)
{
    ASSERT_EQ(Slider.size(), QSize(199, 24));
    const struct {
        int X, Value, KnobX;
    } Drags[] = {{17, 0, 0}, {100, 128, 82}, {182, 256, 165}, {195, 256, 165}, {5, 0, 0}};
    for (const auto& Drag : Drags) {
        DragTo(Drag.X);
        EXPECT_EQ(Slider.GetValue(), Drag.Value) << Drag.X;
        EXPECT_EQ(Slider.KnobPosition(), QPoint(Drag.KnobX, 3)) << Drag.X;
        QTest::mouseRelease(&Slider, Qt::LeftButton, {}, QPoint(Drag.X, 12));
    }
    EXPECT_EQ(Events, 5);
    // The knob's picture is where Paint says: its top-left pixel is not the track's.
    Slider.SetValue(128);
    const QImage Drawn = Slider.grab().toImage();
    const QImage Knob = BuiltInPicture("SliderKnob");
    EXPECT_EQ(Drawn.pixel(82 + Knob.width() / 2, 3 + Knob.height() / 2),
              Knob.pixel(Knob.width() / 2, Knob.height() / 2));
}

// The slider with the keyboard focus shows a dotted frame along its edge; without it, the track.
TEST_F(KhfaderTest, FocusedSliderShowsAFocusMark)
{
    const QImage Track = BuiltInPicture("SliderTrack");
    Slider.activateWindow();
    Slider.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([this] { return Slider.hasFocus(); }));
    QImage Drawn = Slider.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int Marked = 0;
    for (int X = 40; X < 140; ++X)
        Marked += Drawn.pixel(X, 0) != Track.pixel(X, 0);
    EXPECT_GT(Marked, 50);
    Slider.clearFocus();
    Drawn = Slider.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(Drawn.pixel(60, 0), Track.pixel(60, 0));
}

TEST_F(KhfaderTest, PressWithoutMoveAndMovesWithoutPressRaiseNothing)
{
    Slider.SetValue(300);  // unchecked
    QTest::mousePress(&Slider, Qt::LeftButton, {}, QPoint(100, 12));
    QTest::mouseRelease(&Slider, Qt::LeftButton, {}, QPoint(100, 12));
    QTest::mouseMove(&Slider, QPoint(50, 12));
    EXPECT_EQ(Slider.GetValue(), 300);
    EXPECT_EQ(Events, 0);
}

TEST_F(KhfaderTest, ArrowKeysStepByEightWithinTheRange)
{
    Slider.SetValue(252);
    QTest::keyClick(&Slider, Qt::Key_Right);
    EXPECT_EQ(Slider.GetValue(), 256);
    QTest::keyClick(&Slider, Qt::Key_Left);
    EXPECT_EQ(Slider.GetValue(), 248);
    EXPECT_EQ(Events, 2);
}

TEST(KhfaderNarrowGroundTest, DragLeavesTheValue)
{
    QtTestApp();
    TKHFADER Slider;
    Slider.SetGround(BuiltInPicture("SliderKnob"));
    Slider.SetKnob(BuiltInPicture("SliderKnob"));
    Slider.SetValue(77);
    QTest::mousePress(&Slider, Qt::LeftButton, {}, QPoint(3, 3));
    QTest::mouseMove(&Slider, QPoint(20, 3));
    EXPECT_EQ(Slider.GetValue(), 77);
}

TEST(KesbuttonTest, ShowsThePressedPictureAndClicksOnReleaseAnywhere)
{
    QtTestApp();
    TKesbutton Button;
    Button.SetGround_on(BuiltInPicture("BtnOkDown"));
    Button.SetGround_off(BuiltInPicture("BtnOkUp"));
    ASSERT_EQ(Button.size(), QSize(76, 26));
    int Clicks = 0;
    Button.OnClick = [&](TKesbutton*) { ++Clicks; };
    Button.show();
    QTest::mousePress(&Button, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(Button.Pressed());
    EXPECT_EQ(Button.grab().toImage().pixel(38, 13), BuiltInPicture("BtnOkDown").pixel(38, 13));
    QTest::mouseRelease(&Button, Qt::LeftButton, {}, QPoint(300, -40));
    EXPECT_FALSE(Button.Pressed());
    EXPECT_EQ(Clicks, 1);
}

}  // namespace
