// The desktop's monitors as rectangles in desktop coordinates. The saver covers each with a window
// of its own; an unpinned SDL screen opens on one of them and covers every other one with a black
// window while it is open. The back-ends make the desktop's lists (sdl/SdlDisplays.h);
// FixedDisplays is a given list, for tests.
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
