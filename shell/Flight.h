// The flight model of the scene's flying sprites.
//
// A flyer travels a closed uniform cubic B-spline through a built-in list of control points,
// `Steps` frames per segment, and faces its direction of travel: the heading is probed once at
// the start of each segment, interpolated over the segment through the smaller turn, and mapped
// to one of the 120 direction frames of the flyer's strip (three degrees per frame).
//
// Coordinates are computed in 32-bit floats in a fixed operation order and converted to pixels by
// truncation toward zero, so a flight is reproducible to the pixel. Call order: `StartFlight` once,
// then `FlyStep` (or `FlyAdvance` without a sprite) once per frame. Everything here runs on the
// thread that draws the frames, except `StartFlight`, which runs during set-up.
#pragma once

#include <cstdint>
#include <span>

class TKMV;

struct TFlyPoint {
    int32_t X;
    int32_t Y;
};

// One flyer's state; fields in their documented order. The window creates and owns one per flyer.
struct FlyMovies {
    static constexpr int kMaxPoints = 256;

    TFlyPoint Points[kMaxPoints] = {};
    int32_t PointCount = 0;
    int32_t SegmentIndex = 0;
    int32_t Steps = 32;
    int32_t Step = 0;
    // Constant, linear, quadratic and cubic coefficient of the current segment.
    float CoefX[4] = {};
    float CoefY[4] = {};
    float PosX = 0.0f;
    float PosY = 0.0f;
    int32_t Heading = 0;
    // Heading at the start of the next segment, raised by 360 when that makes the turn shorter.
    int32_t NextHeading = 0;
    int32_t Turn = 0;
    int32_t Angle = 0;
    int32_t Frame = 0;
};

// The built-in closed paths (the point after the last is the first).
extern const std::span<const TFlyPoint> FlightPathA;
extern const std::span<const TFlyPoint> FlightPathB;
extern const std::span<const TFlyPoint> FlightPathC;

// Whole degrees 0..360 from +x toward +y (screen y grows downward, so 90 points down).
int32_t HeadingOf(int32_t Dx, int32_t Dy);

// The heading change from Heading to NextHeading through the smaller angle, -180..180; raises
// NextHeading by 360 where the short way crosses 0.
int32_t TurnBetween(int32_t Heading, int32_t& NextHeading);

// Loads a path and enters its first segment. `Step` keeps its value. Throws std::invalid_argument
// for an empty path, one longer than the record holds, a first segment outside the path or a
// step count below 1: those would divide by zero or read past the points.
void StartFlight(FlyMovies& Record, std::span<const TFlyPoint> Path, int32_t FirstSegment, int32_t Steps);

// Computes the current segment's coefficients, its start heading, the next segment's heading and
// the turn between them.
void EnterSegment(FlyMovies& Record);

// One frame of motion: advances `Step` (entering the next segment when this one is done), then
// sets `PosX`/`PosY`, `Angle` (0..359) and `Frame` (0..119). Allocates nothing.
void FlyAdvance(FlyMovies& Record);

// `FlyAdvance`, then shows the sprite's direction frame at the new position and draws it.
void FlyStep(TKMV& Sprite, FlyMovies& Record);
