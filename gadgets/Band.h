// TBand, the gadget band as the screen shows it: one finished band across the monitor's whole
// width, drawn at the monitor's own resolution into the overlay layer over the scaled scene
// (plat::FrameLayout). The back buffer keeps the design's band at the design's size (the design's
// frames hold it, and a screensaver daemon's window shows it); on the screen this one covers it.
//
// Layout: the gadgets keep the design's order and sizes times the band's scale, anchored at the
// band's right end; the ticker takes whatever width the monitor adds (or loses), so on a wide
// monitor it shows more of the line. Every gadget's frame is closed: each has its rounded left
// side, the next gadget's closes the one before, and the rightmost closes its own, a few pixels
// before the band's end.
//
// Set-up (Build, main thread, once the layers are set) draws what stands still into a base
// picture of the overlay's size: the glass (the generator's softened, darkened copy of the scene
// behind the band, "BandGlass") when "Transparency of background" is ticked, else the solid
// panel; the hairline; the frames, labels and icon tiles. It scales the condition icons (made at
// three times the design's size, "BandIcons") to the band's icon size, and gives the gadgets the
// band's scale so that they measure their texts for its fonts. Each time the screen shows a frame
// (Paint, main thread, the screen's overlay painter) it copies the base into the overlay and has
// the gadgets draw their contents over it with fonts of the band's size, from the values the
// frame thread reads too (atomics and hand-overs). Painting allocates nothing.
#pragma once

#include "platform/display/FrameLayout.h"
#include "platform/image/Picture.h"

#include <cstdint>

class TKGC;
class TKGW;
class TKGR;

namespace plat {
class FontCache;
}

class TBand {
public:
    // Fonts: the application's, which the labels are drawn with.
    explicit TBand(plat::FontCache& Fonts) : FFonts(Fonts) {}

    // The gadgets shown, as the settings switch them (null for one that is off), the columns
    // their plates take in the design's band (the design's width), and the glass or the solid panel.
    struct TGadgets {
        TKGC* Clock = nullptr;
        TKGW* Weather = nullptr;
        TKGR* News = nullptr;
        int32_t ClockX = 0, ClockWidth = 0;
        int32_t WeatherX = 0, WeatherWidth = 0;
        int32_t NewsX = 0, NewsWidth = 0;
        bool Glass = true;
    };
    // Glass is the glass picture (design pixels, GlassOrigin its column of the frame's left
    // edge), Icons the condition icons stacked top to bottom, each as wide as the picture.
    // Nothing is drawn when the layout has no overlay or no gadget is on.
    void Build(const plat::FrameLayout& Layout, const TGadgets& Gadgets, const plat::Picture& Glass,
               int32_t GlassOrigin, const plat::Picture& Icons);
    // The whole band into Pixels (the overlay's size, rows Pitch pixels apart).
    void Paint(uint32_t* Pixels, int Pitch);

    bool Empty() const { return FBase.Empty(); }
    const plat::Picture& Base() const { return FBase; }
    // A gadget's plate in the overlay's pixels (empty when the gadget is off).
    plat::TRect ClockPlate() const { return FClockPlate; }
    plat::TRect WeatherPlate() const { return FWeatherPlate; }
    plat::TRect NewsPlate() const { return FNewsPlate; }

private:
    void DrawBackground(const plat::FrameLayout& Layout, bool Glass, const plat::Picture& GlassPicture,
                        int32_t GlassOrigin);
    // The plates in band pixels from their columns in band design pixels.
    void Place(double ClockX, double WeatherX, double NewsX, double NewsRight);
    void DrawStill(double ClockX, double WeatherX, double NewsX, double NewsRight);
    void ScaleIcons(const plat::Picture& Icons);

    plat::FontCache& FFonts;
    TGadgets FGadgets;
    double FScale = 1.0;
    plat::Picture FBase;
    plat::Picture FIcons;
    int32_t FIconSize = 0;
    plat::TRect FClockPlate{}, FWeatherPlate{}, FNewsPlate{};
};
