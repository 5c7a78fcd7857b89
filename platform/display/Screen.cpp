// The backend-independent part of a screen: opening and closing around the backend's window, the
// frame hand-over and the gamma ramp, which is applied in software while presenting so that
// brightness works on every display, including those without a hardware ramp.
#include "platform/display/Screen.h"

#include "platform/display/DDraw.h"

namespace plat {

bool Screen::Open(int Width, int Height, int DisplayIndex)
{
    Close();
    if (Width <= 0 || Height <= 0 || !OpenWindow(Width, Height, DisplayIndex))
        return false;
    FFrames.Allocate(Width, Height);
    FGammaFrame.assign(static_cast<size_t>(Width) * static_cast<size_t>(Height), 0u);
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

bool Screen::PresentLatest()
{
    if (!IsOpen())
        return false;
    const bool reset = TakeDeviceReset();
    if (reset)
        NoteDeviceReset();
    const uint32_t* frame = FFrames.TakeNewest();
    if (frame == nullptr && reset)
        frame = FFrames.Current();
    if (frame == nullptr)
        return false;
    std::lock_guard<std::mutex> guard(FGammaLock);
    Show(ApplyGamma(frame));
    return true;
}

void Screen::SetGammaRamp(const DDGAMMARAMP& Ramp)
{
    std::lock_guard<std::mutex> guard(FGammaLock);
    const uint16_t* channels[3] = {Ramp.red, Ramp.green, Ramp.blue};
    FGammaIdentity = true;
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 256; ++i) {
            FGammaTable[c][i] = static_cast<uint8_t>(channels[c][i] >> 8);
            FGammaIdentity = FGammaIdentity && FGammaTable[c][i] == i;
        }
}

void Screen::GetGammaRamp(DDGAMMARAMP& Ramp) const
{
    std::lock_guard<std::mutex> guard(FGammaLock);
    uint16_t* channels[3] = {Ramp.red, Ramp.green, Ramp.blue};
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 256; ++i)
            channels[c][i] = static_cast<uint16_t>(FGammaIdentity ? i * 257 : FGammaTable[c][i] * 257);
}

void Screen::ResetGammaRamp()
{
    std::lock_guard<std::mutex> guard(FGammaLock);
    FGammaIdentity = true;
}

// Called with the gamma lock held.
const uint32_t* Screen::ApplyGamma(const uint32_t* Pixels)
{
    if (FGammaIdentity)
        return Pixels;
    const uint8_t* red = FGammaTable[0];
    const uint8_t* green = FGammaTable[1];
    const uint8_t* blue = FGammaTable[2];
    const size_t count = FGammaFrame.size();
    uint32_t* out = FGammaFrame.data();
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = Pixels[i];
        out[i] = (static_cast<uint32_t>(red[(p >> 16) & 0xFF]) << 16) |
                 (static_cast<uint32_t>(green[(p >> 8) & 0xFF]) << 8) | blue[p & 0xFF];
    }
    return out;
}

}  // namespace plat
