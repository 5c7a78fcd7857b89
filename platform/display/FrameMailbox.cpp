// Four-buffer frame hand-over; see FrameMailbox.h. The mailbox word carries the index of the
// buffer it holds and a flag telling whether that buffer holds a frame not yet taken. Exchanges
// with acquire-release order make a buffer's pixels visible to the side that receives it.
#include "platform/display/FrameMailbox.h"

namespace plat {

void FrameMailbox::Allocate(int Width, int Height)
{
    const size_t pixels = static_cast<size_t>(Width) * static_cast<size_t>(Height);
    for (auto& buffer : FBuffers)
        buffer.assign(pixels, 0u);
    FMiddle.store(2, std::memory_order_release);
    FFront = 3;
    FTaken = false;
    FWidth = Width;
    FHeight = Height;
}

void FrameMailbox::AllocateExtras(size_t Count)
{
    for (auto& extras : FExtras) {
        std::vector<uint32_t>().swap(extras);
        extras.assign(Count, 0u);
    }
}

void FrameMailbox::Free()
{
    for (auto& buffer : FBuffers)
        std::vector<uint32_t>().swap(buffer);
    for (auto& extras : FExtras)
        std::vector<uint32_t>().swap(extras);
    FWidth = 0;
    FHeight = 0;
    FTaken = false;
}

int FrameMailbox::Publish(int Index)
{
    const uint32_t previous = FMiddle.exchange(static_cast<uint32_t>(Slot(Index)) | kFresh, std::memory_order_acq_rel);
    return static_cast<int>(previous & (kFresh - 1));
}

const uint32_t* FrameMailbox::TakeNewest()
{
    if ((FMiddle.load(std::memory_order_relaxed) & kFresh) == 0)
        return nullptr;
    // The producer may publish between the look and the exchange; the exchange then simply
    // takes that newer frame.
    const uint32_t previous = FMiddle.exchange(static_cast<uint32_t>(FFront), std::memory_order_acq_rel);
    FFront = static_cast<int>(previous & (kFresh - 1));
    FTaken = true;
    return FBuffers[FFront].data();
}

bool FrameMailbox::HasNewest() const
{
    return (FMiddle.load(std::memory_order_relaxed) & kFresh) != 0;
}

const uint32_t* FrameMailbox::Current() const
{
    return FTaken ? FBuffers[FFront].data() : nullptr;
}

}  // namespace plat
