// The AutoPilot on the real window over the offline engine: its labels and colours while songs
// play, SmartRandom, the desk's ways of stopping it, and every started song reaching the log.
#include <QDir>
#include <QMouseEvent>
#include <QTest>

#include "app/desk_label.h"
#include "app/desk_panels.h"
#include "app/line_strip.h"
#include "appearance/ui/butt.h"
#include "appearance/ui/picturebutton.h"
#include "autopilot/autopilot.h"
#include "engine/desk.h"
#include "settings/ini.h"
#include "songlog/songlog.h"
#include "window_support.h"

namespace corvane::app::testing {
namespace {

using audio::MediaPlayer;

class AutoPilotWindow : public AutoPilotWindowTest {
protected:
    bool ApPlaying() {
        return engine_->AP(0)->PlayState() == MediaPlayer::kPlaying ||
               engine_->AP(1)->PlayState() == MediaPlayer::kPlaying;
    }
    bool WaitForCurrentSong(const char* title) {
        return WaitFor(
            [&] { return Form().AutoPilot()->CurrentSong()->FullText() == QLatin1String(title); });
    }
    QColor Hilite() const { return ColorScheme::FromSettings(settings_).hilite; }
    QColor Text() const { return ColorScheme::FromSettings(settings_).text; }
};

void DragTo(QWidget* widget, QPoint at) {
    QMouseEvent event(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

TEST_F(AutoPilotWindow, LabelsAndColoursFollowTheSongs) {
    MainForm& form = FormWithList();
    AutoPilotPanel* panel = form.AutoPilot();
    EXPECT_EQ(panel->NextSong()->FullText(), QStringLiteral("song_8s_a"));
    EXPECT_TRUE(panel->Fading()->isHidden());

    Tap(Qt::Key_1);
    ASSERT_TRUE(WaitForCurrentSong("song_8s_a"));
    EXPECT_EQ(panel->NextSong()->FullText(), QStringLiteral("song_8s_b"));
    EXPECT_EQ(form.Strip(0)->LineLabel()->TextColor(), Hilite());
    EXPECT_EQ(form.Strip(0)->TitleLabel()->TextColor(), Hilite());

    QTest::mouseMove(panel->CSLabel());
    DragTo(panel->CSLabel(), QPoint(2, 2));
    EXPECT_EQ(form.Desk().Status(), QStringLiteral("Current Song: song_8s_a"));
    DragTo(panel->NextSong(), QPoint(2, 2));
    EXPECT_EQ(form.Desk().Status(), QStringLiteral("Next Song: song_8s_b"));

    // ANext (key 2) skips an entry of the list.
    Tap(Qt::Key_2);
    EXPECT_EQ(panel->NextSong()->FullText(), QStringLiteral("song_8s_c"));

    // Line 0's time display follows the AutoPilot's player.
    form.Timer1Tick();
    EXPECT_NE(form.Strip(0)->Colon()->text(), QStringLiteral("0:00"));

    // AStop (key 3) once: the song plays on, nothing follows; twice: silence at once.
    Tap(Qt::Key_3);
    EXPECT_FALSE(form.Pilot().AutoPilotOn());
    EXPECT_TRUE(ApPlaying());
    EXPECT_EQ(panel->NSLabel()->text(), QStringLiteral("Next Song (Stopped):"));
    Tap(Qt::Key_3);
    EXPECT_TRUE(WaitFor([this] { return !ApPlaying(); }));
    EXPECT_TRUE(WaitForCurrentSong("None."));
    EXPECT_EQ(form.Strip(0)->LineLabel()->TextColor(), Text());
    EXPECT_EQ(panel->CurrentSong()->TextColor(), Text());
}

TEST_F(AutoPilotWindow, DeskStopsReachTheAutoPilot) {
    settings_.SavePref(keys::kAsof, true);
    MainForm& form = FormWithList();
    Tap(Qt::Key_1);
    ASSERT_TRUE(WaitFor([this] { return ApPlaying(); }));
    // Stop All (F12) stops the AutoPilot's players and switches it off.
    Tap(Qt::Key_F12);
    EXPECT_FALSE(form.Pilot().AutoPilotOn());
    EXPECT_TRUE(WaitFor([this] { return !ApPlaying(); }));
    EXPECT_TRUE(WaitForCurrentSong("None."));

    // With "ASOF", an auto-fade away from line 0 stops it as two AStop clicks do.
    form.Desk().SelectFadeMode(0, engine::FadeMode::Left);
    Tap(Qt::Key_1);
    ASSERT_TRUE(WaitForCurrentSong("song_8s_b"));
    form.Desk().FadeDone(false);
    EXPECT_FALSE(form.Pilot().AutoPilotOn());
    EXPECT_EQ(form.AutoPilot()->NSLabel()->text(), QStringLiteral("Next Song (Stopped):"));
    EXPECT_TRUE(WaitForCurrentSong("None."));
    EXPECT_FALSE(ApPlaying());

    // Line 0's loop button is the AutoPilot's ApLoop.
    EXPECT_FALSE(form.Pilot().ApLoop());
    QTest::mousePress(form.Strip(0)->LoopButton(), Qt::LeftButton);
    EXPECT_TRUE(form.Pilot().ApLoop());
}

TEST_F(AutoPilotWindow, PlaylistOpenedOnLineZeroShowsItsFirstSongNext) {
    // The open dialog starts in the current list's folder, wherever that list came from.
    MainForm& form = Form();
    EXPECT_EQ(form.AutoPilot()->NextSong()->FullText(), QString());
    const QString elsewhere = dir_.filePath(QStringLiteral("elsewhere"));
    ASSERT_TRUE(QDir().mkpath(elsewhere));
    const QString dropped = elsewhere + QStringLiteral("/Dropped.m3u");
    QFile::copy(WriteList(QStringLiteral("Dropped.m3u"), ThreeSongs()), dropped);
    ASSERT_TRUE(form.Pilot().DropPlaylist(dropped));
    form.FileOpen(0);  // cancelled
    ASSERT_EQ(askedFolders_.size(), 1);
    EXPECT_EQ(QDir(askedFolders_[0]), QDir(elsewhere));

    chosen_ = WriteList(QStringLiteral("Open.m3u"), {Fixture("song_8s_b.wav")});
    form.FileOpen(0);
    EXPECT_EQ(form.AutoPilot()->NextSong()->FullText(), QStringLiteral("song_8s_b"));
    EXPECT_EQ(form.Strip(0)->TitleLabel()->FullText(), QStringLiteral("Open"));
}

TEST_F(AutoPilotWindow, ShuffleButtonTogglesSmartRandomAndItsColourWhichTheNextStartShows) {
    appearance::Butt* shuffle = Form().AutoPilot()->ShuffButt();
    EXPECT_EQ(shuffle->TextColor(), Text());
    QTest::mouseClick(shuffle, Qt::LeftButton);
    EXPECT_TRUE(Form().Pilot().RandomMode());
    EXPECT_EQ(shuffle->TextColor(), Hilite());
    form_.reset();
    shuffle = Form().AutoPilot()->ShuffButt();
    EXPECT_EQ(shuffle->TextColor(), Hilite());
    QTest::mouseClick(shuffle, Qt::LeftButton);
    EXPECT_FALSE(settings_.GetBool(keys::kRandom));
    EXPECT_EQ(shuffle->TextColor(), Text());
}

// SmartRandom is seeded when the window is made: each start draws its own order.
TEST_F(AutoPilotWindow, EachStartDrawsItsOwnRandomOrder) {
    QStringList songs;
    for (int i = 0; i < 12; ++i) {
        songs.append(dir_.filePath(QStringLiteral("s%1.wav").arg(i)));
        QFile(songs.last()).open(QIODevice::WriteOnly);
    }
    settings_.SavePref(keys::kPlayList, WriteList(QStringLiteral("Many.m3u"), songs));
    settings_.SavePref(keys::kRandom, true);
    const auto draws = [this] {
        QStringList picks;
        for (int i = 0; i < 5; ++i) {
            picks.append(Form().Pilot().NextSongPath());
            Form().Pilot().ANext();
        }
        form_.reset();
        return picks;
    };
    const QStringList first = draws();
    EXPECT_NE(draws(), first);
}

class AutoPilotWindowLog : public AutoPilotWindow {
protected:
    void SetUp() override {
        AutoPilotWindow::SetUp();
        logFile_ = dir_.filePath(QStringLiteral("songs.log"));
        settings_.SavePref(keys::kLogging, true);
        settings_.SavePref(keys::kLogPath, false);
        settings_.SavePref(keys::kLogFile, logFile_);
    }
    QString LoggedFile(int n) {
        return ini_.ReadIni(QStringLiteral("Songs"), QStringLiteral("%1 File").arg(n), logFile_);
    }
    int Entries() {
        return ini_.ReadIni(QStringLiteral("Total"), QStringLiteral("Entries"), logFile_).toInt();
    }
    // Starts a song on line 3 and the AutoPilot's first (APlay clicked), in that order, and lets
    // the log write.
    void StartBoth() {
        ASSERT_TRUE(Load(3, "song_8s_c.wav"));
        MainForm& form = Form();
        form.Desk().Play(3);
        ASSERT_TRUE(
            WaitFor([this] { return engine_->Player(3)->PlayState() == MediaPlayer::kPlaying; }));
        QTest::mouseClick(form.AutoPilot()->APlay(), Qt::LeftButton);
        ASSERT_TRUE(WaitForCurrentSong("song_8s_a"));
        ASSERT_TRUE(WaitFor([&] { return !form.Log().TimerActive(); }, 3000));
    }

    QString logFile_;
};

TEST_F(AutoPilotWindowLog, LineAndAutoPilotSongsAreBothLogged) {
    FormWithList();
    StartBoth();
    ASSERT_EQ(Entries(), 2);
    EXPECT_EQ(LoggedFile(1), QStringLiteral("song_8s_c"));
    EXPECT_EQ(LoggedFile(2), QStringLiteral("song_8s_a"));
}

TEST_F(AutoPilotWindowLog, WithoutLogAllOnlyTheAutoPilotIsLogged) {
    settings_.SavePref(keys::kLogAll, false);
    FormWithList();
    StartBoth();
    ASSERT_EQ(Entries(), 1);
    EXPECT_EQ(LoggedFile(1), QStringLiteral("song_8s_a"));
}

TEST_F(AutoPilotWindowLog, UnwritableLogSaysSoAndPlaybackGoesOn) {
    // A log "inside" a plain file can never be written.
    QFile plain(dir_.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    settings_.SavePref(keys::kLogFile, plain.fileName() + QStringLiteral("/songs.log"));
    MainForm& form = FormWithList();
    StartBoth();
    EXPECT_FALSE(form.Desk().Status().isEmpty());
    EXPECT_TRUE(ApPlaying());
    EXPECT_EQ(engine_->Player(3)->PlayState(), MediaPlayer::kPlaying);
}

}  // namespace
}  // namespace corvane::app::testing
