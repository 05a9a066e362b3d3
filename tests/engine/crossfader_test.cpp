#include "engine/crossfader.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "support/desk_fakes.h"

namespace corvane::engine {
namespace {

using testing::FakeTimers;

class CrossfaderTest : public ::testing::Test {
protected:
    CrossfaderTest() {
        QObject::connect(&fader_, &CrossfaderModel::LevelsChanged, [this] { ++levelEvents_; });
        QObject::connect(&fader_, &CrossfaderModel::FadeDone,
                         [this](bool atLeft) { done_.push_back(atLeft); });
    }

    FakeTimers timers_;
    CrossfaderModel fader_{timers_.Factory()};
    int levelEvents_ = 0;
    std::vector<bool> done_;
};

TEST(CrossfaderLevels, CentreEndsQuarterAndTheDetent) {
    // Knob, left, right; at the left end the left level computes 200.
    for (const auto& [knob, left, right] :
         {std::tuple{1140, 100, 100}, {0, 100, 0}, {2280, 0, 100}, {570, 100, 50}, {1710, 50, 100}})
        EXPECT_EQ(CrossfaderModel::LevelsAt(knob), std::make_pair(left, right)) << knob;
    // The drag snaps to the centre inside the detent only, and stays on the track.
    for (const auto& [wanted, target] :
         {std::pair{1100, 1140}, {1199, 1140}, {1080, 1080}, {1200, 1200}, {2281, 2280}, {-1, 0}})
        EXPECT_EQ(CrossfaderModel::DragTarget(wanted), target) << wanted;
}

TEST_F(CrossfaderTest, DragFollowsThePointerFromTheGrabPointWithinTheBand) {
    fader_.GrabKnob(100.4);  // offset rounds to 100
    fader_.DragKnob(100 + 600, 0);
    EXPECT_EQ(fader_.KnobPosition(), 1740);
    EXPECT_EQ(fader_.LeftLevel(), 47);
    fader_.DragKnob(100 + 300, 2851);  // below the band: the knob stays
    EXPECT_EQ(fader_.KnobPosition(), 1740);
    fader_.DragKnob(100 + 300, -2300);
    EXPECT_EQ(fader_.KnobPosition(), 2040);
    fader_.DragKnob(100 - 900, 2850);  // 1140, inside the detent
    EXPECT_EQ(fader_.KnobPosition(), 1140);
    EXPECT_EQ(levelEvents_, 3);
}

TEST_F(CrossfaderTest, AutoFadeRightRunsToTheEndAndStops) {
    fader_.AutoFadeRight();
    int ticks = 0;
    while (timers_.Right().Fire()) ++ticks;
    EXPECT_EQ(ticks, 23);  // 1140 in steps of 50
    EXPECT_EQ(fader_.KnobPosition(), 2280);
    EXPECT_EQ(done_, std::vector<bool>{false});
    EXPECT_EQ(fader_.Fading(), CrossfaderModel::Fade::Idle);
}

TEST_F(CrossfaderTest, AutoFadeLeftFromNearTheEndLandsExactlyOnZero) {
    fader_.DragTo(30);
    fader_.AutoFadeLeft();
    ASSERT_TRUE(timers_.Left().Fire());
    EXPECT_EQ(fader_.KnobPosition(), 0);
    EXPECT_EQ(done_, std::vector<bool>{true});
    EXPECT_FALSE(timers_.Left().Fire());
}

TEST_F(CrossfaderTest, StartingOneFadeStopsTheOtherAndSlowSpeedsAreRaised) {
    fader_.SetFadeSpeed(5);
    fader_.AutoFadeLeft();
    EXPECT_EQ(fader_.FadeSpeed(), 10);
    fader_.SetFadeSpeed(0);
    fader_.AutoFadeRight();
    EXPECT_EQ(fader_.FadeSpeed(), 10);
    EXPECT_FALSE(timers_.Left().IsActive());
    ASSERT_TRUE(timers_.Right().Fire());
    EXPECT_EQ(fader_.KnobPosition(), 1150);
    fader_.StopIt();
    EXPECT_EQ(fader_.Fading(), CrossfaderModel::Fade::Idle);
}

TEST_F(CrossfaderTest, ResetInsideFadeDoneWins) {
    QObject::connect(&fader_, &CrossfaderModel::FadeDone, [this] { fader_.Reset(); });
    fader_.DragTo(2270);
    fader_.AutoFadeRight();
    timers_.Right().Fire();
    EXPECT_EQ(fader_.KnobPosition(), 1140);
    EXPECT_EQ(fader_.LeftLevel(), 100);
}

}  // namespace
}  // namespace corvane::engine
