#include "mixer/system_mixer.h"

#include <gtest/gtest.h>

#include <QHelpEvent>
#include <QLabel>
#include <QTest>
#include <QToolTip>
#include <limits>

#include "app/desk_label.h"
#include "app/desk_panels.h"
#include "app/line_strip.h"
#include "app/mic_wiring.h"
#include "app/mixer_notice.h"
#include "appearance/ui/butt.h"
#include "appearance/ui/minislider.h"
#include "engine/desk.h"
#include "engine/volume_law.h"
#include "fake_mixer.h"
#include "support/mainform_support.h"

namespace corvane::mixer::testing {
namespace {

using Writes = std::vector<long long>;

TEST(SystemMixer, MasterWritesCoverTheWholeRangeStayInsideItAndKeepTheLastResult) {
    FakeMixerState state;
    state.controls[MixerLine::Master] = {0, 65535};
    SystemMixer mixer(MakeFake(state));
    ASSERT_TRUE(mixer.InitMixer());
    for (int slider : {100, 50, 0}) {
        mixer.SetRaw(engine::MasterControlValue(slider, mixer.Range(), mixer.Minimum()));
    }
    mixer.SetRaw(70000);
    mixer.SetRaw(-500);
    // 32767.5 rounds to the even 32768.
    EXPECT_EQ(state.WritesTo(MixerLine::Master), (Writes{65535, 32768, 0, 65535, 0}));
    EXPECT_EQ(mixer.MixerResult(), 0);
    state.result = -5;
    mixer.SetRaw(0);
    EXPECT_EQ(mixer.MixerResult(), -5);
}

// Written and read back on the slider's scale by the microphone's own range, not the master's.
TEST(SystemMixer, MicrophoneIsScaledByItsOwnRangeBothWaysAndReadingWritesNothing) {
    FakeMixerState state;
    state.controls[MixerLine::Master] = {0, 65536};
    state.controls[MixerLine::Mic] = {-20, 40};
    SystemMixer mixer(MakeFake(state));
    ASSERT_TRUE(mixer.InitMixer());
    ASSERT_TRUE(mixer.MicVolumeAvailable());
    // Unreadable: the last level stands.
    EXPECT_EQ(mixer.ReadMicLevel(), 0);
    for (const auto& [raw, slider] : {std::pair{-20LL, 0}, {40LL, 100}, {-5LL, 25}, {11LL, 52}}) {
        state.values[MixerLine::Mic] = raw;
        EXPECT_EQ(mixer.ReadMicLevel(), slider) << raw;
    }
    EXPECT_EQ(mixer.MicLevelValue(), 52);
    EXPECT_TRUE(state.writes.empty());

    for (int slider : {0, 50, 100, 25}) mixer.SetMicLevel(slider);
    EXPECT_EQ(state.WritesTo(MixerLine::Mic), (Writes{-20, 10, 40, -5}));
    EXPECT_EQ(mixer.MicLevelValue(), 25);
    EXPECT_TRUE(state.WritesTo(MixerLine::Master).empty());
}

TEST(SystemMixer, MissingOrUnusableControlsAreNotAvailableAndSayWhy) {
    FakeMixerState state;
    state.error = QStringLiteral("attaching the mixer default: Connection refused.");
    SystemMixer none(MakeFake(state));
    EXPECT_FALSE(none.InitMixer());
    EXPECT_FALSE(none.MicVolumeAvailable());
    none.SetMicLevel(40);
    EXPECT_EQ(none.MicLevelValue(), 0);
    EXPECT_TRUE(state.writes.empty());
    EXPECT_EQ(none.ErrorText(), state.error);

    // A range our 32-bit arithmetic cannot hold would write wrapped values.
    FakeMixerState wide;
    wide.controls[MixerLine::Master] = {-1, std::numeric_limits<int>::max()};
    wide.controls[MixerLine::Mic] = {10, 5};
    SystemMixer tooWide(MakeFake(wide));
    EXPECT_FALSE(tooWide.InitMixer());
    EXPECT_FALSE(tooWide.MicVolumeAvailable());
    EXPECT_TRUE(tooWide.ErrorText().contains(QStringLiteral("master volume control's range")));

    SystemMixer noDevice(nullptr);
    EXPECT_FALSE(noDevice.InitMixer());
    noDevice.SetRaw(3);
    EXPECT_FALSE(noDevice.ErrorText().isEmpty());
}

// The microphone works without a master; a retry takes a mixer with more controls only.
TEST(SystemMixer, MicrophoneWorksWithoutAMasterAndRetryTakesAMixerWithMoreControlsOnly) {
    FakeMixerState first;
    first.controls[MixerLine::Mic] = {0, 31};
    FakeMixerState later;
    SystemMixer mixer(MakeFake(first), [&later] { return MakeFake(later); });
    EXPECT_FALSE(mixer.InitMixer());
    EXPECT_FALSE(mixer.Available());
    mixer.SetRaw(5);
    mixer.SetMicLevel(100);
    EXPECT_TRUE(first.WritesTo(MixerLine::Master).empty());
    EXPECT_EQ(first.WritesTo(MixerLine::Mic), (Writes{31}));
    // Still nothing more; and a mixer without the microphone would lose the one we have.
    EXPECT_FALSE(mixer.Retry());
    later.controls[MixerLine::Master] = {0, 100};
    EXPECT_FALSE(mixer.Retry());
    EXPECT_FALSE(mixer.Available());
    later.controls[MixerLine::Mic] = {0, 20};
    EXPECT_TRUE(mixer.Retry());
    EXPECT_TRUE(mixer.Available());
    mixer.SetMicLevel(50);
    EXPECT_EQ(later.WritesTo(MixerLine::Mic), (Writes{10}));
    EXPECT_EQ(first.writes.size(), 1u);
    // Nothing is missing any more: nothing is opened.
    later.controls.clear();
    EXPECT_FALSE(mixer.Retry());
    EXPECT_TRUE(mixer.MicVolumeAvailable());
}

// Line 7 of the real main window over the fake mixer.
class MasterLineTest : public app::testing::MainFormTest {
protected:
    void Attach() {
        app::AttachMixer(mixer_, Form().Desk());
        notice_ = std::make_unique<app::MixerNotice>(Form(), mixer_);
        notice_->Show();
    }
    appearance::MiniSlider* MasterSlider() {
        return Form().Strip(engine::Desk::kMasterLine)->Slider();
    }
    QString ToolTipOf(QWidget* control) {
        QToolTip::hideText();
        QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), control->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(control, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

    FakeMixerState state_;
    // What opening the mixer again finds.
    FakeMixerState later_;
    SystemMixer mixer_{MakeFake(state_), [this] { return MakeFake(later_); }};
    std::unique_ptr<app::MixerNotice> notice_;
};

TEST_F(MasterLineTest, SliderAndMuteDriveTheMasterControl) {
    state_.controls[MixerLine::Master] = {10, 210};
    Attach();
    const auto last = [this] {
        const Writes writes = state_.WritesTo(MixerLine::Master);
        return writes.empty() ? -1LL : writes.back();
    };
    MasterSlider()->SetValue(50);
    EXPECT_EQ(last(), 110);
    app::DeskLabel* mute = Form().Strip(engine::Desk::kMasterLine)->Mute();
    QTest::mousePress(mute, Qt::LeftButton);
    // Muting writes the control's minimum, not a raw 0 outside its range.
    EXPECT_EQ(last(), 10);
    const size_t writes = state_.writes.size();
    MasterSlider()->SetValue(75);
    EXPECT_EQ(state_.writes.size(), writes);
    QTest::mouseRelease(mute, Qt::LeftButton);
    EXPECT_EQ(last(), 160);
    EXPECT_EQ(MasterSlider()->graphicsEffect(), nullptr);
    EXPECT_TRUE(Form().Status()->text().isEmpty());
}

TEST_F(MasterLineTest, MissingMixerIsANoticeThatWaitsForNobodyAndTheNextUseTriesAgain) {
    Attach();
    const QString notice =
        QStringLiteral("No system volume control: Master and Mic are not available.");
    EXPECT_EQ(Form().Status()->text(), notice);
    EXPECT_TRUE(messages_.isEmpty());
    appearance::Butt* micButt = Form().Buttons()->Button(app::ButtonRow::MicButt);
    for (QWidget* control :
         {static_cast<QWidget*>(MasterSlider()), static_cast<QWidget*>(micButt)}) {
        EXPECT_NE(control->graphicsEffect(), nullptr);
        EXPECT_EQ(ToolTipOf(control), notice);
    }
    MasterSlider()->SetValue(30);
    QTest::mouseClick(Form().Strip(engine::Desk::kMasterLine)->Mute(), Qt::LeftButton);
    EXPECT_TRUE(state_.writes.empty());

    // The sound server has started since: the next press on line 7 finds the mixer and acts.
    later_.controls[MixerLine::Master] = {0, 100};
    QTest::mouseClick(MasterSlider(), Qt::LeftButton, {}, QPoint(MasterSlider()->width() / 2, 2));
    EXPECT_TRUE(mixer_.Available());
    EXPECT_FALSE(later_.WritesTo(MixerLine::Master).empty());
    EXPECT_EQ(MasterSlider()->graphicsEffect(), nullptr);
    EXPECT_NE(ToolTipOf(MasterSlider()), notice);
    EXPECT_TRUE(Form().Status()->text().isEmpty());
    // The microphone is still missing: MicButt stays greyed and says so.
    EXPECT_NE(micButt->graphicsEffect(), nullptr);
    EXPECT_EQ(ToolTipOf(micButt),
              QStringLiteral("No system volume control: Mic is not available."));
}

}  // namespace
}  // namespace corvane::mixer::testing
