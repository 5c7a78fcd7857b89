// The surround's parts: which pictures a layout needs, how they are put together from their
// pieces, and the copies of each frame.
#include "shell/Surround.h"

#include "assets/Resources.h"
#include "platform/gdi/DrawContext.h"
#include "platform/image/PictureDecoder.h"
#include "sprites/Kmv.h"
#include "sprites/SceneLayout.h"

#include <algorithm>

namespace {

// The generator's pieces per picture, nearest the frame first (scene_surround.py).
constexpr int kSidePieces = 3;
constexpr int kTopPieces = 2;
// The mist beside the frame moves only in the columns next to it.
constexpr int32_t kHorizonReach = 128;
// The surround's strips continue the frame's (the scene's KMV1, KMV2 and KMV3) at their rows.
using layout::kHorizonStrip;
using layout::kMiddleStrip;
using layout::kNearStrip;

using ESide = TSurround::ESide;

// Copies the line (column, or row for the top) of Out at From over the lines between the frame's
// far side and it: what lies beyond the widest picture repeats its outermost line.
void RepeatOutermost(plat::Picture& Out, ESide Side, int32_t From)
{
    for (int32_t y = 0; y < Out.Height(); ++y) {
        uint32_t* row = Out.Row(y);
        if (Side == ESide::Right)
            std::fill(row + From + 1, row + Out.Width(), row[From]);
        else if (Side == ESide::Left)
            std::fill(row, row + From, row[From]);
        else if (y < From)
            std::copy(Out.Row(From), Out.Row(From) + Out.Width(), row);
    }
}

// Reach columns (rows for the top) of picture Name, put together from its pieces Name0, Name1, ..
// outward from the frame; each piece is decoded only when the ones before it fall short.
plat::Picture Assemble(const std::string& Name, int Pieces, ESide Side, int32_t Reach, std::string& Error)
{
    plat::Picture Out;
    int32_t At = 0;
    for (int i = 0; i < Pieces && At < Reach; ++i) {
        const std::string Piece = Name + std::to_string(i);
        plat::DecodeResult Decoded = plat::DecodePicture(assets::FindResource(Piece), Piece);
        const plat::Picture& P = Decoded.Image;
        if (P.Empty()) {
            Error += Decoded.Error + "\n";
            break;
        }
        if (Out.Empty())
            Out = Side == ESide::Top ? plat::Picture(P.Width(), Reach, "TBitmap")
                                     : plat::Picture(Reach, P.Height(), "TBitmap");
        const int32_t Size = Side == ESide::Top ? P.Height() : P.Width();
        const plat::TRect To = Side == ESide::Right ? plat::TRect{At, 0, At + Size, P.Height()}
            : Side == ESide::Left                   ? plat::TRect{Reach - At - Size, 0, Reach - At, P.Height()}
                                                    : plat::TRect{0, Reach - At - Size, P.Width(), Reach - At};
        plat::DrawContext(Out).CopyRect(To, P, plat::TRect{0, 0, P.Width(), P.Height()});
        At += Size;
    }
    if (!Out.Empty() && At < Reach)
        RepeatOutermost(Out, Side, Side == ESide::Right ? At - 1 : Reach - At);
    return Out;
}

}  // namespace

void TSurround::Add(const char* Name, int Pieces, ESide Side, int32_t Reach, int32_t FrameHeight, ECounter Counter,
                    int32_t Row)
{
    plat::Picture Picture = Assemble(Name, Pieces, Side, Reach, FError);
    if (Picture.Empty() || Picture.Height() % FrameHeight != 0)
        return;
    // A part narrower than its side lies against the frame.
    const int32_t Column = Side == ESide::Left ? FLayout.Left - Reach : 0;
    FParts.push_back(TPart{std::move(Picture), FrameHeight, Counter, Side, Column, Row});
}

void TSurround::Add(const char* Name, int Pieces, ESide Side, int32_t Reach, const layout::TStrip& Strip)
{
    Add(Name, Pieces, Side, Reach, Strip.FrameHeight, Strip.LongCycle ? ECounter::Long : ECounter::Short, Strip.Y);
}

void TSurround::Build(const plat::FrameLayout& Layout)
{
    FLayout = Layout;
    FParts.clear();
    FError.clear();
    if (Layout.Left > 0) {
        Add("SurroundL", kSidePieces, ESide::Left, Layout.Left, layout::kDesignHeight, ECounter::Still, 0);
        Add("SurroundHorizonL", 1, ESide::Left, std::min(Layout.Left, kHorizonReach), kHorizonStrip);
        Add("SurroundNearL", kSidePieces, ESide::Left, Layout.Left, kNearStrip);
    }
    if (Layout.Right > 0) {
        Add("SurroundR", kSidePieces, ESide::Right, Layout.Right, layout::kDesignHeight, ECounter::Still, 0);
        Add("SurroundMiddleR", kSidePieces, ESide::Right, Layout.Right, kMiddleStrip);
        Add("SurroundNearR", kSidePieces, ESide::Right, Layout.Right, kNearStrip);
    }
    if (Layout.Top > 0)
        Add("SurroundT", kTopPieces, ESide::Top, Layout.Top, Layout.Top, ECounter::Still, 0);
}

size_t TSurround::PartPixels() const
{
    size_t Pixels = 0;
    for (const TPart& Part : FParts)
        Pixels += static_cast<size_t>(Part.Picture.Width()) * static_cast<size_t>(Part.Picture.Height());
    return Pixels;
}

void TSurround::Draw(const plat::FramePlanes& Planes, int32_t ShortCycleFrame, int32_t LongCycleFrame,
                     std::span<TKMV* const> Flyers) const
{
    // The sides' rows under the overlay are never shown.
    const int32_t Rows = FLayout.Height - FLayout.OverlayRows;
    plat::DrawContext Left(Planes.Left, FLayout.Left, Rows, FLayout.Left);
    plat::DrawContext Right(Planes.Right, FLayout.Right, Rows, FLayout.Right);
    plat::DrawContext Top(Planes.Top, FLayout.Width, FLayout.Top, FLayout.Width);
    for (const TPart& Part : FParts) {
        plat::DrawContext& To = Part.Side == ESide::Left ? Left : Part.Side == ESide::Right ? Right : Top;
        const int32_t Frames = Part.Picture.Height() / Part.FrameHeight;
        const int32_t Counter = Part.Counter == ECounter::Short ? ShortCycleFrame
            : Part.Counter == ECounter::Long                    ? LongCycleFrame
                                                                : 0;
        const int32_t Frame = Counter >= 0 && Counter < Frames ? Counter : 0;
        const int32_t W = Part.Picture.Width(), H = Part.FrameHeight;
        To.CopyRect(plat::TRect{Part.Column, Part.Row, Part.Column + W, Part.Row + H}, Part.Picture,
                    plat::TRect{0, Frame * H, W, (Frame + 1) * H});
    }
    for (TKMV* Flyer : Flyers) {
        const int32_t X = Flyer->GetShowX(), Y = Flyer->GetShowY();
        if (Planes.Left != nullptr && X < 0)
            Flyer->DrawMovieOnto(Left, X + FLayout.Left, Y);
        if (Planes.Right != nullptr && X + Flyer->SurfaceWidth() > FLayout.Width)
            Flyer->DrawMovieOnto(Right, X - FLayout.Width, Y);
        if (Planes.Top != nullptr && Y < 0)
            Flyer->DrawMovieOnto(Top, X, Y + FLayout.Top);
    }
}
