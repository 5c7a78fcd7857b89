// The backend-independent part of a screen: opening and closing around the backend's window, the
// frame hand-over and the gamma ramp, which is applied in software while presenting so that
// brightness works on every display, including those without a hardware ramp.
#include "platform/display/Screen.h"

#include "platform/display/Blit.h"
#include "platform/display/DDraw.h"

#include <algorithm>

namespace plat {

int Screen::DisplayCount() const
{
    return 1;
}

bool Screen::Open(int Width, int Height, int DisplayIndex)
{
    Close();
    if (Width <= 0 || Height <= 0 || !OpenWindow(Width, Height, DisplayIndex))
        return false;
    FFrames.Allocate(Width, Height);
    int outWidth = Width, outHeight = Height;
    OutputSize(outWidth, outHeight);
    FLayout = LayOutFrame(Width, Height, outWidth, outHeight, false, 0);
    return true;
}

void Screen::SetLayers(bool Surround, int OverlayRows)
{
    int width = 0, height = 0;
    if (!IsOpen() || !OutputSize(width, height))
        return;
    FLayout = LayOutFrame(Width(), Height(), width, height, Surround, OverlayRows);
    FFrames.AllocateExtras(FLayout.LayerPixels());
    std::vector<uint32_t>().swap(FGammaLayers);
    LayersChanged();
}

void Screen::Close()
{
    if (!IsOpen())
        return;
    CloseWindow();
    FFrames.Free();
    FLayout = FrameLayout{};
    FOverlayPainter = nullptr;
    std::vector<uint32_t>().swap(FGammaFrame);
    std::vector<uint32_t>().swap(FGammaLayers);
    ResetGammaRamp();
}

void Screen::PinToMonitor(const TRect& Bounds, bool Beside)
{
    FBeside = Beside;
    if (Bounds == FPinned)
        return;
    FPinned = Bounds;
    if (IsOpen())
        MoveWindow();
}

bool Screen::PresentLatest()
{
    if (!IsOpen())
        return false;
    Tend();
    const bool reset = TakeDeviceReset();
    if (reset)
        NoteDeviceReset();
    if (!WantsFrame(FFrames.HasNewest()))
        return false;
    const uint32_t* frame = FFrames.TakeNewest();
    if (frame == nullptr && reset)
        frame = FFrames.Current();
    if (frame == nullptr)
        return false;
    std::lock_guard<std::mutex> guard(FGammaLock);
    FShownLayers = FFrames.Extras(FFrames.CurrentIndex());
    FShowingWithGamma = !FGammaIdentity;
    if (FGammaIdentity)
        Show(frame);
    else
        ShowWithGamma(frame);
    return true;
}

// Called inside Show, with the gamma lock held.
void Screen::PaintOverlay(uint32_t* Pixels, int Pitch) const
{
    const int width = FLayout.Overlay.Width(), height = FLayout.Overlay.Height();
    if (!FOverlayPainter) {
        for (int y = 0; y < height; ++y)
            std::fill(Pixels + static_cast<size_t>(y) * static_cast<size_t>(Pitch),
                      Pixels + static_cast<size_t>(y) * static_cast<size_t>(Pitch) + width, 0u);
        return;
    }
    FOverlayPainter(Pixels, Pitch);
    if (FShowingWithGamma)
        ApplyGammaTo(Pixels, Pitch, Pixels, Pitch, width, height);
}

void Screen::SetGammaRamp(const DDGAMMARAMP& Ramp)
{
    std::lock_guard<std::mutex> guard(FGammaLock);
    const uint16_t* channels[3] = {Ramp.red, Ramp.green, Ramp.blue};
    FGammaIdentity = true;
    FGammaLinear = true;
    for (int c = 0; c < 3; ++c) {
        // A ramp of entries i x slope (what brightness loads) is applied by multiplying.
        FGammaSlopes[c] = channels[c][1];
        for (int i = 0; i < 256; ++i) {
            FGammaRamp[c][i] = channels[c][i];
            FGammaTable[c][i] = static_cast<uint8_t>(channels[c][i] >> 8);
            FGammaIdentity = FGammaIdentity && FGammaTable[c][i] == i;
            FGammaLinear = FGammaLinear && FGammaSlopes[c] <= 257 && channels[c][i] == i * FGammaSlopes[c];
        }
    }
}

void Screen::GetGammaRamp(DDGAMMARAMP& Ramp) const
{
    std::lock_guard<std::mutex> guard(FGammaLock);
    uint16_t* channels[3] = {Ramp.red, Ramp.green, Ramp.blue};
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 256; ++i)
            channels[c][i] = FGammaRamp[c][i];
}

void Screen::ResetGammaRamp()
{
    std::lock_guard<std::mutex> guard(FGammaLock);
    FGammaIdentity = true;
    for (auto& channel : FGammaRamp)
        for (int i = 0; i < 256; ++i)
            channel[i] = static_cast<uint16_t>(i * 257);
}

void Screen::ShowWithGamma(const uint32_t* Pixels)
{
    // Made at the first frame that needs them: a backend applying the ramp in its own copy never does.
    FGammaFrame.resize(static_cast<size_t>(Width()) * static_cast<size_t>(Height()));
    ApplyGammaTo(FGammaFrame.data(), Width(), Pixels);
    if (FShownLayers != nullptr) {
        const int count = static_cast<int>(FLayout.LayerPixels());
        FGammaLayers.resize(static_cast<size_t>(count));
        ApplyGammaTo(FGammaLayers.data(), count, FShownLayers, count, count, 1);
        FShownLayers = FGammaLayers.data();
    }
    Show(FGammaFrame.data());
}

// Called with the gamma lock held.
void Screen::ApplyGammaTo(uint32_t* Dest, int DestPitch, const uint32_t* Pixels) const
{
    ApplyGammaTo(Dest, DestPitch, Pixels, Width(), Width(), Height());
}

void Screen::ApplyGammaTo(uint32_t* Dest, int DestPitch, const uint32_t* Source, int SourcePitch, int Width,
                          int Height) const
{
    // Rows that follow one another without a gap on both sides go as one run.
    const bool packed = DestPitch == Width && SourcePitch == Width;
    const int rows = packed ? 1 : Height;
    const size_t count = static_cast<size_t>(Width) * static_cast<size_t>(packed ? Height : 1);
    for (int y = 0; y < rows; ++y) {
        uint32_t* out = Dest + static_cast<size_t>(y) * static_cast<size_t>(DestPitch);
        const uint32_t* in = Source + static_cast<size_t>(y) * static_cast<size_t>(SourcePitch);
        if (FGammaLinear)
            blit::ScaleChannels(out, in, count, FGammaSlopes);
        else
            blit::MapChannels(out, in, count, FGammaTable);
    }
}

}  // namespace plat
