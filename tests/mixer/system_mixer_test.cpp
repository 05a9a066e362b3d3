#include "mixer/system_mixer.h"

#include <gtest/gtest.h>

#include <QTest>
#include <limits>

#include "app/desk_label.h"
#include "app/line_strip.h"
#include "app/mic_wiring.h"
#include "appearance/ui/minislider.h"
#include "engine/desk.h"
#include "engine/volume_law.h"
#include "fake_mixer.h"
#include "support/mainform_support.h"

namespace corvane::mixer::testing {
namespace {

using Writes = std::vector<long long>;

TEST(SystemMixer, MasterSliderCoversTheControlsWholeRangeRoundingHalvesToEven) {
    FakeMixerState state;
    state.controls[MixerLine::Master] = {0, 65535};
    SystemMixer mixer(MakeFake(state));
    ASSERT_TRUE(mixer.InitMixer());
    for (int slider : {100, 50, 0}) {
        mixer.SetRaw(engine::MasterControlValue(slider, mixer.Range(), mixer.Minimum()));
    }
    // 32767.5 rounds to the even 32768.
    EXPECT_EQ(state.WritesTo(MixerLine::Master), (Writes{65535, 32768, 0}));
}

TEST(SystemMixer, MicrophoneIsScaledByItsOwnRangeNotTheMasters) {
    FakeMixerState state;
    state.controls[MixerLine::Master] = {0, 65536};
    state.controls[MixerLine::Mic] = {-20, 40};
    SystemMixer mixer(MakeFake(state));
    ASSERT_TRUE(mixer.InitMixer());
    ASSERT_TRUE(mixer.MicVolumeAvailable());
    for (int slider : {0, 50, 100, 25}) mixer.SetMicLevel(slider);
    EXPECT_EQ(state.WritesTo(MixerLine::Mic), (Writes{-20, 10, 40, -5}));
    EXPECT_EQ(mixer.MicLevelValue(), 25);
    EXPECT_TRUE(state.WritesTo(MixerLine::Master).empty());
}

TEST(SystemMixer, MicrophoneWorksWithoutAMasterControl) {
    FakeMixerState state;
    state.controls[MixerLine::Mic] = {0, 31};
    SystemMixer mixer(MakeFake(state));
    EXPECT_FALSE(mixer.InitMixer());
    EXPECT_FALSE(mixer.Available());
    mixer.SetRaw(5);
    mixer.SetMicLevel(100);
    EXPECT_TRUE(state.WritesTo(MixerLine::Master).empty());
    EXPECT_EQ(state.WritesTo(MixerLine::Mic), (Writes{31}));
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

TEST(SystemMixer, WritesStayInsideTheRangeAndKeepTheLastResult) {
    FakeMixerState state;
    state.controls[MixerLine::Master] = {-100, 100};
    SystemMixer mixer(MakeFake(state));
    ASSERT_TRUE(mixer.InitMixer());
    mixer.SetRaw(500);
    mixer.SetRaw(-500);
    EXPECT_EQ(state.WritesTo(MixerLine::Master), (Writes{100, -100}));
    EXPECT_EQ(mixer.MixerResult(), 0);
    state.result = -5;
    mixer.SetRaw(0);
    EXPECT_EQ(mixer.MixerResult(), -5);
}

// Line 7 of the real main window over the fake mixer.
class MasterLineTest : public app::testing::MainFormTest {
protected:
    void Attach(bool debugMode = false) {
        app::AttachMixer(
            mixer_, Form().Desk(),
            [this](QMessageBox::Icon icon, const QString& title, const QString& text) {
                boxes_.append({icon, title, text});
            },
            debugMode);
    }
    appearance::MiniSlider* MasterSlider() {
        return Form().Strip(engine::Desk::kMasterLine)->Slider();
    }

    struct Box {
        QMessageBox::Icon icon;
        QString title;
        QString text;
    };
    FakeMixerState state_;
    SystemMixer mixer_{MakeFake(state_)};
    QList<Box> boxes_;
};

TEST_F(MasterLineTest, SliderAndMuteDriveTheMasterControl) {
    state_.controls[MixerLine::Master] = {10, 210};
    Attach();
    EXPECT_TRUE(boxes_.isEmpty());
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
}

TEST_F(MasterLineTest, MissingMasterShowsTheMixerErrorOnceAndLine7DoesNothing) {
    state_.controls[MixerLine::Mic] = {0, 100};
    state_.error = QStringLiteral("No \"Master\" playback volume on default.");
    Attach(true);
    ASSERT_EQ(boxes_.size(), 2);
    EXPECT_EQ(boxes_[0].icon, QMessageBox::Critical);
    EXPECT_EQ(boxes_[0].title, QStringLiteral("Debug Error Message - Init Mixer"));
    EXPECT_EQ(boxes_[0].text, state_.error);
    EXPECT_EQ(boxes_[1].icon, QMessageBox::Information);
    EXPECT_EQ(boxes_[1].title, QStringLiteral("Mixer Error"));
    EXPECT_EQ(boxes_[1].text,
              QStringLiteral("Couldn't initialize the Volume Control. CVN will work, but you will "
                             "not be able to control the Master Volume or the Mic Volume."));
    MasterSlider()->SetValue(30);
    QTest::mousePress(Form().Strip(engine::Desk::kMasterLine)->Mute(), Qt::LeftButton);
    EXPECT_TRUE(state_.writes.empty());
}

}  // namespace
}  // namespace corvane::mixer::testing
