// Integer screen geometry shared by the display layer and the drawing context: points, sizes and
// rectangles in pixels, origin top-left, y growing downward. A rectangle is half-open: Right and
// Bottom are the first column and row outside it.
#pragma once

#include <cstdint>

namespace plat {

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
};

struct TSize {
    int32_t cx = 0;
    int32_t cy = 0;
};

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;

    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    bool Empty() const { return Right <= Left || Bottom <= Top; }
};

inline bool operator==(const TRect& A, const TRect& B)
{
    return A.Left == B.Left && A.Top == B.Top && A.Right == B.Right && A.Bottom == B.Bottom;
}

// The overlap of two rectangles; empty (possibly with Right < Left) when they do not meet.
inline TRect Intersect(const TRect& A, const TRect& B)
{
    return TRect{A.Left > B.Left ? A.Left : B.Left, A.Top > B.Top ? A.Top : B.Top,
                 A.Right < B.Right ? A.Right : B.Right, A.Bottom < B.Bottom ? A.Bottom : B.Bottom};
}

}  // namespace plat
