#include "platform/app/PointerTrack.h"

namespace plat {

void TPointerTrack::Seed(int X, int Y)
{
    FSeeded = true;
    FStartReported = false;
    FRebaseNext = false;
    FSeenX = FReportedX = FStartX = X;
    FSeenY = FReportedY = FStartY = Y;
}

void TPointerTrack::Rebase(int X, int Y)
{
    FRebaseNext = false;
    FSeenX = X;
    FSeenY = Y;
}

bool TPointerTrack::TakeStart(int& X, int& Y)
{
    if (!FSeeded || FStartReported)
        return false;
    FStartReported = true;
    X = FStartX;
    Y = FStartY;
    return true;
}

bool TPointerTrack::Move(int X, int Y, int& ReportX, int& ReportY)
{
    if (!FSeeded) {
        Seed(X, Y);
        return false;
    }
    if (FRebaseNext) {
        Rebase(X, Y);
        return false;
    }
    if (X == FSeenX && Y == FSeenY)
        return false;
    FReportedX += X - FSeenX;
    FReportedY += Y - FSeenY;
    FSeenX = X;
    FSeenY = Y;
    ReportX = FReportedX;
    ReportY = FReportedY;
    return true;
}

}  // namespace plat
