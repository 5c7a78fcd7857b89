// The sprites' per-frame path allocates nothing: a few hundred frames of DrawImage and DrawMovie,
// moving across the screen edges, keyed and plain, and of the three gadgets with a long ticker
// line, counted by a replacement of the global allocation functions that counts only while a test
// on this thread arms it (and, in the sanitized build, by the sanitizer's malloc hook as well, for
// what the C library allocates).
#include "gadgets/Kgc.h"
#include "gadgets/Kgr.h"
#include "gadgets/Kgw.h"
#include "sprites/Kim.h"
#include "sprites/Kmv.h"
#include "tests/gadgets/TickerLine.h"
#include "tests/sprites/SpriteHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

namespace {

thread_local bool gCounting = false;
thread_local long gAllocations = 0;

void* Allocate(std::size_t Size, std::size_t Alignment = 0)
{
    if (gCounting)
        ++gAllocations;
    void* Memory = nullptr;
    if (Alignment > alignof(std::max_align_t)) {
        if (posix_memalign(&Memory, Alignment, Size ? Size : 1) != 0)
            Memory = nullptr;
    } else {
        Memory = std::malloc(Size ? Size : 1);
    }
    return Memory;
}

void* AllocateOrThrow(std::size_t Size, std::size_t Alignment = 0)
{
    if (void* Memory = Allocate(Size, Alignment))
        return Memory;
    throw std::bad_alloc();
}

#if defined(__SANITIZE_ADDRESS__)
void CountMalloc(const volatile void*, std::size_t)
{
    if (gCounting)
        ++gAllocations;
}
void IgnoreFree(const volatile void*) {}
#endif

}  // namespace

#if defined(__SANITIZE_ADDRESS__)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*Malloc)(const volatile void*, std::size_t),
                                                         void (*Free)(const volatile void*));
#endif

void* operator new(std::size_t Size)
{
    return AllocateOrThrow(Size);
}
void* operator new[](std::size_t Size)
{
    return AllocateOrThrow(Size);
}
void* operator new(std::size_t Size, std::align_val_t A)
{
    return AllocateOrThrow(Size, static_cast<std::size_t>(A));
}
void* operator new[](std::size_t Size, std::align_val_t A)
{
    return AllocateOrThrow(Size, static_cast<std::size_t>(A));
}
void* operator new(std::size_t Size, const std::nothrow_t&) noexcept
{
    return Allocate(Size);
}
void* operator new[](std::size_t Size, const std::nothrow_t&) noexcept
{
    return Allocate(Size);
}
void operator delete(void* P) noexcept
{
    std::free(P);
}
void operator delete[](void* P) noexcept
{
    std::free(P);
}
void operator delete(void* P, std::size_t) noexcept
{
    std::free(P);
}
void operator delete[](void* P, std::size_t) noexcept
{
    std::free(P);
}
void operator delete(void* P, std::align_val_t) noexcept
{
    std::free(P);
}
void operator delete[](void* P, std::align_val_t) noexcept
{
    std::free(P);
}
void operator delete(void* P, std::size_t, std::align_val_t) noexcept
{
    std::free(P);
}
void operator delete[](void* P, std::size_t, std::align_val_t) noexcept
{
    std::free(P);
}

namespace {

class SpriteAllocationTest : public SpriteHostTest {};

uint32_t Blue(int)
{
    return 0x0000FFu;
}
uint32_t CornerOf(int i)
{
    return static_cast<uint32_t>(i) + 1;
}

}  // namespace

TEST_F(SpriteAllocationTest, FramesOfDrawImageAndDrawMovieAllocateNothing)
{
    Open();
    TKIM* Still = Add<TKIM>();
    Still->SetPicture(CoordinatePicture(1024, 768));
    Still->CreateDXImage();
    TKIM* Keyed = Add<TKIM>();
    Keyed->SetPicture(CoordinatePicture(120, 40));
    Keyed->CreateDXImage();
    Keyed->SetTransparency(true);
    TKMV* Strip = Add<TKMV>();
    Strip->SetPicture(StripPicture(68, 44, 36, Blue, CornerOf));
    Strip->SetYOffsetFrame(44);
    Strip->CreateDXMovie();
    Strip->SetTransparency(true);
    ASSERT_EQ(Strip->FrameCount(), 36);

    gAllocations = 0;
    gCounting = true;
    ::operator delete(::operator new(64));  // the hook itself must count
    gCounting = false;
    ASSERT_EQ(gAllocations, 1);

    gAllocations = 0;
    gCounting = true;
    for (int Frame = 0; Frame < 300; ++Frame) {
        Still->DrawImage();
        Keyed->SetShowX(Frame * 4 - 130);  // crosses the left edge, the middle and the right edge
        Keyed->SetShowY(Frame * 3 - 50);
        Keyed->DrawImage();
        Strip->SetNumberFrame(Frame % 36);
        Strip->SetShowX(1100 - Frame * 4);
        Strip->SetShowY(700 - Frame);
        Strip->DrawMovie();
    }
    gCounting = false;
    EXPECT_EQ(gAllocations, 0);
    EXPECT_EQ(Still->GetErrorResult(), "");
    EXPECT_EQ(Keyed->GetErrorResult(), "");
    EXPECT_EQ(Strip->GetErrorResult(), "");
}

TEST_F(SpriteAllocationTest, ARepeatedLossReportAllocatesNothing)
{
    Open();
    TKIM* Still = Add<TKIM>();
    Still->SetPicture(CoordinatePicture(64, 64));
    Still->CreateDXImage();
    TKMV* Strip = Add<TKMV>();
    Strip->SetPicture(StripPicture(8, 8, 4, Blue, CornerOf));
    Strip->SetYOffsetFrame(8);
    Strip->CreateDXMovie();
    Kss->GetDirectDraw()->LoseSurfaces();
    gAllocations = 0;
    gCounting = true;
    for (int Frame = 0; Frame < 100; ++Frame) {
        Still->DrawImage();
        Strip->DrawMovie();
    }
    gCounting = false;
    EXPECT_EQ(gAllocations, 0);
    EXPECT_EQ(Still->GetErrorResult(), "Lost surface");
}

TEST_F(SpriteAllocationTest, FramesOfTheGadgetsWithALongTickerAllocateNothing)
{
    Open();
    TKMV* Icons = Add<TKMV>();
    Icons->SetPicture(StripPicture(52, 52, 49, Blue, CornerOf));
    Icons->SetYOffsetFrame(52);
    Icons->CreateDXMovie();
    TKGC* Clock = Add<TKGC>(App.Fonts());
    TKGW* Weather = Add<TKGW>(App.Fonts());
    TKGR* News = Add<TKGR>(App.Fonts());
    for (TKIM* Gadget : {static_cast<TKIM*>(Clock), static_cast<TKIM*>(Weather), static_cast<TKIM*>(News)}) {
        Gadget->SetPicture(CoordinatePicture(300, 69));
        Gadget->CreateDXImage();
        Gadget->SetTransparency(true);
    }
    Clock->SetTimeFormat(plat::TimeFormat("en_US.UTF-8"));
    Weather->SetWeatherPicVCL(Icons);
    Weather->SetTodayCode(100);
    News->SetRssLine(gadgettest::TickerLine(700));
    News->SetNameNews("Harbour Gazette");
    auto Frame = [&] {
        for (TKIM* Gadget : {static_cast<TKIM*>(Clock), static_cast<TKIM*>(Weather), static_cast<TKIM*>(News)})
            Gadget->DrawImage();
        Clock->DrawGadgetClock();
        Weather->DrawGadgetWeather();
        News->DrawRssNews();
    };
    Frame();  // the local time zone is read once
#if defined(__SANITIZE_ADDRESS__)
    __sanitizer_install_malloc_and_free_hooks(CountMalloc, IgnoreFree);
#endif
    gAllocations = 0;
    gCounting = true;
    for (int Count = 0; Count < 300; ++Count)
        Frame();
    gCounting = false;
    EXPECT_EQ(gAllocations, 0);
    EXPECT_GT(News->GetScrollOffset(), 0);
}
