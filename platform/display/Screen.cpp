// The backend-independent part of a screen: opening and closing around the backend's window, the
// frame hand-over and the gamma ramp, which is applied in software while presenting so that
// brightness works on every display, including those without a hardware ramp.
#include "platform/display/Screen.h"

#include "platform/display/Blit.h"
#include "platform/display/DDraw.h"

namespace plat {

bool Screen::Open(int Width, int Height, int DisplayIndex)
{
    Close();
    if (Width <= 0 || Height <= 0 || !OpenWindow(Width, Height, DisplayIndex))
        return false;
    FFrames.Allocate(Width, Height);
    return true;
}

void Screen::Close()
{
    if (!IsOpen())
        return;
    CloseWindow();
    FFrames.Free();
    std::vector<uint32_t>().swap(FGammaFrame);
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
    const uint32_t* frame = FFrames.TakeNewest();
    if (frame == nullptr && reset)
        frame = FFrames.Current();
    if (frame == nullptr)
        return false;
    std::lock_guard<std::mutex> guard(FGammaLock);
    if (FGammaIdentity)
        Show(frame);
    else
        ShowWithGamma(frame);
    return true;
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
    // Made at the first frame that needs it: a backend applying the ramp in its own copy never does.
    FGammaFrame.resize(static_cast<size_t>(Width()) * static_cast<size_t>(Height()));
    ApplyGammaTo(FGammaFrame.data(), Width(), Pixels);
    Show(FGammaFrame.data());
}

// Called with the gamma lock held.
void Screen::ApplyGammaTo(uint32_t* Dest, int DestPitch, const uint32_t* Pixels) const
{
    const int rows = DestPitch == Width() ? 1 : Height();
    const size_t count = static_cast<size_t>(Width()) * static_cast<size_t>(Height() / rows);
    for (int y = 0; y < rows; ++y) {
        uint32_t* out = Dest + static_cast<size_t>(y) * static_cast<size_t>(DestPitch);
        const uint32_t* in = Pixels + static_cast<size_t>(y) * static_cast<size_t>(Width());
        if (FGammaLinear)
            blit::ScaleChannels(out, in, count, FGammaSlopes);
        else
            blit::MapChannels(out, in, count, FGammaTable);
    }
}

}  // namespace plat
