// Internal to the display layer: what a surface keeps. An off-screen surface owns its pixels; the
// primary surface and its back buffer draw into the screen's frame buffers, which the primary
// passes on at every flip.
#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "platform/display/DDraw.h"
#include "platform/display/DisplayDevice.h"
#include "platform/display/FrameMailbox.h"

namespace plat {

struct DirectDrawSurface::State {
    enum class Role { OffScreen, Primary, Back };

    State(std::shared_ptr<DisplayDevice> ADevice, Role ARole) : Device(std::move(ADevice)), Kind(ARole) {}

    std::shared_ptr<DisplayDevice> Device;
    Role Kind;
    std::vector<uint32_t> Own;
    uint32_t* Pixels = nullptr;
    int Pitch = 0;  // pixels
    // The device's loss generation (and, for the primary, the screen's reset count) noted at
    // creation or at the last restore.
    std::atomic<uint32_t> RestoredAt{0};
    std::atomic<uint32_t> ResetsSeen{0};
    bool HasKey = false;
    uint32_t Key = 0;
    // The primary holds a reference to its back buffer; the back buffer points back, without one.
    DirectDrawSurface* Partner = nullptr;
    // The primary's frame buffers in the screen's mailbox: the back buffer's and its spare.
    int BackBuffer = FrameMailbox::kFirstProducerBuffer;
    int SpareBuffer = FrameMailbox::kSecondProducerBuffer;
    // The display object is gone and took the pixels with it.
    bool Orphaned = false;
    DrawContext Context;
    bool ContextOut = false;
    bool Locked = false;
};

}  // namespace plat
