#include "engine/volume_law.h"

#include <gtest/gtest.h>

#include <tuple>
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
    EXPECT_EQ(LineVolume(97, 100), -43);
    // Slider, level, steps: 75 and 81 at level 50 are 12.5 and 13.5.
    for (const auto& [slider, level, steps] :
         {std::tuple{97, 100, 32}, {45, 100, 15}, {75, 50, 12}, {81, 50, 14}, {100, 0, 0}})
        EXPECT_EQ(StepCount(slider, level), steps) << slider << " at " << level;
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    // The master onto a control range below zero; the ends of a range from zero are checked
    // on the system mixer's writes.
    EXPECT_EQ(MasterControlValue(50, 100, -50), 0);
}

}  // namespace
}  // namespace corvane::engine
