// The pointer's movements as the saver measures them: on the screen, from where the pointer stood
// when input started. A window manager places, maps, focuses and resizes windows under a pointer
// that stands still, so positions relative to a window jump without anyone touching the mouse;
// and a monitor that comes or goes may have the window system put the pointer elsewhere. Neither
// is a movement. The reported position is the start position plus every real movement since, in
// screen pixels. UI thread only.
#pragma once

namespace plat {

class TPointerTrack {
public:
    bool Seeded() const { return FSeeded; }
    // The pointer stands at X, Y when the saver starts; that is the first reported position
    // (TakeStart), even when the pointer moved before anyone listened.
    void Seed(int X, int Y);
    // The start position, once, if it has not been reported yet.
    bool TakeStart(int& X, int& Y);
    // The window system put the pointer at X, Y (or will report it somewhere new at the next
    // move): measuring goes on from there, nothing is reported.
    void Rebase(int X, int Y);
    void RebaseAtNextMove() { FRebaseNext = true; }
    // The pointer is at X, Y now. True, with the position to report, when that is a movement;
    // an unseeded track seeds itself there (and TakeStart then reports it).
    bool Move(int X, int Y, int& ReportX, int& ReportY);

private:
    bool FSeeded = false;
    bool FStartReported = false;
    bool FRebaseNext = false;
    int FSeenX = 0, FSeenY = 0;  // where the window system last showed the pointer
    int FReportedX = 0, FReportedY = 0;  // the start plus the real movements
    int FStartX = 0, FStartY = 0;
};

}  // namespace plat
