#include <QFile>

#include "support/desk_test_fixture.h"

namespace corvane::engine::testing {
namespace {

QString Touch(const QTemporaryDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    return path;
}

TEST_F(DeskTest, PlayRestartsStopRewindsAndToggleFollowsThePlayState) {
    line_[4].position = 42.0;
    desk_->Play(4);
    EXPECT_EQ(line_[4].TakeLog(), Strings({"position 0", "play"}));
    desk_->ToggleLine(4);
    EXPECT_EQ(line_[4].TakeLog(), Strings({"stop", "position 0"}));
    desk_->PerformKey({DeskAction::LineToggle, 4});
    EXPECT_EQ(line_[4].playState, LinePlayer::kPlaying);
}

TEST_F(DeskTest, StopAllStopsPlayingLinesAndTheAutoPilot) {
    int autoPilotStops = 0;
    QObject::connect(desk_.get(), &Desk::AutoPilotStopped, [&] { ++autoPilotStops; });
    desk_->Play(2);
    desk_->Play(5);
    ClearLogs();
    desk_->PerformKey({DeskAction::StopAll});
    EXPECT_EQ(line_[2].TakeLog(), Strings({"stop", "position 0"}));
    EXPECT_EQ(line_[5].TakeLog(), Strings({"stop", "position 0"}));
    EXPECT_TRUE(line_[3].TakeLog().isEmpty());
    EXPECT_EQ(ap_[0].TakeLog(), Strings({"stop"}));
    EXPECT_EQ(ap_[1].TakeLog(), Strings({"stop"}));
    EXPECT_EQ(autoPilotStops, 1);
}

TEST_F(DeskTest, LoopSetsRepeatCountOrApLoopAndIsSaved) {
    bool apLoop = false;
    QObject::connect(desk_.get(), &Desk::ApLoopChanged, [&](bool on) { apLoop = on; });
    desk_->SetLoop(3, true);
    EXPECT_EQ(line_[3].repeatCount, LinePlayer::kLoopForever);
    desk_->SetLoop(0, true);
    EXPECT_TRUE(apLoop);
    EXPECT_TRUE(settings_.GetBool(QStringLiteral("Loop 0")));
    desk_->SetLoop(3, false);
    EXPECT_EQ(line_[3].repeatCount, 1);
    EXPECT_FALSE(settings_.GetBool(QStringLiteral("Loop 3")));
}

TEST_F(DeskTest, FileOpenAcceptsKnownEndingsOnlyAndKeepsTheLineOtherwise) {
    const QString upper = Touch(dir_, QStringLiteral("song.MP3"));
    EXPECT_TRUE(desk_->FileOpen(2, upper));
    EXPECT_EQ(line_[2].TakeLog(),
              QStringList({QStringLiteral("autostart 0"), QStringLiteral("open ") + upper}));
    EXPECT_EQ(settings_.GetText(QStringLiteral("Path")), dir_.path() + QLatin1Char('/'));

    EXPECT_FALSE(desk_->FileOpen(2, Touch(dir_, QStringLiteral("song.aup"))));
    EXPECT_FALSE(desk_->FileOpen(2, dir_.filePath(QStringLiteral("missing.wav"))));
    EXPECT_FALSE(desk_->FileOpen(2, QString()));
    // A stream fails like a missing file and says why.
    EXPECT_FALSE(desk_->FileOpen(2, QStringLiteral("http://radio.example/live.mp3")));
    EXPECT_EQ(desk_->Status(),
              QStringLiteral("Network streams are not played: http://radio.example/live.mp3"));
    EXPECT_TRUE(line_[2].TakeLog().isEmpty());
    EXPECT_EQ(messages_, QStringList(4, QStringLiteral("Error loading file.")));
}

TEST_F(DeskTest, PlaylistOpenOnLineZero) {
    int loaded = 0;
    QObject::connect(desk_.get(), &Desk::PlaylistLoaded, [&] { ++loaded; });
    const QString path = Touch(dir_, QStringLiteral("party.cvn"));
    EXPECT_TRUE(desk_->FileOpen(0, path));
    EXPECT_EQ(loadedPlaylist_, path);
    EXPECT_EQ(desk_->Title(0), QStringLiteral("party"));
    EXPECT_EQ(settings_.GetText(QStringLiteral("PlayList")), path);
    EXPECT_EQ(settings_.GetText(QStringLiteral("ListPath")), dir_.path() + QLatin1Char('/'));
    EXPECT_EQ(loaded, 1);

    playlistLoads_ = false;
    EXPECT_FALSE(desk_->FileOpen(0, Touch(dir_, QStringLiteral("bad.pls"))));
    EXPECT_EQ(messages_, QStringList{QStringLiteral("Couldn't load the playlist.")});
    EXPECT_EQ(desk_->Title(0), QStringLiteral("party"));
    EXPECT_EQ(settings_.GetText(QStringLiteral("PlayList")), path);
}

TEST_F(DeskTest, PlayerNotificationsSetTitleFileAndHighlight) {
    QStringList logged;
    QObject::connect(desk_.get(), &Desk::SongStarted,
                     [&](const QString& path) { logged.append(path); });
    line_[1].fileName = QStringLiteral("/music/My Song.v2.mp3");
    desk_->PlayerOpenStateChanged(1, 0, 1);
    EXPECT_EQ(desk_->Title(1), QStringLiteral("My Song.v2"));
    desk_->PlayerOpenStateChanged(1, 1, 6);
    EXPECT_EQ(settings_.GetText(QStringLiteral("File 1")), line_[1].fileName);

    line_[1].fileName = QStringLiteral("/music/a.wav");
    desk_->PlayerPlayStateChanged(1, 0, 2);
    EXPECT_TRUE(desk_->IsHighlighted(1));
    // A pause takes the highlight away; resuming brings it back and logs nothing new.
    desk_->PlayerPlayStateChanged(1, LinePlayer::kPlaying, LinePlayer::kPaused);
    EXPECT_FALSE(desk_->IsHighlighted(1));
    desk_->PlayerPlayStateChanged(1, LinePlayer::kPaused, LinePlayer::kPlaying);
    EXPECT_TRUE(desk_->IsHighlighted(1));
    desk_->PlayerPlayStateChanged(1, 2, 0);
    EXPECT_FALSE(desk_->IsHighlighted(1));
    EXPECT_EQ(logged, QStringList{QStringLiteral("/music/a.wav")});  // the log applies "LogAll"
}

// A file the decoder refuses empties the line and is not remembered: the next start must not
// try it again. The user who chose it is told, with the reason on the status line; a
// remembered file that fails at start-up only says so on the status line.
TEST_F(DeskTest, FailedOpenIsReportedAndNotRemembered) {
    const QString bad = Touch(dir_, QStringLiteral("broken.mp3"));
    for (const bool chosen : {true, false}) {
        SCOPED_TRACE(chosen);
        messages_.clear();
        settings_.SavePref(QStringLiteral("File 2"), bad);
        if (chosen) {
            ASSERT_TRUE(desk_->FileOpen(2, bad));
        } else {
            desk_->OpenRememberedFile(2, false);
        }
        desk_->PlayerOpenStateChanged(2, 0, 1);
        line_[2].fileName.clear();
        line_[2].lastError = QStringLiteral("Invalid data found when processing input");
        desk_->PlayerOpenStateChanged(2, 1, 0);
        EXPECT_EQ(desk_->Title(2), QStringLiteral("None"));
        EXPECT_EQ(settings_.GetText(QStringLiteral("File 2")), QString());
        EXPECT_EQ(desk_->Status(), QStringLiteral("Error loading file. broken.mp3: Invalid data "
                                                  "found when processing input"));
        EXPECT_EQ(messages_,
                  chosen ? QStringList{QStringLiteral("Error loading file.")} : QStringList{});
    }
}

TEST_F(DeskTest, AutoStopAfterFadeNeedsAsofAndResetNeedsItToo) {
    int autoPilotStops = 0;
    QObject::connect(desk_.get(), &Desk::AutoPilotStopped, [&] { ++autoPilotStops; });
    desk_->SelectFadeMode(1, FadeMode::Left);
    desk_->SelectFadeMode(2, FadeMode::Right);
    desk_->SelectFadeMode(0, FadeMode::Left);
    desk_->Play(1);
    desk_->Play(2);

    fader_.AutoFadeRight();  // "ASOF" off: nothing stops, no reset either
    while (timers_.Right().Fire()) {
    }
    EXPECT_EQ(line_[1].playState, LinePlayer::kPlaying);
    EXPECT_EQ(fader_.KnobPosition(), 2280);

    desk_->SetAutoStop(true);
    fader_.DragTo(1140);
    fader_.DragTo(2280);  // a manual drag to the end stops nothing
    EXPECT_EQ(line_[1].playState, LinePlayer::kPlaying);
    fader_.DragTo(1140);
    fader_.AutoFadeRight();
    while (timers_.Right().Fire()) {
    }
    EXPECT_EQ(line_[1].playState, LinePlayer::kStopped);
    EXPECT_EQ(line_[1].position, 0.0);
    EXPECT_EQ(line_[2].playState, LinePlayer::kPlaying);
    EXPECT_EQ(autoPilotStops, 1);
    EXPECT_EQ(fader_.KnobPosition(), 1140);  // "AutoReset" defaults on
    EXPECT_EQ(line_[1].volume, -332);        // slider 80, full level
}

}  // namespace
}  // namespace corvane::engine::testing
