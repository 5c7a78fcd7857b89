// The flight model: headings, turns, the shown angle and frame, and the spline's continuity
// along the three built-in paths.
#include "shell/Flight.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>

namespace {

struct THeadingCase {
    int32_t Dx;
    int32_t Dy;
    int32_t Expected;
};

TEST(FlightHeading, WholeDegreesForEveryQuadrantAndAxis)
{
    const THeadingCase Cases[] = {
        {0, 0, 0},  {5, 0, 0},    {-5, 0, 180},  {0, 3, 90},   {0, -3, 270},
        {2, 1, 26}, {-2, 1, 154}, {-2, -1, 206}, {2, -1, 334}, {60, -1, 360},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(HeadingOf(C.Dx, C.Dy), C.Expected) << "(" << C.Dx << ", " << C.Dy << ")";
}

TEST(FlightHeading, DiagonalsAreExact)
{
    EXPECT_EQ(HeadingOf(7, 7), 45);
    EXPECT_EQ(HeadingOf(-7, 7), 135);
    EXPECT_EQ(HeadingOf(-7, -7), 225);
    EXPECT_EQ(HeadingOf(7, -7), 315);
}

TEST(FlightTurn, TakesTheSmallerAngle)
{
    int32_t Next = 10;
    EXPECT_EQ(TurnBetween(350, Next), 20);
    EXPECT_EQ(Next, 370);

    Next = 350;
    EXPECT_EQ(TurnBetween(10, Next), -20);
    EXPECT_EQ(Next, 350);

    Next = 0;
    EXPECT_EQ(TurnBetween(180, Next), -180);
    EXPECT_EQ(Next, 0);
}

TEST(FlightTurn, StaysWithinHalfACircleForAllHeadings)
{
    for (int32_t H = 0; H <= 360; H += 5) {
        for (int32_t N = 0; N <= 360; N += 5) {
            int32_t Next = N;
            const int32_t Turn = TurnBetween(H, Next);
            EXPECT_GE(Turn, -180) << H << " -> " << N;
            EXPECT_LE(Turn, 180) << H << " -> " << N;
            EXPECT_EQ(((H + Turn - N) % 360 + 360) % 360, 0) << H << " -> " << N;
        }
    }
}

std::unique_ptr<FlyMovies> Started(std::span<const TFlyPoint> Path, int32_t First, int32_t Steps)
{
    auto Record = std::make_unique<FlyMovies>();
    StartFlight(*Record, Path, First, Steps);
    return Record;
}

TEST(FlightStep, LargeFlyerMidTurnShowsInterpolatedAngle)
{
    auto Record = Started(FlightPathA, 0, 35);
    Record->Heading = 90;
    Record->Turn = -20;
    Record->Step = 6;
    FlyAdvance(*Record);
    EXPECT_EQ(Record->Step, 7);
    EXPECT_EQ(Record->Angle, 86);
    EXPECT_EQ(Record->Frame, 28);
}

TEST(FlightStep, HeadingOf360FoldsBackToZero)
{
    auto Record = Started(FlightPathC, 0, 50);
    Record->Heading = 360;
    Record->Turn = 0;
    FlyAdvance(*Record);
    EXPECT_EQ(Record->Angle, 0);
    EXPECT_EQ(Record->Frame, 0);
}

TEST(FlightStep, NegativeTurnBelowZeroWrapsToTheTopOfTheCircle)
{
    auto Record = Started(FlightPathC, 0, 10);
    Record->Heading = 2;
    Record->Turn = -40;
    Record->Step = 4;
    FlyAdvance(*Record);  // step 5: -20 degrees from 2
    EXPECT_EQ(Record->Angle, 342);
    EXPECT_EQ(Record->Frame, 114);
}

TEST(FlightSegment, FirstSegmentUsesTheLastControlPointFirst)
{
    auto Record = Started(FlightPathA, 0, 35);
    // Control points P32 (-418, 434), P0 (-128, 494), P1 (2, 344), P2 (265, 453).
    EXPECT_FLOAT_EQ(Record->CoefX[0], (-418.0f + 4.0f * -128.0f + 2.0f) / 6.0f);
    EXPECT_FLOAT_EQ(Record->CoefY[0], (434.0f + 4.0f * 494.0f + 344.0f) / 6.0f);
    EXPECT_FLOAT_EQ(Record->CoefX[1], (2.0f - -418.0f) * 0.5f);
    EXPECT_FLOAT_EQ(Record->CoefX[2], (-418.0f - 2.0f * -128.0f + 2.0f) * 0.5f);
    EXPECT_FLOAT_EQ(Record->CoefX[3], ((-128.0f - 2.0f) * 3.0f + 418.0f + 265.0f) / 6.0f);
    EXPECT_EQ(Record->Step, 0);
    EXPECT_EQ(Record->SegmentIndex, 0);
    EXPECT_EQ(Record->PointCount, 33);
}

TEST(FlightSegment, StartFlightKeepsTheStepAndTakesTheArguments)
{
    auto Record = Started(FlightPathB, 10, 36);
    EXPECT_EQ(Record->PointCount, 38);
    EXPECT_EQ(Record->SegmentIndex, 10);
    EXPECT_EQ(Record->Steps, 36);
    EXPECT_EQ(Record->Step, 0);
    EXPECT_GE(Record->Turn, -180);
    EXPECT_LE(Record->Turn, 180);
}

TEST(FlightSegment, NewRecordHasItsStartingValues)
{
    FlyMovies Record;
    EXPECT_EQ(Record.Steps, 32);
    EXPECT_EQ(Record.Step, 0);
    EXPECT_EQ(Record.SegmentIndex, 0);
    EXPECT_EQ(Record.PosX, 0.0f);
    EXPECT_EQ(Record.Heading, 0);
}

TEST(FlightSegment, BadPathsAreRefused)
{
    FlyMovies Record;
    EXPECT_THROW(StartFlight(Record, {}, 0, 32), std::invalid_argument);
    EXPECT_THROW(StartFlight(Record, FlightPathC, 23, 32), std::invalid_argument);
    EXPECT_THROW(StartFlight(Record, FlightPathC, -1, 32), std::invalid_argument);
    EXPECT_THROW(StartFlight(Record, FlightPathC, 0, 0), std::invalid_argument);
    TFlyPoint TooMany[FlyMovies::kMaxPoints + 1] = {};
    EXPECT_THROW(StartFlight(Record, TooMany, 0, 32), std::invalid_argument);
}

TEST(FlightSegment, RecordWithoutPathStaysPut)
{
    FlyMovies Record;
    for (int i = 0; i < 100; ++i)
        FlyAdvance(Record);
    EXPECT_EQ(Record.PosX, 0.0f);
    EXPECT_EQ(Record.PosY, 0.0f);
    EXPECT_EQ(Record.Frame, 0);
}

struct TPathCase {
    std::span<const TFlyPoint> Path;
    int32_t First;
    int32_t Steps;
};

const TPathCase kFlyers[] = {{FlightPathA, 0, 35}, {FlightPathB, 0, 32}, {FlightPathB, 10, 36}, {FlightPathC, 0, 50}};

TEST(FlightPath, PositionIsContinuousAcrossSegmentChanges)
{
    for (const auto& C : kFlyers) {
        auto Record = Started(C.Path, C.First, C.Steps);
        const int32_t Frames = Record->PointCount * Record->Steps + 1;
        int Changes = 0;
        float LastX = 0.0f, LastY = 0.0f, LargestMove = 0.0f;
        for (int32_t f = 0; f < Frames; ++f) {
            const int32_t Segment = Record->SegmentIndex;
            FlyAdvance(*Record);
            if (f > 0)
                LargestMove = std::max(LargestMove, std::hypot(Record->PosX - LastX, Record->PosY - LastY));
            if (Record->SegmentIndex != Segment) {
                ++Changes;
                // The new segment's start is the old segment's end, drawn one frame earlier.
                EXPECT_NEAR(Record->CoefX[0], LastX, 0.01f) << "segment " << Record->SegmentIndex;
                EXPECT_NEAR(Record->CoefY[0], LastY, 0.01f) << "segment " << Record->SegmentIndex;
            }
            LastX = Record->PosX;
            LastY = Record->PosY;
        }
        EXPECT_EQ(Changes, Record->PointCount);
        EXPECT_LT(LargestMove, 40.0f);  // no jumps: a flyer covers well under 40 px per frame
    }
}

TEST(FlightPath, ACircuitEndsWhereItBeganAndShowsOnlyDirectionFrames)
{
    for (const auto& C : kFlyers) {
        auto Record = Started(C.Path, C.First, C.Steps);
        FlyAdvance(*Record);
        const float FirstX = Record->PosX, FirstY = Record->PosY;
        const int32_t FirstFrame = Record->Frame;
        for (int32_t f = 1; f < Record->PointCount * Record->Steps; ++f) {
            FlyAdvance(*Record);
            ASSERT_GE(Record->Angle, 0);
            ASSERT_LE(Record->Angle, 359);
            ASSERT_EQ(Record->Frame, Record->Angle / 3);
        }
        FlyAdvance(*Record);
        EXPECT_EQ(Record->PosX, FirstX);
        EXPECT_EQ(Record->PosY, FirstY);
        EXPECT_EQ(Record->Frame, FirstFrame);
        EXPECT_EQ(Record->SegmentIndex, C.First);
    }
}

TEST(FlightPath, ShownAngleFollowsTheDirectionOfTravel)
{
    // Over a whole circuit the shown heading stays close to the actual direction of motion.
    auto Record = Started(FlightPathB, 0, 32);
    int Close = 0, Total = 0;
    float LastX = 0.0f, LastY = 0.0f;
    for (int32_t f = 0; f < Record->PointCount * Record->Steps; ++f) {
        FlyAdvance(*Record);
        if (f > 0) {
            const double Dir = std::atan2(Record->PosY - LastY, Record->PosX - LastX) * 180.0 / M_PI;
            double Diff = std::fmod(std::fabs(Dir - Record->Angle), 360.0);
            Diff = std::min(Diff, 360.0 - Diff);
            Close += Diff < 45.0;
            ++Total;
        }
        LastX = Record->PosX;
        LastY = Record->PosY;
    }
    EXPECT_GT(Close, Total * 8 / 10);
}

}  // namespace
