// The hand-over of finished frames from the thread that draws them to the thread that shows them,
// without either ever waiting for the other: four equal pixel buffers, of which the producer owns
// two (the one it draws into and a spare for writes to the front buffer), the consumer owns one
// (the one it shows) and the mailbox holds one (the newest published frame). Publishing swaps the
// producer's buffer with the mailbox's; taking swaps the consumer's with the mailbox's when the
// mailbox holds a frame not yet taken. A slower consumer just skips frames.
//
// Each buffer may carry extra pixels besides its frame (the layers of FrameLayout.h), which travel
// with it.
//
// One producer thread and one consumer thread. Allocate, AllocateExtras and Free run while
// neither is active.
#pragma once

#include <atomic>
#include <cstdint>
#include <vector>

#include "platform/types/Invariant.h"

namespace plat {

class FrameMailbox {
public:
    static constexpr int kBuffers = 4;
    // The buffers the producer owns after Allocate.
    static constexpr int kFirstProducerBuffer = 0;
    static constexpr int kSecondProducerBuffer = 1;

    // Sizes every buffer to Width x Height pixels, all black; nothing is published.
    void Allocate(int Width, int Height);
    // Gives every buffer Count extra pixels, all black (none for 0).
    void AllocateExtras(size_t Count);
    void Free();
    bool Allocated() const { return FWidth > 0; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }

    // Producer: the pixels of a buffer it owns.
    uint32_t* Buffer(int Index) { return FBuffers[Slot(Index)].data(); }
    // Either side: the extra pixels of a buffer it owns (null without extras).
    uint32_t* Extras(int Index) { return FExtras[Slot(Index)].empty() ? nullptr : FExtras[Slot(Index)].data(); }
    // Producer: publishes a buffer it owns as the newest frame; returns the buffer it owns now in
    // its place.
    int Publish(int Index);

    // Consumer: the newest published frame, taken over from the mailbox, or null when nothing was
    // published since the last take.
    const uint32_t* TakeNewest();
    // Consumer: true when TakeNewest would take a frame now.
    bool HasNewest() const;
    // Consumer: the frame it took last (null before the first take).
    const uint32_t* Current() const;
    // Consumer: the index of the buffer it took last.
    int CurrentIndex() const { return FFront; }

private:
    static constexpr uint32_t kFresh = 0x100;

    // Index as a slot of the arrays, which it must name.
    static size_t Slot(int Index)
    {
        CheckIndex(static_cast<size_t>(Index), kBuffers, "frame buffer");
        return static_cast<size_t>(Index);
    }

    std::vector<uint32_t> FBuffers[kBuffers];
    std::vector<uint32_t> FExtras[kBuffers];
    std::atomic<uint32_t> FMiddle{2};
    int FFront = 3;
    bool FTaken = false;
    int FWidth = 0;
    int FHeight = 0;
};

}  // namespace plat
