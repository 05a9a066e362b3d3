#include "mixer/ui/mic_level.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QTest>

#include "app/desk_panels.h"
#include "app/mic_wiring.h"
#include "appearance/ui/butt.h"
#include "appearance/ui/minislider.h"
#include "appearance/ui/units.h"
#include "engine/desk.h"
#include "fake_mixer.h"
#include "mixer/system_mixer.h"
#include "support/mainform_support.h"

namespace corvane::mixer::testing {
namespace {

// The Mic window opened from the real main window, over the fake mixer.
class MicLevelTest : public app::testing::MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        state_.controls[MixerLine::Master] = {0, 65536};
        state_.controls[MixerLine::Mic] = {0, 200};
    }

    app::MicWiring& Wiring() {
        if (wiring_ == nullptr) {
            mixer_.InitMixer();
            Form().Desk().SetMasterVolume(&mixer_);
            wiring_ = std::make_unique<app::MicWiring>(Form(), mixer_, settings_);
        }
        return *wiring_;
    }
    appearance::Butt* MicButt() { return Form().Buttons()->Button(app::ButtonRow::MicButt); }
    MicLevel* ClickMicButt() {
        Wiring();
        QTest::mouseClick(MicButt(), Qt::LeftButton);
        return Wiring().Window();
    }
    // Closes the window as the user does and lets its deletion happen.
    void CloseWindow() {
        Wiring().Window()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QColor Hilite() const { return appearance::ColorFromValue(appearance::kDefaultHiliteColor); }
    QColor Text() const { return appearance::ColorFromValue(appearance::kDefaultTextColor); }

    void TearDown() override {
        wiring_.reset();
        MainFormTest::TearDown();
    }

    FakeMixerState state_;
    FakeMixerState later_;
    SystemMixer mixer_{MakeFake(state_), [this] { return MakeFake(later_); }};
    std::unique_ptr<app::MicWiring> wiring_;
};

TEST_F(MicLevelTest, MicButtOpensTheWindowAtTheMicrophonesLevelAndItsSliderWritesIt) {
    state_.values[MixerLine::Mic] = 150;
    MicLevel* window = ClickMicButt();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(MicButt()->TextColor(), Hilite());
    // Opening reads the level and leaves it as it was.
    EXPECT_EQ(window->MicSlider()->Value(), 75);
    EXPECT_TRUE(state_.writes.empty());

    // A press on the track near the top moves the knob there and writes the scaled level.
    appearance::MiniSlider* slider = window->MicSlider();
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() / 2, 2));
    EXPECT_GT(slider->Value(), 75);
    ASSERT_EQ(state_.WritesTo(MixerLine::Mic).size(), 1u);
    EXPECT_EQ(state_.WritesTo(MixerLine::Mic).back(), 2 * slider->Value());  // range 0..200
    slider->SetValue(40);
    EXPECT_EQ(state_.WritesTo(MixerLine::Mic).back(), 80);
}

TEST_F(MicLevelTest, ClosingSavesThePlaceAndReopeningRestoresItWithTheLastLevel) {
    MicLevel* window = ClickMicButt();
    ASSERT_NE(window, nullptr);
    window->MicSlider()->SetValue(65);
    window->move(120, 90);
    const QPoint placed = window->pos();
    CloseWindow();
    EXPECT_FALSE(Wiring().MicOpen());
    EXPECT_EQ(MicButt()->TextColor(), Text());
    EXPECT_EQ(settings_.GetInt(keys::kMicTop), placed.y() * 15);
    EXPECT_EQ(settings_.GetInt(keys::kMicLeft), placed.x() * 15);

    // The menu's "Mic Level" opens it the same way.
    Form().RCMenu()->findChild<QAction*>(QStringLiteral("mnuMic"))->trigger();
    window = Wiring().Window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->pos(), placed);
    EXPECT_EQ(window->MicSlider()->Value(), 65);
    CloseWindow();

    // Changed elsewhere while the window was closed: it opens at the new level.
    state_.values[MixerLine::Mic] = 40;
    const size_t writes = state_.writes.size();
    EXPECT_EQ(ClickMicButt()->MicSlider()->Value(), 20);
    EXPECT_EQ(state_.writes.size(), writes);
}

TEST_F(MicLevelTest, FirstOpeningIsCentredAndOnTopByDefaultAndAnOffScreenPlaceIsCentred) {
    MicLevel* window = ClickMicButt();
    ASSERT_NE(window, nullptr);
    const QRect screen = window->screen()->geometry();
    const QRect frame = window->frameGeometry();
    // The frame's own size is known only once shown: centred to within its border.
    EXPECT_LE(std::abs(frame.center().x() - screen.center().x()), 4);
    EXPECT_LE(std::abs(frame.center().y() - screen.center().y()), 4);
    EXPECT_TRUE(window->Check1()->isChecked());
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    // Clearing the box takes the window out of the top layer and is remembered.
    QTest::mouseClick(window->Check1(), Qt::LeftButton);
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(settings_.GetBool(keys::kMicOnTop));
    CloseWindow();

    // A place saved off the screens falls back to the centre.
    settings_.SavePref(keys::kMicTop, 900000);
    settings_.SavePref(keys::kMicLeft, -900000);
    window = ClickMicButt();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(window->Check1()->isChecked());
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window->screen()->geometry().contains(window->frameGeometry().center()));
}

TEST_F(MicLevelTest, WithoutAMicrophoneTheWindowNeverShowsUntilOneAppears) {
    state_.controls.erase(MixerLine::Mic);
    EXPECT_EQ(ClickMicButt(), nullptr);
    EXPECT_EQ(MicButt()->TextColor(), Text());
    EXPECT_TRUE(state_.writes.empty());
    // The menu's "Mic Level" opens the mixer again too; now the microphone is there.
    later_.controls[MixerLine::Master] = {0, 10};
    later_.controls[MixerLine::Mic] = {0, 10};
    later_.values[MixerLine::Mic] = 5;
    Form().RCMenu()->findChild<QAction*>(QStringLiteral("mnuMic"))->trigger();
    ASSERT_NE(Wiring().Window(), nullptr);
    EXPECT_EQ(Wiring().Window()->MicSlider()->Value(), 50);
    EXPECT_TRUE(later_.writes.empty());
}

TEST_F(MicLevelTest, ShowMicReopensItAtStartAndTheWindowFollowsTheColours) {
    settings_.SavePref(keys::kShowMic, true);
    settings_.SavePref(keys::kBackColor, 0x102030);
    settings_.SavePref(keys::kTextColor, 0x00FF00);
    Wiring().RestoreAtStart();
    MicLevel* window = Wiring().Window();
    ASSERT_NE(window, nullptr);
    // Reopened at start, it leaves the microphone alone.
    EXPECT_TRUE(state_.writes.empty());
    EXPECT_EQ(window->palette().color(QPalette::Window), appearance::ColorFromValue(0x102030));
    EXPECT_EQ(window->Check1()->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    // A later scheme change of the main window recolours the window and keeps MicButt lit.
    app::ColorScheme scheme = app::ColorScheme::FromSettings(settings_);
    scheme.back = QColor(128, 0, 0);
    scheme.hilite = QColor(0, 0, 255);
    Q_EMIT Form().ColorsApplied(scheme);
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(128, 0, 0));
    EXPECT_EQ(MicButt()->TextColor(), QColor(0, 0, 255));
}

}  // namespace
}  // namespace corvane::mixer::testing
