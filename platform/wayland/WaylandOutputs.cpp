#include "platform/wayland/WaylandOutputs.h"

#include <wayland-client.h>

#include "wayland/xdg-output-unstable-v1-client-protocol.h"

#include <algorithm>
#include <cmath>

namespace plat {
namespace {

using Output = WaylandOutputs::Output;

void OnGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*, int32_t) {}

void OnMode(void* Data, wl_output*, uint32_t Flags, int32_t Width, int32_t Height, int32_t)
{
    if ((Flags & WL_OUTPUT_MODE_CURRENT) == 0)
        return;
    auto* output = static_cast<Output*>(Data);
    output->ModeWidth = Width;
    output->ModeHeight = Height;
}

void OnDone(void*, wl_output*) {}

void OnScale(void* Data, wl_output*, int32_t Factor)
{
    static_cast<Output*>(Data)->Scale = std::max(Factor, 1);
}

void OnName(void*, wl_output*, const char*) {}
void OnDescription(void*, wl_output*, const char*) {}

constexpr wl_output_listener kOutputListener = {OnGeometry, OnMode, OnDone, OnScale, OnName, OnDescription};

void OnLogicalPosition(void* Data, zxdg_output_v1*, int32_t X, int32_t Y)
{
    TRect& bounds = static_cast<Output*>(Data)->Bounds;
    bounds = TRect{X, Y, X + bounds.Width(), Y + bounds.Height()};
}

void OnLogicalSize(void* Data, zxdg_output_v1*, int32_t Width, int32_t Height)
{
    TRect& bounds = static_cast<Output*>(Data)->Bounds;
    bounds = TRect{bounds.Left, bounds.Top, bounds.Left + Width, bounds.Top + Height};
}

void OnLogicalDone(void*, zxdg_output_v1*) {}
void OnLogicalName(void*, zxdg_output_v1*, const char*) {}
void OnLogicalDescription(void*, zxdg_output_v1*, const char*) {}

constexpr zxdg_output_v1_listener kLogicalListener = {OnLogicalPosition, OnLogicalSize, OnLogicalDone, OnLogicalName,
                                                      OnLogicalDescription};

// Scales come in steps of 1/120 (the fractional-scale protocol's), which a mode's size over a
// rounded logical size only approximates.
double RoundedScale(double Scale)
{
    return std::max(std::round(Scale * 120.0) / 120.0, 1.0 / 120.0);
}

}  // namespace

// A rotated output's mode is its logical size turned: the longer sides belong together.
double Output::EffectiveScale() const
{
    const int logical = std::max(Bounds.Width(), Bounds.Height());
    const int mode = std::max(ModeWidth, ModeHeight);
    if (logical <= 0 || mode <= 0)
        return Scale;
    return RoundedScale(static_cast<double>(mode) / logical);
}

void WaylandOutputs::Clear()
{
    while (!FOutputs.empty())
        Remove(FOutputs.back()->Name);
    if (FManager != nullptr)
        zxdg_output_manager_v1_destroy(FManager);
    FManager = nullptr;
}

void WaylandOutputs::Add(wl_output* Handle, uint32_t Name)
{
    auto output = std::make_unique<Output>();
    output->Handle = Handle;
    output->Name = Name;
    wl_output_add_listener(Handle, &kOutputListener, output.get());
    AskLogical(*output);
    FOutputs.push_back(std::move(output));
}

void WaylandOutputs::SetManager(zxdg_output_manager_v1* Manager)
{
    FManager = Manager;
    for (auto& output : FOutputs)
        AskLogical(*output);
}

void WaylandOutputs::AskLogical(Output& O)
{
    if (FManager == nullptr || O.Logical != nullptr)
        return;
    O.Logical = zxdg_output_manager_v1_get_xdg_output(FManager, O.Handle);
    zxdg_output_v1_add_listener(O.Logical, &kLogicalListener, &O);
}

void WaylandOutputs::Remove(uint32_t Name)
{
    const auto it =
        std::find_if(FOutputs.begin(), FOutputs.end(), [Name](const auto& output) { return output->Name == Name; });
    if (it == FOutputs.end())
        return;
    if ((*it)->Logical != nullptr)
        zxdg_output_v1_destroy((*it)->Logical);
    wl_output_destroy((*it)->Handle);
    FOutputs.erase(it);
}

double WaylandOutputs::ScaleAt(const TRect& Bounds) const
{
    for (const auto& output : FOutputs)
        if (output->Bounds == Bounds)
            return output->EffectiveScale();
    return FOutputs.empty() ? 1.0 : FOutputs.front()->EffectiveScale();
}

}  // namespace plat
