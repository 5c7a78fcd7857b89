// The desktop's monitors as rectangles in desktop coordinates. The saver covers each with a window
// of its own; an unpinned SDL screen opens on one of them and covers every other one with a black
// window while it is open. The Linux list is SDL's displays (read when asked; the list keeps SDL's
// video running while it lives); FixedDisplays is a given list, for tests.
#pragma once

#include <memory>
#include <vector>

#include "platform/types/Geometry.h"

namespace plat {

class DisplayList {
public:
    virtual ~DisplayList() = default;
    virtual int Count() const = 0;
    // The monitor's rectangle; empty for an index outside the list.
    virtual TRect Bounds(int Index) const = 0;
};

std::shared_ptr<DisplayList> SdlDisplays();
// The monitors the saver covers: on X11 RandR's (which follows monitors switched off, on or
// moved), elsewhere SDL's. Keeps SDL's video running while it lives.
std::shared_ptr<DisplayList> DesktopMonitors();

class FixedDisplays : public DisplayList {
public:
    explicit FixedDisplays(std::vector<TRect> Monitors) : FMonitors(std::move(Monitors)) {}
    int Count() const override { return static_cast<int>(FMonitors.size()); }
    TRect Bounds(int Index) const override
    {
        return Index >= 0 && Index < Count() ? FMonitors[static_cast<size_t>(Index)] : TRect{};
    }

private:
    std::vector<TRect> FMonitors;
};

}  // namespace plat
