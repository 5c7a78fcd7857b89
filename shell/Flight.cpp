// The flight model: B-spline segments in 32-bit floats, headings in whole degrees.
//
// The float expressions are written in the exact order in which they must be evaluated, and
// fused multiply-add is switched off for this file: a contracted `a * b + c` rounds once instead
// of twice and would move a flyer by a pixel now and then.
#if defined(__clang__)
#pragma clang fp contract(off)
#elif defined(__GNUC__)
#pragma GCC optimize("fp-contract=off")
#endif

#include "shell/Flight.h"

#include "sprites/Kmv.h"

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace {

constexpr TFlyPoint kFlightPathA[] = {
    {-128, 494}, {2, 344},     {265, 453},   {-3, 545},    {-130, 521}, {-417, 548}, {-456, 491},
    {-450, 425}, {-450, -148}, {-464, -176}, {-196, -137}, {104, -149}, {412, -156}, {539, -156},
    {1030, -49}, {1027, -48},  {1046, -15},  {1037, 5},    {1042, 5},   {1118, 250}, {1075, 308},
    {927, 351},  {775, 248},   {972, 208},   {1048, 239},  {1104, 297}, {1084, 221}, {1042, -13},
    {1037, -24}, {-412, -161}, {-435, 173},  {-419, 473},  {-418, 434},
};

constexpr TFlyPoint kFlightPathB[] = {
    {397, 414},  {464, 332},  {679, 386},  {450, 409}, {544, 325}, {625, 365},  {687, 387}, {809, 330},
    {682, 274},  {556, 344},  {820, 377},  {911, 318}, {974, 275}, {1071, 308}, {973, 366}, {928, 329},
    {1003, 286}, {1137, 336}, {1063, 398}, {953, 382}, {872, 286}, {738, 305},  {837, 348}, {922, 306},
    {851, 268},  {781, 294},  {742, 329},  {735, 381}, {816, 387}, {858, 319},  {730, 348}, {730, 381},
    {660, 417},  {591, 442},  {449, 421},  {614, 397}, {549, 461}, {462, 447},
};

constexpr TFlyPoint kFlightPathC[] = {
    {396, 400}, {462, 365}, {547, 409}, {678, 435}, {713, 358}, {643, 340}, {587, 372}, {728, 403},
    {796, 425}, {869, 355}, {733, 360}, {780, 392}, {850, 382}, {910, 396}, {867, 437}, {763, 415},
    {748, 361}, {662, 372}, {746, 438}, {642, 440}, {593, 344}, {554, 437}, {462, 427},
};

static_assert(std::size(kFlightPathA) == 33);
static_assert(std::size(kFlightPathB) == 38);
static_assert(std::size(kFlightPathC) == 23);

// The 32-bit float nearest 1/30: how far into a segment its direction is probed.
constexpr float kProbeT = 0.033333335f;
constexpr float kSixth = 1.0f / 6.0f;

// Index of the coefficients in CoefX/CoefY.
enum { kConstant = 0, kLinear = 1, kQuadratic = 2, kCubic = 3 };

void SegmentCoefficients(float Q0, float Q1, float Q2, float Q3, float (&Coef)[4])
{
    Coef[kCubic] = ((Q1 - Q2) * 3.0f - Q0 + Q3) * kSixth;
    Coef[kQuadratic] = (Q0 - 2.0f * Q1 + Q2) * 0.5f;
    Coef[kLinear] = (Q2 - Q0) * 0.5f;
    Coef[kConstant] = (Q0 + 4.0f * Q1 + Q2) * kSixth;
}

float Evaluate(const float (&Coef)[4], float T)
{
    return ((Coef[kCubic] * T + Coef[kQuadratic]) * T + Coef[kLinear]) * T + Coef[kConstant];
}

// The four control points of the segment that starts at index First (taken modulo the count).
void SegmentOf(const FlyMovies& Record, int32_t First, float (&CoefX)[4], float (&CoefY)[4])
{
    const int32_t N = Record.PointCount;
    TFlyPoint Q[4];
    for (int32_t k = 0; k < 4; ++k)
        Q[k] = Record.Points[((First + k) % N + N) % N];
    SegmentCoefficients(static_cast<float>(Q[0].X), static_cast<float>(Q[1].X), static_cast<float>(Q[2].X),
                        static_cast<float>(Q[3].X), CoefX);
    SegmentCoefficients(static_cast<float>(Q[0].Y), static_cast<float>(Q[1].Y), static_cast<float>(Q[2].Y),
                        static_cast<float>(Q[3].Y), CoefY);
}

// The direction from the segment's start pixel to its pixel a thirtieth of the way along.
int32_t ProbeHeading(const float (&CoefX)[4], const float (&CoefY)[4])
{
    const auto X0 = static_cast<int32_t>(CoefX[kConstant]);
    const auto Y0 = static_cast<int32_t>(CoefY[kConstant]);
    const auto X1 = static_cast<int32_t>(Evaluate(CoefX, kProbeT));
    const auto Y1 = static_cast<int32_t>(Evaluate(CoefY, kProbeT));
    return HeadingOf(X1 - X0, Y1 - Y0);
}

}  // namespace

const std::span<const TFlyPoint> FlightPathA{kFlightPathA};
const std::span<const TFlyPoint> FlightPathB{kFlightPathB};
const std::span<const TFlyPoint> FlightPathC{kFlightPathC};

int32_t HeadingOf(int32_t Dx, int32_t Dy)
{
    if (Dx == 0)
        return Dy == 0 ? 0 : (Dy > 0 ? 90 : 270);
    if (Dy == 0)
        return Dx > 0 ? 0 : 180;
    const double A = std::atan(static_cast<double>(Dy) / static_cast<double>(Dx)) * 180.0 * (1.0 / std::numbers::pi);
    const auto Whole = static_cast<int32_t>(A);
    const int32_t R = Whole < 0 ? -Whole : Whole;
    if (Dx > 0)
        return Dy > 0 ? Whole : 360 - R;
    return Dy > 0 ? 180 - R : 180 + R;
}

int32_t TurnBetween(int32_t Heading, int32_t& NextHeading)
{
    if (Heading > NextHeading && NextHeading < 180 && Heading > 180)
        NextHeading += 360;
    int32_t Turn = NextHeading - Heading;
    if (Turn > 180)
        Turn -= 360;
    return Turn;
}

void StartFlight(FlyMovies& Record, std::span<const TFlyPoint> Path, int32_t FirstSegment, int32_t Steps)
{
    if (Path.empty() || Path.size() > static_cast<size_t>(FlyMovies::kMaxPoints))
        throw std::invalid_argument("StartFlight: a path needs 1 to 256 control points");
    if (FirstSegment < 0 || static_cast<size_t>(FirstSegment) >= Path.size())
        throw std::invalid_argument("StartFlight: first segment outside the path");
    if (Steps < 1)
        throw std::invalid_argument("StartFlight: a segment needs at least one step");
    Record.PointCount = static_cast<int32_t>(Path.size());
    for (size_t i = 0; i < Path.size(); ++i)
        Record.Points[i] = Path[i];
    Record.SegmentIndex = FirstSegment;
    Record.Steps = Steps;
    EnterSegment(Record);
}

void EnterSegment(FlyMovies& Record)
{
    // A record that was never given a path has no segment to enter; it stays where it is.
    if (Record.PointCount < 1 || Record.PointCount > FlyMovies::kMaxPoints)
        return;
    const int32_t I = Record.SegmentIndex;
    float NextX[4];
    float NextY[4];
    SegmentOf(Record, I, NextX, NextY);
    Record.NextHeading = ProbeHeading(NextX, NextY);

    // The current segment starts one point earlier: with B-splines a segment's curve lies
    // between its second and third control points.
    SegmentOf(Record, I - 1, Record.CoefX, Record.CoefY);
    Record.Heading = ProbeHeading(Record.CoefX, Record.CoefY);
    Record.Turn = TurnBetween(Record.Heading, Record.NextHeading);
}

void FlyAdvance(FlyMovies& Record)
{
    Record.Step += 1;
    if (Record.Step > Record.Steps) {
        Record.Step = 0;
        Record.SegmentIndex += 1;
        if (Record.SegmentIndex >= Record.PointCount)
            Record.SegmentIndex = 0;
        EnterSegment(Record);
        Record.Step += 1;
    }

    const float T = static_cast<float>(Record.Step) / static_cast<float>(Record.Steps);
    Record.PosX = Evaluate(Record.CoefX, T);
    Record.PosY = Evaluate(Record.CoefY, T);

    // Rounding the interpolated turn to a float first lands exact multiples (Turn -20 over 35
    // steps, step 7: -4) on their whole number rather than just short of it.
    int32_t Delta = 0;
    if (Record.Step > 0) {
        const double Share = static_cast<double>(Record.Turn) / static_cast<double>(Record.Steps);
        Delta = static_cast<int32_t>(static_cast<float>(Share * Record.Step));
    }
    // The remainder also folds a probe heading of 360 back to 0.
    int32_t Angle = (Delta + Record.Heading) % 360;
    if (Angle < 0)
        Angle += 360;
    Record.Angle = Angle;
    Record.Frame = Angle / 3;
}

void FlyStep(TKMV& Sprite, FlyMovies& Record)
{
    FlyAdvance(Record);
    Sprite.SetNumberFrame(Record.Frame);
    Sprite.SetShowX(static_cast<int32_t>(Record.PosX));
    Sprite.SetShowY(static_cast<int32_t>(Record.PosY));
    Sprite.DrawMovie();
}
