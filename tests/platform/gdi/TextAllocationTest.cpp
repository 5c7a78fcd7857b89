// Text on the per-frame path allocates nothing once its glyphs are cached: a frame's worth of
// font creation, measuring, drawing and deletion is counted through the sanitizer's allocation
// hooks (available in the sanitized build that runs the tests).
#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer runtime's hook registration (its header ships with clang only).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*Malloc)(const volatile void*, size_t),
                                                         void (*Free)(const volatile void*));
#endif

#include <atomic>

#include "platform/gdi/DrawContext.h"
#include "platform/image/Picture.h"

using namespace plat;

namespace {

#if defined(__SANITIZE_ADDRESS__)
std::atomic<bool> gCounting{false};
std::atomic<int> gAllocations{0};

void CountAllocation(const volatile void*, size_t)
{
    if (gCounting.load(std::memory_order_relaxed))
        gAllocations.fetch_add(1, std::memory_order_relaxed);
}
void IgnoreFree(const volatile void*) {}
#endif

void DrawGadgetTexts(FontCache& Fonts, DrawContext& Dc)
{
    Font* font = Fonts.CreateFontA(16, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   PROOF_QUALITY, VARIABLE_PITCH, "Arial");
    Dc.SelectObject(font);
    Dc.SetBkMode(TRANSPARENT);
    Dc.SetTextColor(0xFFFFFF);
    TSize size;
    Dc.GetTextExtentPoint32A("Harbour lights \x93"
                             "calm\x94 tonight \xE2\x80\x94 14:35",
                             -1, &size);
    const TRect window{15, 10, 560, 50};
    Dc.ExtTextOutA(300 - size.cx / 3, 30, ETO_CLIPPED, &window,
                   "Harbour lights \x93"
                   "calm\x94 tonight \xE2\x80\x94 14:35",
                   -1, nullptr);
    Dc.TextOutA(20, 20, "61...80\xB0", -1);
    DeleteObject(font);
}

TEST(TextAllocationTest, CachedTextAllocatesNothingPerFrame)
{
#if defined(__SANITIZE_ADDRESS__)
    FontCache fonts;
    Picture picture(600, 80, "TBitmap");
    DrawContext dc(picture);
    DrawGadgetTexts(fonts, dc);  // fills the caches
    __sanitizer_install_malloc_and_free_hooks(CountAllocation, IgnoreFree);
    gCounting = true;
    for (int frame = 0; frame < 100; ++frame)
        DrawGadgetTexts(fonts, dc);
    gCounting = false;
    EXPECT_EQ(gAllocations.load(), 0);
#else
    GTEST_SKIP() << "allocation hooks need the sanitized build";
#endif
}

}  // namespace
