#include <QSignalSpy>

#include "support/desk_test_fixture.h"

namespace corvane::engine::testing {
namespace {

TEST_F(DeskTest, PauseHoldsAPlayingLineResumesItAndPlayStillRestarts) {
    desk_->Play(2);
    ClearLogs();
    desk_->PauseLine(2);
    EXPECT_TRUE(desk_->IsPaused(2));
    EXPECT_FALSE(desk_->IsPlaying(2));
    EXPECT_TRUE(desk_->PerformKey({DeskAction::PauseLine, 2}));
    EXPECT_EQ(line_[2].TakeLog(), Strings({"pause", "play"}));  // resumed where it was

    desk_->PauseLine(2);
    desk_->Play(2);
    EXPECT_EQ(line_[2].TakeLog(), Strings({"pause", "position 0", "play"}));
    // Stop All stops a paused line too.
    desk_->PauseLine(2);
    desk_->StopAll();
    EXPECT_EQ(line_[2].TakeLog(), Strings({"pause", "stop", "position 0"}));

    // Nothing to pause on a stopped line or on the AutoPilot's.
    desk_->Stop(2);
    ClearLogs();
    desk_->PauseLine(2);
    desk_->PauseLine(Desk::kAutoPilotLine);
    EXPECT_TRUE(line_[2].TakeLog().isEmpty());
    EXPECT_TRUE(ap_[0].TakeLog().isEmpty());
}

TEST_F(DeskTest, SeekMovesTheShownSongAndItsTimeDisplayAtOnce) {
    QSignalSpy captions(desk_.get(), &Desk::TimeCaptionChanged);
    line_[4].duration = 200.0;
    desk_->SeekLine(4, 0.5);
    EXPECT_EQ(line_[4].position, 100.0);
    EXPECT_EQ(desk_->TimeCaption(4), QStringLiteral("- 1:40"));
    EXPECT_EQ(captions.count(), 1);
    EXPECT_DOUBLE_EQ(desk_->LineProgress(4), 0.5);

    // Line 0 moves the AutoPilot's current song only.
    ap_[1].duration = 60.0;
    desk_->SetCurrentAp(1);
    desk_->SeekLine(Desk::kAutoPilotLine, 1.5);
    EXPECT_EQ(ap_[1].position, 60.0);
    EXPECT_TRUE(ap_[0].TakeLog().isEmpty());

    // A line without a song has nowhere to go.
    desk_->SeekLine(5, 0.5);
    EXPECT_TRUE(line_[5].TakeLog().isEmpty());
    EXPECT_EQ(desk_->LineProgress(5), 0.0);
}

}  // namespace
}  // namespace corvane::engine::testing
