// The scene's layout in the design space it is drawn for: the space's size, where each strip lies
// and how its frames are cut, the flyers' frames, the gadget band and the gadgets' plates. Every
// reader (the scene, the surround beyond the frame, the band at the window's resolution, the
// sprites' scaling and the window's display set-up) takes its numbers from here, so the strips,
// the surround and the band cannot drift apart. A leaf header: plain numbers, no includes of the
// project's own.
#pragma once

#include <cstdint>

namespace layout {

// The design space; a sprite with Stretching on scales from it to the screen.
inline constexpr int32_t kDesignWidth = 1024;
inline constexpr int32_t kDesignHeight = 768;

// A strip: the frame height it is cut by, the place of its top left corner, and the counter that
// picks its frame (the short one cycles through kShortCycleFrames, the long one kLongCycleFrames).
struct TStrip {
    int32_t FrameHeight;
    int32_t X;
    int32_t Y;
    bool LongCycle;
};

inline constexpr int32_t kShortCycleFrames = 31;
inline constexpr int32_t kLongCycleFrames = 150;

inline constexpr TStrip kNearStrip{217, 0, 551, false};  // KMV1: the near sea and the beach
inline constexpr TStrip kMiddleStrip{73, 299, 478, false};  // KMV2: the middle water
inline constexpr TStrip kHorizonStrip{65, 0, 319, true};  // KMV3: the horizon's mist and glints

// The flyers: the large and small seagull strips' frame heights, and the two smaller copies of the
// small one with their sizes; every flyer starts at the same place before its path moves it.
inline constexpr int32_t kGullFrameHeight = 44;
inline constexpr int32_t kSmallGullFrameHeight = 24;
struct TSize {
    int32_t Width;
    int32_t Height;
};
inline constexpr TSize kMiniGull{28, 18};
inline constexpr TSize kTinyGull{14, 9};
inline constexpr int32_t kFlyerStart = 300;

// The gadget band: the panel across the design's width from kPanelY to the bottom.
inline constexpr int32_t kPanelY = 698;
inline constexpr int32_t kBandRows = kDesignHeight - kPanelY;

// The gadgets' plates, all one height, at the panel's top; the weather's condition icons are
// square frames of kWeatherIconSize.
inline constexpr int32_t kPlateHeight = 69;
inline constexpr int32_t kClockWidth = 117;
inline constexpr int32_t kWeatherWidth = 336;
inline constexpr int32_t kTickerWidth = 572;
inline constexpr int32_t kWeatherIconSize = 52;

// The plates lie side by side from the design's right edge leftward: clock, weather, ticker; a
// gadget switched off leaves its room to the ones left of it. The ticker is one pixel wider than
// the room its place leaves: it overlaps its right neighbour by one pixel, or reaches one past
// the right edge when alone.
inline constexpr int32_t kTickerOverlap = 1;

}  // namespace layout
