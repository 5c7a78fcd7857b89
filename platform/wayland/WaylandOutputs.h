// The compositor's outputs as the saver's drawing needs them: each output's mode in pixels, its
// place and size in the desktop's logical coordinates (xdg-output, which SDL's display bounds are
// made of) and its integer scale. The scale a window on an output is drawn at follows from them:
// the mode's size over the logical size, which is also right where the compositor scales by a
// fraction and announces only the next integer (sway 1.7 at 1.5 announces 2).
// Main thread, fed by the listeners of WaylandLink's queue.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/types/Geometry.h"

struct wl_output;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;

namespace plat {

class WaylandOutputs {
public:
    WaylandOutputs() = default;
    ~WaylandOutputs() { Clear(); }
    WaylandOutputs(const WaylandOutputs&) = delete;
    WaylandOutputs& operator=(const WaylandOutputs&) = delete;

    // A wl_output global bound (registry name Name); its logical geometry is asked of Manager when
    // there is one (now, or once SetManager gives it).
    void Add(wl_output* Output, uint32_t Name);
    void SetManager(zxdg_output_manager_v1* Manager);
    // The global Name went away (a monitor unplugged); nothing when it was no output of ours.
    void Remove(uint32_t Name);
    // Destroys every output and the manager.
    void Clear();

    // The scale of the output whose logical rectangle is Bounds (SDL's display bounds), else of
    // the first output; 1 when nothing is known.
    double ScaleAt(const TRect& Bounds) const;

    // What an output told so far (public for the listeners).
    struct Output {
        wl_output* Handle = nullptr;
        zxdg_output_v1* Logical = nullptr;
        uint32_t Name = 0;
        int ModeWidth = 0, ModeHeight = 0;  // the current mode, in pixels
        int Scale = 1;  // the integer scale wl_output announces
        TRect Bounds{};  // logical, from xdg-output; empty until known
        double EffectiveScale() const;
    };

private:
    void AskLogical(Output& O);

    zxdg_output_manager_v1* FManager = nullptr;
    std::vector<std::unique_ptr<Output>> FOutputs;
};

}  // namespace plat
