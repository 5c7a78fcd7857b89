// Internal to the display layer: the state a display object shares with its surfaces and gamma
// control. Surfaces keep it alive, so a surface released after its display object never reaches
// freed memory; once the display object is gone, Bound is null and the flip chain answers
// DDERR_SURFACELOST for good.
#pragma once

#include <atomic>
#include <cstdint>

namespace plat {

class Screen;

struct DisplayDevice {
    explicit DisplayDevice(int Index) : DeviceIndex(Index) {}

    const int DeviceIndex;
    // Set and cleared on the main thread while no frame is drawn.
    Screen* Bound = nullptr;
    uint32_t CooperativeFlags = 0;
    bool ModeSet = false;
    bool PrimaryExists = false;
    // Raised by LoseSurfaces; a surface is lost while the value it noted at its creation or
    // last restore differs.
    std::atomic<uint32_t> LossGeneration{0};
};

}  // namespace plat
