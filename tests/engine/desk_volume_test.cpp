#include "engine/volume_law.h"
#include "support/desk_test_fixture.h"

namespace corvane::engine::testing {
namespace {

TEST_F(DeskTest, SliderWritesBalanceThenVolumeToItsPlayer) {
    desk_->SetPan(3, -1200);
    ClearLogs();
    EXPECT_TRUE(desk_->SetSlider(3, 50));
    EXPECT_EQ(line_[3].TakeLog(), Strings({"balance -1200", "volume -1547"}));
    EXPECT_FALSE(desk_->SetSlider(3, 101));
    EXPECT_FALSE(desk_->SetSlider(3, -1));
    EXPECT_EQ(desk_->Slider(3), 50);
    EXPECT_TRUE(line_[3].TakeLog().isEmpty());
}

TEST_F(DeskTest, AutoPilotLineWritesBothPlayersVolumesFirst) {
    desk_->SetSlider(0, 100);
    EXPECT_EQ(ap_[0].TakeLog(), Strings({"volume 0", "balance 0"}));
    EXPECT_EQ(ap_[1].TakeLog(), Strings({"volume 0", "balance 0"}));
}

// Holding and latching the mute are checked on the main window's mute label.
TEST_F(DeskTest, LatchedMuteIgnoresLevelChangesButNotThePan) {
    desk_->MuteDown(2);
    desk_->MuteUp(2, false);  // right button: stays muted
    EXPECT_TRUE(desk_->IsMuted(2));
    // A muted line ignores slider, crossfader and fade-mode changes, but not its pan.
    desk_->SetSlider(2, 60);
    desk_->SelectFadeMode(2, FadeMode::Left);
    fader_.DragTo(2280);
    desk_->SetPan(2, 500);
    EXPECT_EQ(line_[2].volume, kSilentVolume);
    EXPECT_EQ(line_[2].balance, 500);
    desk_->MuteDown(2);
    desk_->MuteUp(2, true);
    EXPECT_EQ(line_[2].volume, -9569);  // slider 60 at level 0: the bottom step
}

TEST_F(DeskTest, FadeModesFollowTheirCrossfaderSide) {
    for (int line = 1; line <= 3; ++line) desk_->SetSlider(line, 100);
    desk_->SelectFadeMode(1, FadeMode::Left);
    desk_->SelectFadeMode(2, FadeMode::Right);
    EXPECT_EQ(settings_.GetPref(QStringLiteral("Fade Mode 2"), {}), QStringLiteral("2"));
    fader_.DragTo(570);  // right level 50
    EXPECT_EQ(line_[1].volume, 0);
    EXPECT_EQ(line_[2].volume, -1547);  // step 17 of 33
    EXPECT_EQ(line_[3].volume, 0);      // Always On ignores the crossfader
    fader_.DragTo(2280);
    EXPECT_EQ(line_[1].volume, -9569);
    EXPECT_EQ(line_[2].volume, 0);
    desk_->SelectFadeMode(1, FadeMode::AlwaysOn);  // applies at once
    EXPECT_EQ(line_[1].volume, 0);
}

// The crossfader's keys are checked end to end on the main window.
TEST_F(DeskTest, KeyboardDrivesTheMasterSlider) {
    desk_->SetSlider(7, 100);
    desk_->PerformKey({DeskAction::MasterUp});  // stops at the top
    EXPECT_EQ(desk_->Slider(7), 100);
    desk_->PerformKey({DeskAction::MasterDown});
    desk_->PerformKey({DeskAction::SaveMaster});
    EXPECT_EQ(settings_.GetPref(QStringLiteral("Slider 7"), {}), QStringLiteral("99"));

    desk_->PerformKey({DeskAction::MuteMasterDown});
    EXPECT_TRUE(desk_->IsMuted(7));
    desk_->PerformKey({DeskAction::MuteMasterUp});
    EXPECT_FALSE(desk_->IsMuted(7));
    EXPECT_FALSE(desk_->PerformKey({DeskAction::OpenLine, 2}));
}

}  // namespace
}  // namespace corvane::engine::testing
