#include <cmath>

#include "appearance/helptexts.h"
#include "engine/tick_texts.h"
#include "support/desk_test_fixture.h"

namespace corvane::engine::testing {
namespace {

TEST(TickTexts, StartEndAndLongSongs) {
    const LineTimeTexts start = TimeTextsFor(0.0, 185.0);
    EXPECT_EQ(start.remaining, QStringLiteral("- 3:05"));
    EXPECT_EQ(start.elapsed, QStringLiteral("0:00"));
    EXPECT_EQ(TimeTextsFor(69.0, 240.0).status, QStringLiteral("- 2:51 Remaining, 1:09 Elapsed."));
    EXPECT_EQ(TimeTextsFor(185.0, 185.0).remaining, QStringLiteral("0:00"));
    EXPECT_EQ(TimeTextsFor(185.4, 185.0).remaining, QStringLiteral("0:00"));  // overshoot
    EXPECT_EQ(TimeTextsFor(0.0, 100 * 60 + 30).remaining, QStringLiteral("- 99:30"));
    EXPECT_EQ(TimeTextsFor(0.5, 0.5).elapsed, QStringLiteral("0:00"));  // halves to even
    EXPECT_EQ(TimeTextsFor(std::nan(""), 10.0).elapsed, QStringLiteral("0:00"));
}

TEST(TickTexts, Clock) {
    const QDateTime evening(QDate(2026, 12, 5), QTime(21, 7));
    EXPECT_EQ(ClockCaption(evening), QStringLiteral("12-5-2026   9:07 PM"));
    EXPECT_EQ(ClockCaption(QDateTime(QDate(2026, 1, 9), QTime(0, 30))),
              QStringLiteral("1-9-2026   12:30 AM"));
    EXPECT_EQ(ClockToolTip(QDate(2026, 12, 5), QLocale(QLocale::English)),
              QStringLiteral("Saturday, December 5, 2026"));
}

TEST_F(DeskTest, TickShowsRemainingOrElapsedAndFollowsTheHoveredLine) {
    int steps = 0;
    QObject::connect(desk_.get(), &Desk::AutoPilotStep, [&] { ++steps; });
    line_[2].duration = 185.0;
    line_[2].position = 60.0;
    ap_[1].duration = 30.0;
    desk_->SetCurrentAp(1);
    const QDateTime now(QDate(2026, 12, 5), QTime(9, 5));
    desk_->Tick(now);
    EXPECT_EQ(desk_->TimeCaption(2), QStringLiteral("- 2:05"));
    EXPECT_EQ(desk_->TimeCaption(0), QStringLiteral("- 0:30"));
    EXPECT_EQ(desk_->ClockCaption(), QStringLiteral("12-5-2026   9:05 AM"));
    EXPECT_TRUE(desk_->Status().isEmpty());  // nothing hovered: the tick leaves it alone
    EXPECT_EQ(steps, 1);

    desk_->ShowTimeStatus(2);
    line_[2].position = 61.0;
    desk_->Tick(now);
    EXPECT_EQ(desk_->Status(), QStringLiteral("- 2:04 Remaining, 1:01 Elapsed."));

    desk_->SetStatus(appearance::StatusHelpText(appearance::HelpTarget::Slider));
    desk_->SetRemain(false);
    desk_->Tick(now);
    EXPECT_EQ(desk_->Status(), QStringLiteral("Adjusts Volume"));
    EXPECT_EQ(desk_->TimeCaption(2), QStringLiteral("1:01"));
}

TEST(HelpTexts, ToolTipsSwitchOffWholeAndStatusTextsStay) {
    using appearance::HelpTarget;
    EXPECT_EQ(appearance::ToolTipFor(HelpTarget::Mute, true),
              appearance::ToolTipText(HelpTarget::Mute));
    EXPECT_TRUE(appearance::StatusHelpText(HelpTarget::Background).isEmpty());
    for (int i = 0; i < appearance::kHelpTargetCount; ++i) {
        const auto target = static_cast<HelpTarget>(i);
        EXPECT_TRUE(appearance::ToolTipFor(target, false).isEmpty());
        EXPECT_EQ(appearance::ToolTipText(target).isEmpty(), target == HelpTarget::Background);
    }
}

TEST_F(DeskTest, RestoreBringsBackSlidersLoopsFilesAndFadeModes) {
    settings_.SavePref(QStringLiteral("Slider 3"), 100);
    settings_.SavePref(QStringLiteral("Slider 4"), 250);  // out of range: default stays
    settings_.SavePref(QStringLiteral("Loop 2"), true);
    settings_.SavePref(QStringLiteral("File 1"), QStringLiteral("/music/one.wav"));
    settings_.SavePref(QStringLiteral("File 5"), QStringLiteral("/music/five.wav"));
    settings_.SavePref(QStringLiteral("Fade Mode 3"), 2);
    settings_.SavePref(QStringLiteral("Fade Mode 4"), 3);  // unknown: unchanged
    settings_.SavePref(QStringLiteral("FadeSpeed"), 100);
    for (int line = 0; line < Desk::kLineCount; ++line) desk_->RestoreLineSettings(line);
    desk_->RestoreAfterLines();
    for (int line = 0; line < Desk::kLineCount; ++line) desk_->OpenRememberedFile(line, true);
    EXPECT_EQ(desk_->Slider(3), 100);
    EXPECT_EQ(desk_->Slider(4), 80);
    EXPECT_EQ(line_[3].volume, 0);
    EXPECT_EQ(line_[2].repeatCount, LinePlayer::kLoopForever);
    EXPECT_TRUE(line_[1].fileName.isEmpty());  // the command line's file keeps line 1
    EXPECT_EQ(line_[5].fileName, QStringLiteral("/music/five.wav"));
    EXPECT_FALSE(line_[5].autoStart);
    EXPECT_EQ(desk_->GetFadeMode(3), FadeMode::Right);
    EXPECT_EQ(desk_->GetFadeMode(4), FadeMode::AlwaysOn);
    EXPECT_EQ(fader_.FadeSpeed(), 100);
}

}  // namespace
}  // namespace corvane::engine::testing
