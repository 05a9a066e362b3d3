#include "engine/volume_law.h"

#include <gtest/gtest.h>

#include <utility>

namespace corvane::engine {
namespace {

TEST(VolumeLaw, CurveFollowsTheStepTable) {
    const std::pair<int, int> expected[] = {
        {0, -9569}, {1, -8660},  {2, -7833},  {3, -7082},  {4, -6399},  {5, -5778},
        {8, -4234}, {10, -3424}, {13, -2466}, {15, -1963}, {17, -1547}, {20, -1055},
        {25, -492}, {27, -332},  {30, -142},  {31, -90},   {32, -43},   {33, 0}};
    for (const auto& [steps, volume] : expected) {
        EXPECT_EQ(VolumeForStep(steps), volume) << "step " << steps;
    }
}

TEST(VolumeLaw, SliderEndsAndStepsRoundingHalvesToEven) {
    EXPECT_EQ(LineVolume(0, 100), -9569);  // the bottom is quiet, not silent
    // 99 and 98 still reach the top step; 97 falls one short.
    EXPECT_EQ(LineVolume(99, 100), 0);
    EXPECT_EQ(LineVolume(98, 100), 0);
    EXPECT_EQ(StepCount(97, 100), 32);
    EXPECT_EQ(LineVolume(97, 100), -43);
    EXPECT_EQ(StepCount(45, 100), 15);
    EXPECT_EQ(StepCount(75, 50), 12);  // 12.5
    EXPECT_EQ(StepCount(81, 50), 14);  // 13.5
    EXPECT_EQ(StepCount(100, 0), 0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
}

// The ends of a range from zero are checked on the system mixer's writes.
TEST(VolumeLaw, MasterMapsOntoAControlRangeBelowZero) {
    EXPECT_EQ(MasterControlValue(50, 100, -50), 0);
}

}  // namespace
}  // namespace corvane::engine
