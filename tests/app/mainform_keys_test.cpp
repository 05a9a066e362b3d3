// The keyboard table end to end: key events on the real main window, through the key map and
// the desk, to the engine's players and the window's controls.
#include <QFocusEvent>
#include <QMouseEvent>

#include "app/cue_button.h"
#include "app/desk_label.h"
#include "app/desk_panels.h"
#include "app/line_strip.h"
#include "appearance/ui/minislider.h"
#include "appearance/ui/picturebutton.h"
#include "engine/crossfader.h"
#include "engine/desk.h"
#include "support/desk_fakes.h"
#include "support/mainform_support.h"

namespace corvane::app::testing {
namespace {

using audio::MediaPlayer;
using engine::CrossfaderModel;

using MainFormKeys = MainFormTest;

TEST_F(MainFormKeys, FunctionKeyTogglesItsLineOnRelease) {
    ASSERT_TRUE(Load(3, "sine1k_44100_stereo_s16.wav"));
    MediaPlayer* player = engine_->Player(3);
    LineStrip* strip = Form().Strip(3);

    Key(QEvent::KeyPress, Qt::Key_F3);
    EXPECT_TRUE(strip->PlayButt()->IsArmed());
    EXPECT_EQ(player->PlayState(), MediaPlayer::kStopped);
    Key(QEvent::KeyRelease, Qt::Key_F3);
    EXPECT_EQ(player->PlayState(), MediaPlayer::kPlaying);
    EXPECT_FALSE(strip->PlayButt()->IsArmed());
    EXPECT_EQ(Form().Desk().KeyLine(), 3);

    Key(QEvent::KeyPress, Qt::Key_F3);
    EXPECT_TRUE(strip->StopButt()->IsArmed());
    EXPECT_EQ(player->PlayState(), MediaPlayer::kPlaying);
    Key(QEvent::KeyRelease, Qt::Key_F3);
    EXPECT_EQ(player->PlayState(), MediaPlayer::kStopped);
    EXPECT_FALSE(strip->StopButt()->IsArmed());
}

// Ctrl+F2 and the AutoPilot's button switch pre-listen in the engine, and the buttons show it.
TEST_F(MainFormKeys, CtrlFunctionKeyAndCueButtonSwitchPreListen) {
    CueButton* button = Form().Cues()->Button(2);
    Key(QEvent::KeyPress, Qt::Key_F2, Qt::ControlModifier);
    Key(QEvent::KeyRelease, Qt::Key_F2, Qt::ControlModifier);
    EXPECT_TRUE(engine_->Cue(2));
    EXPECT_TRUE(button->IsLit());
    EXPECT_FALSE(engine_->Cue(1));
    EXPECT_EQ(engine_->Player(2)->PlayState(), MediaPlayer::kStopped);  // F2 alone would play
    Key(QEvent::KeyPress, Qt::Key_F2, Qt::ControlModifier);
    EXPECT_FALSE(engine_->Cue(2));
    EXPECT_FALSE(button->IsLit());

    CueButton* autoPilot = Form().Cues()->Button(0);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(4, 4), QPointF(4, 4), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(autoPilot, &press);
    EXPECT_TRUE(engine_->Cue(0));
    EXPECT_TRUE(autoPilot->IsLit());
}

// A cancelled dialog (no file chosen) leaves the line as it was.
TEST_F(MainFormKeys, ShiftFunctionKeyOpensTheDialogOnRelease) {
    Form();
    chosen_ = Fixture("song_8s_a.wav");
    Key(QEvent::KeyPress, Qt::Key_F4, Qt::ShiftModifier);
    EXPECT_TRUE(Form().Strip(4)->OpenW()->IsArmed());
    EXPECT_TRUE(askedTitles_.isEmpty());
    Key(QEvent::KeyRelease, Qt::Key_F4, Qt::ShiftModifier);
    EXPECT_FALSE(Form().Strip(4)->OpenW()->IsArmed());
    EXPECT_EQ(askedTitles_, QStringList{QStringLiteral("Open a file on line 4")});
    ASSERT_TRUE(WaitFor([this] { return engine_->Player(4)->OpenState() == MediaPlayer::kOpen; }));
    EXPECT_EQ(Form().Strip(4)->TitleLabel()->FullText(), QStringLiteral("song_8s_a"));
    EXPECT_EQ(engine_->Player(4)->PlayState(), MediaPlayer::kStopped);
    EXPECT_EQ(settings_.GetText(keys::FileKey(4)), Fixture("song_8s_a.wav"));

    chosen_.clear();
    Tap(Qt::Key_F4, Qt::ShiftModifier);
    EXPECT_EQ(askedTitles_.size(), 2);
    EXPECT_TRUE(messages_.isEmpty());
    EXPECT_EQ(engine_->Player(4)->FileName(), Fixture("song_8s_a.wav"));
    EXPECT_EQ(Form().Strip(4)->TitleLabel()->FullText(), QStringLiteral("song_8s_a"));
}

TEST_F(MainFormKeys, NumericPadFourFadesLeftOnlyWhileHeld) {
    CrossfaderModel& fader = Form().CrossfaderModel();
    Key(QEvent::KeyPress, Qt::Key_4, Qt::KeypadModifier);
    EXPECT_EQ(fader.Fading(), CrossfaderModel::Fade::Left);
    ASSERT_TRUE(WaitFor([&] { return fader.KnobPosition() < CrossfaderModel::kCentre; }));
    // The keyboard's auto-repeat sends release and press pairs while the key is held.
    Key(QEvent::KeyRelease, Qt::Key_4, Qt::KeypadModifier, true);
    Key(QEvent::KeyPress, Qt::Key_4, Qt::KeypadModifier, true);
    EXPECT_EQ(fader.Fading(), CrossfaderModel::Fade::Left);
    Key(QEvent::KeyRelease, Qt::Key_4, Qt::KeypadModifier);
    EXPECT_EQ(fader.Fading(), CrossfaderModel::Fade::Idle);
    const double stoppedAt = fader.KnobPosition();
    EXPECT_GT(stoppedAt, CrossfaderModel::kLeftEnd);
    EXPECT_LT(fader.RightLevel(), 100);

    Tap(Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(fader.KnobPosition(), CrossfaderModel::kCentre);
    // The main row's 4 is not the numeric pad's.
    Tap(Qt::Key_4);
    EXPECT_EQ(fader.Fading(), CrossfaderModel::Fade::Idle);
}

TEST_F(MainFormKeys, LosingFocusStopsOnlyAFadeHeldByItsKey) {
    CrossfaderModel& fader = Form().CrossfaderModel();
    const auto loseFocus = [this] {
        QFocusEvent event(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QCoreApplication::sendEvent(&Form(), &event);
    };
    fader.AutoFadeLeft();  // as a click on the label does
    loseFocus();
    EXPECT_EQ(fader.Fading(), CrossfaderModel::Fade::Left);

    Key(QEvent::KeyPress, Qt::Key_6, Qt::KeypadModifier);
    loseFocus();
    EXPECT_EQ(fader.Fading(), CrossfaderModel::Fade::Idle);
    // The release that arrives later, if any, finds nothing held.
    fader.AutoFadeRight();
    Key(QEvent::KeyRelease, Qt::Key_6, Qt::KeypadModifier);
    EXPECT_EQ(fader.Fading(), CrossfaderModel::Fade::Right);
}

// One step of the master slider, from the keyboard or the slider itself, sets the system
// volume once: the slider and the desk must not echo the value back to each other.
TEST_F(MainFormKeys, MasterStepWritesTheSystemVolumeOnce) {
    engine::testing::FakeMasterVolume master;
    Form().Desk().SetMasterVolume(&master);
    Key(QEvent::KeyPress, Qt::Key_8, Qt::KeypadModifier);
    EXPECT_EQ(master.writes.size(), 1u);
    Form().Strip(engine::Desk::kMasterLine)->Slider()->SetValue(40);
    EXPECT_EQ(master.writes.size(), 2u);
    EXPECT_EQ(Form().Desk().Slider(engine::Desk::kMasterLine), 40);
}

TEST_F(MainFormKeys, AutoPilotKeysPressAndReleaseTheirButtons) {
    Form();
    const struct {
        int key;
        appearance::PictureButton* button;
    } keys[] = {{Qt::Key_1, Form().AutoPilot()->APlay()},
                {Qt::Key_2, Form().AutoPilot()->ANext()},
                {Qt::Key_3, Form().AutoPilot()->AStop()}};
    for (const auto& k : keys) {
        int clicks = 0;
        QObject::connect(k.button, &appearance::PictureButton::Click, [&clicks] { ++clicks; });
        Key(QEvent::KeyPress, k.key);
        EXPECT_TRUE(k.button->IsArmed());
        Key(QEvent::KeyRelease, k.key);
        EXPECT_FALSE(k.button->IsArmed());
        EXPECT_EQ(clicks, 1);
    }
}

}  // namespace
}  // namespace corvane::app::testing
