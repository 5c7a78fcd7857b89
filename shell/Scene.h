// The animated coast, the saver window's scene: a still background, three scenery strips that
// cycle in place, four seagulls flying closed curved paths, and the gadget panel with the clock,
// weather and news gadgets that the settings switch on.
//
// Life cycle, all driven by the saver window `TForm1`:
//   1. Construction (window creation): every sprite and gadget becomes a component of the window
//      and a child of the display host, with its picture decoded from the built-in resources (the
//      large JPEG strips on all cores at once).
//   2. `Build` (window start-up, after the host opened the display): the set-up order of the
//      scene, giving each sprite its place, size and surfaces, creating the two smaller flyer
//      copies and starting the four flights. The feed thread starts in the middle of it, through
//      `OnStartFeeds`.
//      Then, where the screen shows layers (plat::FrameLayout), the surround around the frame
//      (TSurround) and the gadget band at the screen's resolution over it (TBand), which the
//      screen paints on the main thread whenever it shows a frame.
//   3. `DrawFrame` (the host's per-frame `Kss1Timer`, on the frame thread): one frame in drawing
//      order, with the window's two strip counters, then its surround. Allocates nothing.
// The host releases the sprites' surfaces when it closes; the window frees the components, the
// run-time strips and the flight records.
#pragma once

#include "engine/Component.h"
#include "gadgets/Band.h"
#include "platform/image/Picture.h"
#include "shell/Flight.h"
#include "shell/Surround.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

class TKss;
class TKIM;
class TKMV;
class TKGC;
class TKGW;
class TKGR;
namespace layout {
struct TStrip;
}

// The strip counters of one frame, each cycling through its strips' frames (layout::
// kShortCycleFrames, kLongCycleFrames) from 1 on: 1, 2, .., the last, 0, 1, ..
void AdvanceCycleFrames(int32_t& ShortCycleFrame, int32_t& LongCycleFrame);

// Left edges of the gadgets in the panel; the gadgets sit side by side from the right: the
// clock at the right end, the weather to its left, the ticker to the left of both (nothing
// moves for the ticker, the leftmost). A switch counts as on when it is not 0.
struct TGadgetPlacement {
    int32_t ClockX;
    int32_t WeatherX;
    int32_t NewsX;
};
TGadgetPlacement PlaceGadgets(int32_t ShowTime, int32_t ShowWeather);

// A decoded scene picture and, when decoding failed, why.
struct TScenePicture {
    const char* Name;
    plat::Picture Picture;
    std::string Error;
};

// Decodes every picture of the scene from the built-in resources, on up to Threads threads at
// once (the calling thread included), the largest first. The order of the result is fixed.
std::vector<TScenePicture> DecodeScenePictures(unsigned Threads);

class TScene {
public:
    // Creates the sprites as components of Form, children of Host, and gives them their pictures
    // (LoadPictures) unless LoadNow is false. Host must outlive the scene's use; Form (a form or
    // a component of one: the gadgets take its application's fonts) frees the components.
    TScene(TComponent* Form, TKss* Host, bool LoadNow = true);
    ~TScene();
    TScene(const TScene&) = delete;
    TScene& operator=(const TScene&) = delete;

    // Decodes the built-in pictures (in parallel) into the sprites, once; or copies them from
    // pictures decoded once for several scenes (the saver's windows on several monitors). A window
    // that opens its display first loads them at its set-up, so that the screen is covered
    // without waiting for the decoding.
    void LoadPictures(const std::vector<TScenePicture>* Decoded = nullptr);
    // The scene's set-up, once, after the host opened the display; loads the pictures first.
    void Build();
    // One frame, in drawing order, advancing the window's strip counters first; does nothing
    // before Build.
    void DrawFrame(int32_t& ShortCycleFrame, int32_t& LongCycleFrame);

    // Starts the feed thread; called once by Build between the set-up of the clock and weather
    // gadgets and that of the news ticker, whatever the gadget switches say. Left unassigned until
    // the feeds exist.
    TNotifyEvent OnStartFeeds;

    // The window's scene components (owned by the window).
    TKIM* KIM1;
    TKMV* KMV1;
    TKMV* KMV2;
    TKMV* KMV3;
    TKMV* KMV3SG;
    TKMV* KMV3SGsmall;
    TKIM* KIM2GadgetPanel;
    TKGC* KGC1;
    TKGW* KGW1;
    TKMV* KMV3Weather;
    TKGR* KGR1;
    // Created by Build (owned by the window).
    TKMV* KMV3SGmini = nullptr;
    TKMV* KMV3SGtiny = nullptr;

    // The flights of KMV3SG, KMV3SGsmall, KMV3SGmini and KMV3SGtiny, in that order.
    std::array<std::unique_ptr<FlyMovies>, 4> Flights;

    const TSurround& Surround() const { return FSurround; }
    const TBand& Band() const { return FBand; }

private:
    void PrepareStill(TKIM* Sprite, bool Stretching, bool Transparency, int32_t Width, int32_t Height, int32_t X,
                      int32_t Y);
    void PrepareMovie(TKMV* Sprite, bool Stretching, bool Transparency, bool UseSize, int32_t StretchWidth,
                      int32_t StretchHeight, int32_t FrameHeight, int32_t X, int32_t Y);
    // A scenery strip at its place in the layout, stretched, opaque.
    void PrepareStrip(TKMV* Sprite, const layout::TStrip& Strip);
    void CopyMoviePicture(TKMV* Target, const TKMV* Source);
    void PrepareBackdrop();
    void PrepareGadgets();
    void PrepareFlyers();
    // The layers the screen shows: the surround, and the band when a gadget is on.
    void PrepareLayers();
    void StartFlyer(int Index, std::span<const TFlyPoint> Path, int32_t FirstSegment, int32_t Steps);
    void DrawGadgets();
    // The gadgets derive from TKIM but answer their own class names, so the host's restore walk
    // passes them by: their plates are repainted here after a loss.
    void RestoreGadgets();

    TComponent* FForm;
    TKss* FHost;
    TSurround FSurround;
    TBand FBand;
    // The flyers, smallest first: the order they are drawn in.
    std::array<TKMV*, 4> FFlyers{};
    bool FLoaded = false;
    bool FBuilt = false;
};
