#include "platform/x11/WindowImage.h"

#include <X11/Xutil.h>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <bit>
#include <cstdlib>
#include <cstring>

#include "platform/x11/DisplayLoss.h"
#include "platform/x11/XErrorTrap.h"

namespace plat {

WindowImage::WindowImage(Display* D, Visual* V, int BitDepth, int Width, int Height, bool AllowShared)
    : FDisplay(D), FWidth(Width), FHeight(Height)
{
    if (Width <= 0 || Height <= 0)
        return;
    if (!(AllowShared && MakeShared(V, BitDepth)) && !MakePlain(V, BitDepth))
        return;
    UsePixels();
}

WindowImage::~WindowImage()
{
    if (FImage == nullptr)
        return;
    WaitTaken();
    if (FShared) {
        XShmDetach(FDisplay, &FSegment);
        XSync(FDisplay, False);
        shmdt(FSegment.shmaddr);
        FImage->data = nullptr;
    }
    XDestroyImage(FImage);  // Frees a plain image's pixel memory as well.
}

bool WindowImage::MakeShared(Visual* V, int Depth)
{
    int major = 0, minor = 0;
    Bool pixmaps = False;
    if (!XShmQueryVersion(FDisplay, &major, &minor, &pixmaps))
        return false;
    FImage = XShmCreateImage(FDisplay, V, static_cast<unsigned>(Depth), ZPixmap, nullptr, &FSegment,
                             static_cast<unsigned>(FWidth), static_cast<unsigned>(FHeight));
    if (FImage == nullptr)
        return false;
    const size_t bytes = static_cast<size_t>(FImage->bytes_per_line) * static_cast<size_t>(FHeight);
    FSegment.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    void* memory = FSegment.shmid < 0 ? reinterpret_cast<void*>(-1) : shmat(FSegment.shmid, nullptr, 0);
    bool attached = false;
    if (memory != reinterpret_cast<void*>(-1)) {
        std::memset(memory, 0, bytes);
        FSegment.shmaddr = FImage->data = static_cast<char*>(memory);
        FSegment.readOnly = False;
        // A server on another machine cannot see the segment and answers with an error.
        XErrorTrap trap;
        attached = XShmAttach(FDisplay, &FSegment) && XErrorTrap::Check(FDisplay);
    }
    if (FSegment.shmid >= 0)
        shmctl(FSegment.shmid, IPC_RMID, nullptr);  // Goes when both sides have detached.
    if (attached) {
        FShared = true;
        FCompletion = XShmGetEventBase(FDisplay) + ShmCompletion;
        return true;
    }
    if (memory != reinterpret_cast<void*>(-1))
        shmdt(memory);
    FImage->data = nullptr;
    XDestroyImage(FImage);
    FImage = nullptr;
    return false;
}

bool WindowImage::MakePlain(Visual* V, int Depth)
{
    FImage = XCreateImage(FDisplay, V, static_cast<unsigned>(Depth), ZPixmap, 0, nullptr, static_cast<unsigned>(FWidth),
                          static_cast<unsigned>(FHeight), 32, 0);
    if (FImage == nullptr)
        return false;
    FImage->data =
        static_cast<char*>(std::calloc(static_cast<size_t>(FImage->bytes_per_line), static_cast<size_t>(FHeight)));
    if (FImage->data != nullptr)
        return true;
    XDestroyImage(FImage);
    FImage = nullptr;
    return false;
}

// The image's own memory when its pixels are 0x00RRGGBB words in this machine's byte order.
void WindowImage::UsePixels()
{
    const bool native = (FImage->byte_order == LSBFirst) == (std::endian::native == std::endian::little);
    // A 32-bit depth carries alpha, which must be set opaque: that goes the converting way.
    FDirect = FImage->depth == 24 && FImage->bits_per_pixel == 32 && native && FImage->red_mask == 0xFF0000 &&
        FImage->green_mask == 0xFF00 && FImage->blue_mask == 0xFF;
    if (FDirect) {
        FPixels = reinterpret_cast<uint32_t*>(FImage->data);
        FStride = FImage->bytes_per_line / 4;
        return;
    }
    FConverted.assign(static_cast<size_t>(FWidth) * static_cast<size_t>(FHeight), 0u);
    FPixels = FConverted.data();
    FStride = FWidth;
}

void WindowImage::ConvertPixels()
{
    Visual visual{};
    visual.red_mask = FImage->red_mask;
    visual.green_mask = FImage->green_mask;
    visual.blue_mask = FImage->blue_mask;
    const unsigned long depthBits = FImage->depth >= 32 ? 0xFFFFFFFFul : (1ul << FImage->depth) - 1;
    const unsigned long alpha = depthBits & ~(visual.red_mask | visual.green_mask | visual.blue_mask);
    for (int y = 0; y < FHeight; ++y) {
        const uint32_t* row = FPixels + static_cast<size_t>(y) * static_cast<size_t>(FStride);
        for (int x = 0; x < FWidth; ++x)
            XPutPixel(FImage, x, y, PixelFor(row[x], &visual) | alpha);
    }
}

bool WindowImage::Put(Drawable Target, GC Context)
{
    if (FImage == nullptr)
        return false;
    if (!FDirect)
        ConvertPixels();
    XErrorTrap trap;
    const auto w = static_cast<unsigned>(FWidth), h = static_cast<unsigned>(FHeight);
    if (FShared)
        XShmPutImage(FDisplay, Target, Context, FImage, 0, 0, 0, 0, w, h, False);
    else
        XPutImage(FDisplay, Target, Context, FImage, 0, 0, 0, 0, w, h);
    return XErrorTrap::Check(FDisplay);
}

void WindowImage::Send(Drawable Target, GC Context)
{
    if (FImage == nullptr)
        return;
    WaitTaken();
    if (!FDirect)
        ConvertPixels();
    const auto w = static_cast<unsigned>(FWidth), h = static_cast<unsigned>(FHeight);
    if (FShared)
        XShmPutImage(FDisplay, Target, Context, FImage, 0, 0, 0, 0, w, h, True);
    else
        XPutImage(FDisplay, Target, Context, FImage, 0, 0, 0, 0, w, h);
    FSending = FShared;
    XFlush(FDisplay);
}

// The completion event comes on this connection; a plain put's pixels went with its request.
void WindowImage::WaitTaken()
{
    if (!FSending)
        return;
    FSending = false;
    // Not Xlib's blocking wait: on a connection whose server went away it would spin for ever.
    XEvent event;
    while (!XCheckTypedEvent(FDisplay, FCompletion, &event)) {
        if (DisplayLost())
            return;
        pollfd readable{ConnectionNumber(FDisplay), POLLIN, 0};
        poll(&readable, 1, 100);
    }
}

}  // namespace plat
