// The main window as a whole: what it restores, the main tick's texts on its labels, tooltips
// and status help on the real controls, the pop-up menu, open errors, seeking on the position
// bar and the demo set.
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <vector>

#include "app/demo_set.h"
#include "app/desk_label.h"
#include "app/desk_panels.h"
#include "app/line_strip.h"
#include "app/meter_wiring.h"
#include "appearance/ui/butt.h"
#include "appearance/ui/minicrossfader.h"
#include "appearance/ui/minislider.h"
#include "appearance/ui/pan.h"
#include "appearance/ui/picturebutton.h"
#include "appearance/ui/position_bar.h"
#include "meters/meter_bank.h"
#include "meters/ui/level_meter.h"
#include "support/mainform_support.h"

namespace corvane::app::testing {
namespace {

using namespace Qt::StringLiterals;

using engine::FadeMode;

using MainFormWindow = MainFormTest;

TEST_F(MainFormWindow, RestoresTheDeskFromTheSettings) {
    settings_.SavePref(keys::SliderKey(3), 55);
    settings_.SavePref(keys::SliderKey(7), 12);
    settings_.SavePref(keys::LoopKey(2), true);
    settings_.SavePref(keys::FadeModeKey(4), 0);
    settings_.SavePref(keys::FadeModeKey(0), 2);
    settings_.SavePref(keys::FileKey(5), Fixture("song_8s_a.wav"));
    settings_.SavePref(keys::kStatHelp, 0);
    settings_.SavePref(keys::kPriority, 1);
    MainForm& form = Form();

    EXPECT_EQ(form.Strip(3)->Slider()->Value(), 55);
    EXPECT_EQ(form.Strip(7)->Slider()->Value(), 12);
    EXPECT_TRUE(form.Strip(2)->LoopButton()->IsLit());
    EXPECT_EQ(engine_->Player(2)->RepeatCount(), 999999);
    EXPECT_TRUE(form.Strip(4)->FadeButton(FadeMode::Left)->IsLit());
    EXPECT_TRUE(form.Strip(0)->FadeButton(FadeMode::Right)->IsLit());
    EXPECT_TRUE(form.Strip(1)->FadeButton(FadeMode::AlwaysOn)->IsLit());
    EXPECT_TRUE(WaitFor([&] { return form.Strip(5)->TitleLabel()->FullText() == u"song_8s_a"_s; }));
    EXPECT_EQ(engine_->Player(5)->PlayState(), audio::MediaPlayer::kStopped);
    EXPECT_TRUE(form.Status()->isHidden());
    // Status help is written even when hidden.
    Q_EMIT form.Strip(4)->FadeButton(FadeMode::Right)->MouseOver();
    EXPECT_EQ(form.Status()->text(), u"Sets line to Right side of Crossfader"_s);
    EXPECT_EQ(form.Timer1().interval(), MainForm::kHighPriorityTickMs);
    // Slider 3 at 55, Always On: step 18 of the volume law.
    EXPECT_EQ(engine_->Player(3)->Volume(), -1368);
}

TEST_F(MainFormWindow, TickShowsTimesOnTheDisplaysAndTheClock) {
    ASSERT_TRUE(Load(1, "sine1k_44100_stereo_s16.wav"));
    MainForm& form = Form();
    form.Timer1Tick();
    EXPECT_EQ(form.Strip(1)->Colon()->text(), u"- 0:02"_s);
    EXPECT_EQ(form.Strip(2)->Colon()->text(), u"0:00"_s);
    const QRegularExpression clock(u"^\\d{1,2}-\\d{1,2}-\\d{4}   \\d{1,2}:\\d{2} (AM|PM)$"_s);
    EXPECT_TRUE(clock.match(form.Strip(7)->Colon()->text()).hasMatch())
        << form.Strip(7)->Colon()->text().toStdString();
    EXPECT_FALSE(form.Strip(7)->Colon()->toolTip().isEmpty());

    // The status line follows a display under the pointer from tick to tick.
    Q_EMIT form.Strip(1)->Colon()->MouseOver();
    EXPECT_EQ(form.Status()->text(), u"- 0:02 Remaining, 0:00 Elapsed."_s);

    form.ToolsOff();
    form.Timer1Tick();
    EXPECT_TRUE(form.Strip(7)->Colon()->toolTip().isEmpty());
    EXPECT_FALSE(form.Strip(7)->Colon()->text().isEmpty());
}

// The meters sleep until a line plays, then show that line's level and the master's two sides.
TEST_F(MainFormWindow, MetersWakeOnPlayAndShowTheLineAndTheMaster) {
    ASSERT_TRUE(Load(1, "sine1k_44100_stereo_s16.wav"));
    MeterWiring& meters = Form().Meters();
    meters::MeterBank& bank = meters.Bank();
    EXPECT_FALSE(bank.Running());
    Form().Desk().Play(1);
    EXPECT_TRUE(bank.Running());
    std::vector<float> out(2 * 4410);
    engine_->RenderOffline(out.data(), 4410);
    bank.Step(34);
    const int master = meters.Meter(engine::Desk::kMasterLine)->Meter();
    EXPECT_GT(bank.Channel(meters.Meter(1)->Meter(), 0).LevelDb(), meters::kFloorDb);
    EXPECT_TRUE(bank.Channel(meters.Meter(2)->Meter(), 0).Resting());
    ASSERT_EQ(bank.Channels(master), 2);
    for (int side = 0; side < 2; ++side)
        EXPECT_GT(bank.Channel(master, side).LevelDb(), meters::kFloorDb) << side;
    EXPECT_EQ(meters.Meter(1)->parentWidget(), Form().Strip(1));
}

TEST_F(MainFormWindow, ToolTipsFollowTheSettingOnTheRealControls) {
    settings_.SavePref(keys::kToolTips, false);
    MainForm& form = Form();
    const auto everyTip = [&form] {
        QStringList tips;
        for (QWidget* widget : form.findChildren<QWidget*>())
            if (!widget->toolTip().isEmpty()) tips.append(widget->toolTip());
        return tips;
    };
    EXPECT_EQ(everyTip(), QStringList());

    form.ToolsOn();
    LineStrip* line3 = form.Strip(3);
    EXPECT_EQ(line3->OpenW()->toolTip(), u"Open a sound file for play"_s);
    EXPECT_EQ(line3->PlayButt()->toolTip(), u"Play"_s);
    EXPECT_EQ(line3->Slider()->toolTip(), u"Sets Volume on line."_s);
    EXPECT_EQ(line3->PanKnob()->toolTip(), u"Pans the line from Right to Left."_s);
    EXPECT_EQ(line3->FadeButton(FadeMode::AlwaysOn)->toolTip(),
              u"When Green, sets the line to Always On, regardless of the Crossfader."_s);
    EXPECT_EQ(form.Strip(0)->Mute()->toolTip(),
              u"Mutes the line while holding the Left Mouse Button. Right Click to keep muted."_s);
    EXPECT_TRUE(form.Strip(7)->Slider()->toolTip().isEmpty());
    EXPECT_TRUE(form.Strip(7)->Mute()->toolTip().isEmpty());
    EXPECT_EQ(form.CrossfaderArea()->Crossfader()->toolTip(),
              u"Crossfades the lines set to Left and lines set to Right."_s);
    EXPECT_EQ(form.Buttons()->Button(ButtonRow::StopAll)->toolTip(), u"Stops all players"_s);
    EXPECT_EQ(form.Buttons()->Button(ButtonRow::Butt1)->toolTip(), u"About CVN 1.40"_s);
    EXPECT_EQ(form.AutoPilot()->AStop()->toolTip(),
              u"Click Once to stop after Current Song, twice to stop Now."_s);
    // Lines 0 to 6: slider, mute, pan, open, loop, three fade buttons, position bar, and play
    // and stop on 1 to 6; the crossfader and its two captions; 4 AutoPilot controls; 8
    // buttons; the clock and the record button; the cue buttons of lines 0 to 6.
    EXPECT_EQ(everyTip().size(), 7 * 9 + 6 * 2 + 3 + 4 + 8 + 1 + 1 + 7);

    form.ToolsOff();
    EXPECT_EQ(everyTip(), QStringList());
}

TEST_F(MainFormWindow, MenuHoldsItsItemsInOrder) {
    QStringList items;
    for (QAction* action : Form().RCMenu()->actions())
        items.append(action->isSeparator() ? u"-"_s : action->text());
    EXPECT_EQ(items.join(QLatin1Char('|')),
              u"Mic Level|-|Help|About|-|Options|Logging|-|Playlist|-|Exit"_s);
}

// A file the real decoder cannot read empties the line, says why and is not remembered.
TEST_F(MainFormWindow, AFileTheDecoderCannotReadIsReported) {
    ASSERT_TRUE(Load(2, "song_8s_a.wav"));
    chosen_ = dir_.filePath(u"broken.mp3"_s);
    QFile broken(chosen_);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly) && broken.write(QByteArray(4096, 'x')) == 4096);
    broken.close();
    Form().FileOpen(2);
    ASSERT_TRUE(WaitFor([this] { return !messages_.isEmpty(); }));
    EXPECT_EQ(messages_, QStringList{u"Error loading file."_s});
    EXPECT_TRUE(Form().Status()->text().startsWith(u"Error loading file. broken.mp3: "_s))
        << Form().Status()->text().toStdString();
    EXPECT_EQ(Form().Strip(2)->TitleLabel()->FullText(), u"None"_s);
    EXPECT_EQ(settings_.GetText(keys::FileKey(2)), QString());
}

TEST_F(MainFormWindow, MuteLabelMutesWhileHeldAndLatchesWithTheRightButton) {
    ASSERT_TRUE(Load(4, "song_8s_b.wav"));
    DeskLabel* mute = Form().Strip(4)->Mute();
    const int before = engine_->Player(4)->Volume();
    Q_EMIT mute->Pressed(Qt::LeftButton);
    EXPECT_EQ(engine_->Player(4)->Volume(), -10000);
    EXPECT_EQ(mute->TextColor(), QColor(255, 0, 0));
    Q_EMIT mute->Released(Qt::LeftButton);
    EXPECT_EQ(engine_->Player(4)->Volume(), before);
    Q_EMIT mute->Pressed(Qt::RightButton);
    Q_EMIT mute->Released(Qt::RightButton);
    EXPECT_EQ(engine_->Player(4)->Volume(), -10000);
    EXPECT_EQ(mute->TextColor(), QColor(255, 0, 0));
    Q_EMIT mute->Pressed(Qt::LeftButton);
    Q_EMIT mute->Released(Qt::LeftButton);
    EXPECT_EQ(engine_->Player(4)->Volume(), before);
    EXPECT_EQ(mute->TextColor(), QColor(224, 224, 224));
}

TEST_F(MainFormTest, PositionBarShowsTheOverviewSeeksOnAClickAndPausesOnARightClick) {
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    ASSERT_TRUE(Load(2, "sine1k_44100_stereo_s16.wav"));
    appearance::PositionBar* bar = Form().Strip(2)->Bar();
    EXPECT_TRUE(WaitFor([bar] { return bar->HasPeaks(); }));
    qunsetenv("XDG_CACHE_HOME");

    audio::MediaPlayer* player = engine_->Player(2);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() * 3 / 4, bar->height() / 2));
    EXPECT_NEAR(player->Position(), 1.5, 0.05);
    EXPECT_NEAR(bar->Progress(), 0.75, 0.03);

    Form().Desk().Play(2);
    QTest::mouseClick(bar, Qt::RightButton, {}, QPoint(2, 2));
    EXPECT_EQ(player->PlayState(), audio::MediaPlayer::kPaused);
    QTest::mouseClick(bar, Qt::RightButton, {}, QPoint(2, 2));
    EXPECT_EQ(player->PlayState(), audio::MediaPlayer::kPlaying);
}

TEST(DemoSet, FillsOnlyWhatTheSettingsLack) {
    TempSettings temp;
    const QTemporaryDir& dir = temp.dir_;
    Settings& settings = temp.settings_;
    QDir(dir.path()).mkdir(u"Demo"_s);
    QFile list(dir.filePath(u"Demo/Demo.m3u"_s));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    for (int i = 1; i <= 7; ++i) list.write(u"piece%1.mp3\n"_s.arg(i).toUtf8());
    list.close();
    settings.SavePref(keys::FileKey(2), u"/music/mine.mp3"_s);

    EXPECT_EQ(OfferDemoSet(settings, dir.filePath(u"Demo"_s)), 6);
    const QString demo = dir.filePath(u"Demo/"_s);
    EXPECT_EQ(settings.GetText(keys::FileKey(1)), demo + u"piece1.mp3"_s);
    EXPECT_EQ(settings.GetText(keys::FileKey(2)), u"/music/mine.mp3"_s);
    EXPECT_EQ(settings.GetText(keys::FileKey(6)), demo + u"piece6.mp3"_s);
    EXPECT_EQ(settings.GetText(keys::kPlayList), demo + u"Demo.m3u"_s);
    EXPECT_EQ(OfferDemoSet(settings, dir.filePath(u"Demo"_s)), 0);
    EXPECT_EQ(OfferDemoSet(settings, dir.filePath(u"Missing"_s)), 0);
}

}  // namespace
}  // namespace corvane::app::testing
