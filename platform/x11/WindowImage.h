// A window-sized picture that is put into an X window. Its pixels are 0x00RRGGBB rows; where the
// window's visual has that layout (every 24- and 32-bit TrueColor server on a little-endian
// machine) they are the image's own memory, otherwise they are converted while putting.
// The image lives in shared memory (MIT-SHM) when the server offers the extension and can attach
// the segment, which only a server on this machine can; otherwise it is sent over the connection.
#pragma once

#include <X11/Xlib.h>
#include <X11/extensions/XShm.h>

#include <cstdint>
#include <vector>

namespace plat {

class WindowImage {
public:
    // AllowShared false keeps the image out of shared memory (for comparing both ways).
    WindowImage(Display* D, Visual* V, int BitDepth, int Width, int Height, bool AllowShared = true);
    ~WindowImage();
    WindowImage(const WindowImage&) = delete;
    WindowImage& operator=(const WindowImage&) = delete;

    bool Valid() const { return FImage != nullptr; }
    bool Shared() const { return FShared; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Height rows of Stride() pixels each, black when the image is made.
    uint32_t* Pixels() { return FPixels; }
    int Stride() const { return FStride; }

    // Puts the whole image at (0, 0) and waits until the server has taken it (a shared image may
    // only be written again after that). False when the server refused it (the window is gone).
    bool Put(Drawable Target, GC Context);
    // The same without waiting (a round trip, which wakes the caller once more) and without
    // checking: for a window of the program's own, whose connection's default error handling
    // applies. Before the pixels are written again, WaitTaken waits until the server has taken
    // a shared image, which by the next frame it has long done.
    void Send(Drawable Target, GC Context);
    void WaitTaken();

private:
    bool MakeShared(Visual* V, int Depth);
    bool MakePlain(Visual* V, int Depth);
    void UsePixels();
    void ConvertPixels();

    Display* FDisplay;
    int FWidth, FHeight;
    XImage* FImage = nullptr;
    XShmSegmentInfo FSegment{};
    bool FShared = false;
    bool FDirect = false;
    int FCompletion = 0;  // the event type that tells a shared put was taken
    bool FSending = false;  // a shared put not known to be taken yet
    std::vector<uint32_t> FConverted;  // the pixels when the visual's layout differs
    uint32_t* FPixels = nullptr;
    int FStride = 0;
};

}  // namespace plat
