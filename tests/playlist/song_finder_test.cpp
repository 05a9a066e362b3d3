#include "playlist/song_finder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "playlist/list_editing.h"
#include "playlist/playlist.h"
#include "playlist/song_rows.h"
#include "settings/ini.h"
#include "settings/settings.h"
#include "support/files.h"

namespace corvane {
namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

void Touch(const QString& path) {
    QDir().mkpath(path.left(path.lastIndexOf(u'/')));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

class FoundAgain : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        music_ = dir_.path() + S("/Music/");
        for (const char* file : {"Rock/Album One/Song.mp3", "Jazz/Album One/song.MP3",
                                 "Jazz/Other/song.mp3", "Pop/solo.mp3", ".hidden/lost.mp3"})
            Touch(music_ + S(file));
    }

    QTemporaryDir dir_;
    QString music_;
};

TEST_F(FoundAgain, TheFileWhoseFoldersMatchBestWins) {
    const FileNameIndex index = FileNameIndex::Build(music_);
    struct Case {
        const char* entry;
        const char* found;  // under the music folder; "" for none
    };
    const Case cases[] = {
        {"C:\\Users\\dj\\Music\\Jazz\\Album One\\SONG.mp3", "Jazz/Album One/song.MP3"},
        {"/old/rock/album one/song.mp3", "Rock/Album One/Song.mp3"},
        {"/old/Jazz/Other/song.mp3", "Jazz/Other/song.mp3"},
        // No folder matches: the first by path.
        {"/elsewhere/song.mp3", "Jazz/Album One/song.MP3"},
        {"\\\\nas\\share\\solo.mp3", "Pop/solo.mp3"},
        {"/old/lost.mp3", ""},
        {"/old/none.mp3", ""},
        {"/old/", ""},
    };
    for (const Case& c : cases) {
        const QString expected = *c.found ? music_ + S(c.found) : QString();
        EXPECT_EQ(index.Find(S(c.entry)), expected) << c.entry;
    }
}

// The index is built on a worker: a lookup before it is ready finds nothing and does not wait;
// a new file in an indexed folder is found once the index has been refreshed.
TEST_F(FoundAgain, FinderLooksWithoutWaitingAndFollowsChanges) {
    const auto app = StartApplication();
    SongFinder finder;
    finder.SetMusicFolder(music_);
    QSignalSpy ready(&finder, &SongFinder::IndexReady);
    const QString list = dir_.path() + S("/Lists/");
    QDir().mkpath(list);
    const QString gone = S("D:\\Music\\Pop\\solo.mp3");

    EXPECT_EQ(finder.PlayablePath(gone, list), QString());
    EXPECT_EQ(finder.PlayablePath(S("http://radio.example/solo.mp3"), list), QString());
    for (int i = 0; i < 2 && ready.count() < 2; ++i) ASSERT_TRUE(ready.wait(10000));
    EXPECT_EQ(finder.PlayablePath(gone, list), music_ + S("Pop/solo.mp3"));
    EXPECT_EQ(finder.PlayablePath(music_ + S("Pop/solo.mp3"), list), music_ + S("Pop/solo.mp3"));

    // The editor marks the row and a save stores where the song was found.
    Playlist playlist;
    playlist.SongList = QStringList{gone, S("http://radio.example/live")};
    playlist.ListDir = list;
    playlist.ListName = S("set.m3u8");
    IniFiles ini;
    Settings settings(ini, dir_.path() + S("/settings.ini"));
    SongRows rows;
    ListEditing editing(playlist, settings, rows, {});
    editing.SetFinder(&finder);
    editing.Refresh1();
    EXPECT_EQ(rows.data(rows.index(0)).toString(),
              S("solo.mp3") + QLatin1String(SongRows::kFoundMark));
    EXPECT_EQ(rows.data(rows.index(1)).toString(), S("live"));
    editing.RemoveAt(1);
    ASSERT_TRUE(editing.Save());
    EXPECT_EQ(playlist.SongList, QStringList{music_ + S("Pop/solo.mp3")});

    Touch(list + S("new.mp3"));
    ready.clear();
    ASSERT_TRUE(ready.wait(10000));
    EXPECT_EQ(finder.PlayablePath(S("/old/new.mp3"), list), list + S("new.mp3"));
}

}  // namespace
}  // namespace corvane
