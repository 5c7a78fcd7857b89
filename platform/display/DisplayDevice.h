// Internal to the display layer: the state a display object shares with its surfaces and gamma
// control, and the list of its live surfaces, which the display object empties when it goes.
// Surfaces and gamma controls keep the state alive; once the display object is gone, Bound is
// null.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

namespace plat {

class Screen;
class DirectDrawSurface;

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
    // Every surface created through the display object and not yet freed or orphaned.
    std::mutex SurfacesLock;
    std::vector<DirectDrawSurface*> Surfaces;
};

// Surfaces that outlived their display object, kept reachable until their last Release (a holder
// that forgot one never releases it; the few bytes stay accounted for instead of leaking).
struct OrphanedSurfaces {
    std::mutex Lock;
    std::vector<DirectDrawSurface*> Surfaces;
};
OrphanedSurfaces& Orphans();

}  // namespace plat
