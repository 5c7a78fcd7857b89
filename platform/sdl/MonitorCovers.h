// Internal to the SDL screen: borderless windows covering whole monitors. The saver's own window
// is one; the black covers are the others, one over every monitor the saver does not draw on, so
// that no monitor keeps showing the desktop while the saver runs. Their input reaches the
// application like the saver window's. Main thread only.
#pragma once

#include <SDL.h>

#include <vector>

#include "platform/types/DisplayList.h"

namespace plat {

// True when the rectangle is exactly one of SDL's displays.
bool IsMonitorOfSdl(const TRect& Bounds);

// A borderless window on top covering the rectangle, shown without waiting for the window
// manager; null when SDL cannot make one. With FullScreen, over one of SDL's displays, it is made
// in the window manager's full-screen state; otherwise it is a plain window. PaintedBlack tells
// whether the window system paints it black by itself until the first frame.
SDL_Window* CoverRect(const TRect& Bounds, const char* Title, bool FullScreen = true, bool* PaintedBlack = nullptr);

class MonitorCovers {
public:
    ~MonitorCovers() { Close(); }
    // Covers every monitor of the list but Except with a black window.
    void Open(const DisplayList& Monitors, int Except, const char* Title);
    // Paints the covers black again (after the window system lost their contents).
    void Repaint();
    void Close();
    int Count() const { return static_cast<int>(FWindows.size()); }

private:
    std::vector<SDL_Window*> FWindows;
};

}  // namespace plat
