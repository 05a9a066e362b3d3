#include <QSignalSpy>

#include "autopilot_fakes.h"

namespace corvane::autopilot::testing {
namespace {

// Songs longer than twice FadeSeconds (3) overlap by it, started by the player on schedule
// between ticks: exactly 7 s apart.
TEST_F(AutoPilotTest, InOrderWithApLoopGoesRoundOverlappingByFadeSeconds) {
    Make(true, "a b c", 10.0);
    autoPilot_->APlay();
    EXPECT_TRUE(autoPilot_->FirstPass());
    Run(45.0);
    EXPECT_EQ(Titles().mid(0, 6), Names("a b c a b c"));
    EXPECT_FALSE(autoPilot_->FirstPass());
    EXPECT_TRUE(autoPilot_->AutoPilotOn());
    EXPECT_EQ(overlaps_, startTimes_.size() - 1);
    for (qsizetype i = 1; i < startTimes_.size(); ++i)
        EXPECT_NEAR(startTimes_[i] - startTimes_[i - 1], 7.0, 1e-9);
}

TEST_F(AutoPilotTest, InOrderWithoutApLoopPlaysTheLastEntryThenStops) {
    Make(false, "a b c", 10.0);
    autoPilot_->ChooseNextSong();
    autoPilot_->APlay();
    Run(60.0);
    EXPECT_EQ(Titles(), Names("a b c"));
    EXPECT_FALSE(autoPilot_->AutoPilotOn());
    EXPECT_EQ(autoPilot_->CurrentSongText(), QLatin1String(AutoPilot::kNone));
    EXPECT_EQ(autoPilot_->NextLabelText(), QLatin1String(AutoPilot::kNextSongStopped));

    // APlay starts the list again from the top; ANext while the last entry is next skips it
    // and ends the list after the current song.
    autoPilot_->APlay();
    Run(8.0);  // b plays, c is next
    ASSERT_EQ(autoPilot_->NextSongText(), QStringLiteral("c"));
    autoPilot_->ANext();
    EXPECT_FALSE(autoPilot_->AutoPilotOn());
    EXPECT_EQ(autoPilot_->NextLabelText(), QLatin1String(AutoPilot::kNextSongStopped));
    Run(60.0);
    EXPECT_EQ(Titles(), Names("a b c a b"));
}

TEST_F(AutoPilotTest, SongsOfFiveSecondsWithFadeThreeDoNotOverlap) {
    Make(true, "a b", 5.0);
    autoPilot_->APlay();
    Run(30.0);
    ASSERT_GE(started_.size(), 4);
    EXPECT_EQ(overlaps_, 0);
    for (qsizetype i = 1; i < startTimes_.size(); ++i)
        EXPECT_GE(startTimes_[i] - startTimes_[i - 1], 5.0 - 1e-9);
}

TEST_F(AutoPilotTest, SmartRandomKeepsTheNoRepeatWindowAndSmallListsRepeat) {
    settings_.SavePref(keys::kRandom, true);
    Make(true, "a b c d e f g h i j k l", 8.0);
    autoPilot_->APlay();
    Run(1500.0);
    ASSERT_GT(started_.size(), 250);
    for (qsizetype i = 0; i < started_.size(); ++i) {
        for (qsizetype back = 1; back <= 9 && back <= i; ++back)
            ASSERT_NE(started_[i], started_[i - back]) << i << " " << back;
    }
    // Every song gets its turn: the draw is uniform over the whole list.
    for (const QString& name : Names("a b c d e f g h i j k l"))
        EXPECT_GT(started_.count(Song(name)), 10) << qPrintable(name);

    // 11 entries < NoRep + 2: the window does not apply, repeats come soon.
    started_.clear();
    SetList(Names("a b c d e f g h i j k"), 8.0);
    Run(800.0);
    bool repeatedSoon = false;
    for (qsizetype i = 1; i < started_.size(); ++i)
        repeatedSoon =
            repeatedSoon || started_.mid(std::max<qsizetype>(0, i - 3), 3).contains(started_[i]);
    EXPECT_TRUE(repeatedSoon);
}

TEST_F(AutoPilotTest, HundredBadPicksStopWithTheMessageOnce) {
    Make();
    playlist_.SongList = {QStringLiteral("/gone/1.mp3"), QStringLiteral("/gone/2.mp3"),
                          QStringLiteral("/gone/3.mp3")};
    autoPilot_->APlay();
    EXPECT_EQ(messages_, QStringList{AutoPilot::TooManyBadFilenames()});
    EXPECT_FALSE(autoPilot_->AutoPilotOn());
    EXPECT_EQ(autoPilot_->NextIndex(), 1);
    Run(5.0);
    EXPECT_EQ(messages_.size(), 1);

    // 120 missing entries before good ones: the limit is reached first; 99 are passed over.
    for (const int missing : {120, 99}) {
        messages_.clear();
        SetList(Names("x y z"), 10.0);
        QStringList list;
        for (int i = 0; i < missing; ++i) list.append(QStringLiteral("/gone/%1.wav").arg(i));
        playlist_.SongList = list + playlist_.SongList;
        autoPilot_->ChooseNextSong();
        EXPECT_EQ(messages_.size(), missing > 100 ? 1 : 0);
        if (missing < 100) {
            EXPECT_EQ(autoPilot_->NextSongPath(), Song("x"));
        }
    }
}

TEST_F(AutoPilotTest, AStopOnceFinishesTheSongTwiceStopsNow) {
    Make(true, "a b c", 20.0);
    autoPilot_->APlay();
    Run(16.0);  // b is loaded ahead, scheduled to overlap
    autoPilot_->AStop();
    EXPECT_FALSE(autoPilot_->AutoPilotOn());
    Run(10.0);
    EXPECT_EQ(Titles(), Names("a"));
    EXPECT_FALSE(ap_[0].Sounding() || ap_[1].Sounding());  // the schedule was cancelled
    EXPECT_EQ(autoPilot_->CurrentSongText(), QLatin1String(AutoPilot::kNone));

    autoPilot_->APlay();
    Run(3.0);
    EXPECT_EQ(Titles(), Names("a b"));
    autoPilot_->AStop();
    autoPilot_->AStop();
    EXPECT_EQ(ap_[0].PlayState() + ap_[1].PlayState(), 0);
    EXPECT_EQ(ap_[autoPilot_->CurrentAp()].Position(), 0.0);
    EXPECT_EQ(autoPilot_->CurrentSongText(), QLatin1String(AutoPilot::kNone));
    Run(30.0);
    EXPECT_EQ(Titles(), Names("a b"));
}

// The editor changes SongList under the AutoPilot; a load replaces it.
TEST_F(AutoPilotTest, ANextSongEditedOutOfTheListIsChosenAgain) {
    Make(false, "a b c d", 10.0);
    QSignalSpy status(autoPilot_.get(), &AutoPilot::StatusRequested);
    autoPilot_->APlay();
    Run(1.0);
    ASSERT_EQ(autoPilot_->NextSongText(), QStringLiteral("b"));
    playlist_.SongList.removeAt(1);
    Run(kTick);
    EXPECT_EQ(autoPilot_->NextSongText(), QStringLiteral("c"));  // the entry in its place
    playlist_.SongList.removeLast();  // c is now the last entry: the list ends with it
    Run(20.0);
    EXPECT_EQ(Titles(), Names("a c"));
    EXPECT_FALSE(autoPilot_->AutoPilotOn());

    // Emptied: nothing follows the current song, and the user is told.
    autoPilot_->APlay();
    Run(1.0);
    playlist_.SongList.clear();
    Run(kTick);
    EXPECT_EQ(autoPilot_->NextSongText(), QLatin1String(AutoPilot::kNone));
    EXPECT_FALSE(autoPilot_->AutoPilotOn());
    EXPECT_EQ(status.size(), 1);
    Run(30.0);
    EXPECT_EQ(Titles(), Names("a c a"));
}

TEST_F(AutoPilotTest, ANextSkipsAnEntryAndReplacesTheSongLoadedAhead) {
    Make(true, "a b c d", 10.0);
    autoPilot_->APlay();
    Run(3.0);
    EXPECT_EQ(autoPilot_->NextSongText(), QStringLiteral("b"));
    autoPilot_->ANext();
    EXPECT_EQ(autoPilot_->NextSongText(), QStringLiteral("c"));
    Run(12.0);
    EXPECT_EQ(Titles().mid(0, 2), Names("a c"));
}

TEST_F(AutoPilotTest, AListDroppedWhileASongPlaysKeepsTheNextSongOnlyWhenItHoldsIt) {
    Make(false, "a b c", 10.0);
    for (const char* name : {"x", "y"}) songs_.insert(Song(name), 10.0);
    const QString holding = WritePlaylist(QStringLiteral("new.m3u"), {Song("x"), Song("b")});
    const QString other = WritePlaylist(QStringLiteral("other.m3u"), {Song("x"), Song("y")});
    QSignalSpy titles(autoPilot_.get(), &AutoPilot::ListTitleChanged);
    autoPilot_->APlay();
    Run(2.0);
    ASSERT_TRUE(autoPilot_->DropPlaylist(holding));
    EXPECT_EQ(titles.at(0).at(0).toString(), QStringLiteral("new"));
    EXPECT_EQ(settings_.GetText(keys::kPlayList), holding);
    EXPECT_TRUE(playlist_.RecentList.isEmpty());
    EXPECT_EQ(autoPilot_->NextSongText(), QStringLiteral("b"));
    ASSERT_TRUE(autoPilot_->DropPlaylist(other));
    EXPECT_EQ(autoPilot_->NextSongText(), QStringLiteral("y"));  // the entry in b's place
    Run(20.0);
    EXPECT_EQ(Titles(), Names("a y"));
    EXPECT_FALSE(autoPilot_->DropPlaylist(dir_.filePath(QStringLiteral("missing.m3u"))));
}

TEST_F(AutoPilotTest, CommandLinePlaylistStartsWithItsFirstEntry) {
    Make();
    for (const char* name : {"p", "q", "r"}) songs_.insert(Song(name), 10.0);
    const QString list =
        WritePlaylist(QStringLiteral("party.m3u"), {Song("p"), Song("q"), Song("r")});
    FakeApPlayer line1(1, songs_, now_);
    EXPECT_EQ(autoPilot_->OpenStartupFile(QLatin1Char('"') + list + QLatin1Char('"'), &line1),
              StartupFileKind::Nothing);
    // One that cannot be loaded is checked on the program's start-up.
    EXPECT_EQ(autoPilot_->OpenStartupFile(list, &line1), StartupFileKind::Playlist);
    QSignalSpy titles(autoPilot_.get(), &AutoPilot::ListTitleChanged);
    autoPilot_->ReloadSavedPlaylist();
    EXPECT_EQ(titles.at(0).at(0).toString(), QStringLiteral("party"));
    autoPilot_->ChooseNextSong();  // start-up shows the first next song
    Run(2.0);
    ASSERT_FALSE(started_.isEmpty());
    EXPECT_EQ(Titles().first(), QStringLiteral("p"));
    EXPECT_TRUE(line1.FileName().isEmpty());
}

// An unplayable next song is known once it fails to open: another is chosen without silence.
TEST_F(AutoPilotTest, AFileThatFailsToOpenIsPassedOverAtOnce) {
    Make(true, "a broken c", 10.0);
    songs_[Song("broken")] = -1.0;
    autoPilot_->APlay();
    Run(10.0);
    // Loaded ahead, it failed before a ended: c overlaps a as any next song does.
    EXPECT_EQ(Titles(), Names("a c"));
    EXPECT_EQ(overlaps_, 1);

    // Skipped to (APlay while playing): the next song starts on the following tick.
    ASSERT_EQ(autoPilot_->NextSongText(), QStringLiteral("a"));
    autoPilot_->ANext();
    ASSERT_EQ(autoPilot_->NextSongText(), QStringLiteral("broken"));
    autoPilot_->APlay();
    Run(2 * kTick);
    EXPECT_EQ(autoPilot_->CurrentSongText(), QStringLiteral("c"));
}

// Streams never play and say so; a missing song found again elsewhere plays from there.
TEST_F(AutoPilotTest, StreamsAreSkippedAndMovedSongsFoundAgain) {
    Make();
    songs_.insert(Song("b"), 60.0);
    const QString stream = QStringLiteral("http://radio.example/live");
    playlist_.SongList = {stream, QStringLiteral("C:\\Old\\b.wav")};
    playlist_.SongCount = 2;
    QStringList statuses;
    QObject::connect(autoPilot_.get(), &AutoPilot::StatusRequested,
                     [&](const QString& text) { statuses.append(text); });
    autoPilot_->SetFindAgain([](const QString& entry) {
        return entry.endsWith(QLatin1String("\\b.wav")) ? Song("b") : QString();
    });
    autoPilot_->ChooseNextSong();
    EXPECT_EQ(autoPilot_->NextSongPath(), Song("b"));
    EXPECT_EQ(statuses, QStringList{QStringLiteral("Network streams are not played: ") + stream});
}

TEST(AutoPilotDrops, ExtensionChecksPerLine) {
    // An ending counts only after a dot: "xwv" and "notes.flac.txt" are not sound files.
    const struct {
        int line;
        const char* file;
        bool accepted;
    } cases[] = {{0, "/l/Party.PLS", true},      {0, "/l/a.cvn", true},
                 {0, "/l/a.M3U8", true},         {0, "/l/a.mp3", false},
                 {1, "/l/a.m3u", false},         {1, "/l/a.m3u8", false},
                 {3, "/s/song.MP3", true},       {1, "/s/x.ra", true},
                 {6, "/s/x.ram", true},          {7, "/s/a.wav", false},
                 {1, "/s/notes", false},         {0, "/s/notes", false},
                 {1, "/s/xwv", false},           {1, "/s/notes.flac.txt", false},
                 {0, "/s/notes.flac.txt", false}};
    for (const auto& c : cases)
        EXPECT_EQ(AcceptsDrop(c.line, QLatin1String(c.file)), c.accepted) << c.line << c.file;
    for (const QString& ending :
         QStringLiteral("WAV rm mid mp2 mp1 FLAC ogg oga opus m4a mp4 aac aif aiff aifc wv")
             .split(u' '))
        EXPECT_TRUE(AcceptsDrop(2, QStringLiteral("/s/a.") + ending)) << qPrintable(ending);
}

}  // namespace
}  // namespace corvane::autopilot::testing
