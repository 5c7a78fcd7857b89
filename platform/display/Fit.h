// Fitting a picture into a window of another size: the largest rectangle of the picture's aspect
// that fits, centred (the rest are black bars), and a nearest-pixel scaler that fills a whole
// window-sized buffer with the picture and its bars. Shared by the screens that scale.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/types/Geometry.h"

namespace plat {

// Where a Width x Height picture lies in an OutWidth x OutHeight window; empty when either size
// is not positive.
TRect FitRect(int Width, int Height, int OutWidth, int OutHeight);

// Scales pictures of one size into a buffer of another (rows of Stride pixels), aspect kept.
// The column map is made once per pair of sizes; each frame then costs one lookup per pixel and
// a row copy for every repeated row.
class FitScaler {
public:
    void SetSizes(int Width, int Height, int OutWidth, int OutHeight);
    const TRect& Picture() const { return FPicture; }
    // Writes the bars (black) and the scaled picture into Out, which holds OutHeight rows.
    void Scale(const uint32_t* Pixels, uint32_t* Out, int Stride) const;

private:
    int FWidth = 0, FHeight = 0, FOutWidth = 0, FOutHeight = 0;
    TRect FPicture{0, 0, 0, 0};
    std::vector<int> FColumns;
};

}  // namespace plat
