#include "playlist/playlist.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "settings/ini.h"
#include "settings/settings.h"
#include "support/files.h"

namespace corvane {
namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

class PlaylistFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        dir_ = tmp_.path() + QLatin1Char('/');
    }

    void Write(const QString& name, const QByteArray& bytes) {
        QFile file(dir_ + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
    QByteArray Read(const QString& name) { return ReadBytes(dir_ + name); }
    bool Load(const QString& name, bool fresh = true) {
        return LoadPlaylist(list_, dir_, name, fresh);
    }
    bool Save(const QString& name, Settings* settings = nullptr) {
        return SavePlaylist(list_, dir_, name, settings);
    }
    // A list that a load must replace, or a failed load leave exactly as it was.
    void Prime() {
        list_.SongList = {S("/keep/a.mp3")};
        list_.RecentList = {S("/keep/a.mp3")};
        list_.SongCount = 1;
        list_.ListDir = S("/keep/");
    }

    QTemporaryDir tmp_;
    QString dir_;
    Playlist list_;
};

TEST_F(PlaylistFiles, FreshLoadReplacesAndAppendLoadAdds) {
    Write(S("one.m3u"), "#EXTM3U\r\n#EXTINF:1,x\r\n/music/a.mp3\r\n\r\nSub\\b.mp3\r\nc.mp3\n");
    Prime();
    ASSERT_TRUE(Load(S("one.m3u")));
    EXPECT_EQ(list_.SongList,
              (QStringList{S("/music/a.mp3"), dir_ + S("Sub/b.mp3"), dir_ + S("c.mp3")}));
    EXPECT_TRUE(list_.RecentList.isEmpty());
    EXPECT_EQ(list_.ListDir, dir_);
    EXPECT_EQ(list_.SongCount, 3);

    Write(S("two.M3U8"), "/music/d.mp3");
    list_.ListDir = S("/elsewhere/");
    ASSERT_TRUE(Load(S("two.M3U8"), false));
    EXPECT_EQ(list_.SongList.size(), 4);
    EXPECT_EQ(list_.SongList.last(), S("/music/d.mp3"));
    EXPECT_EQ(list_.ListDir, S("/elsewhere/"));
    EXPECT_EQ(list_.SongCount, 4);
}

TEST_F(PlaylistFiles, RefusedLoadsChangeNothing) {
    QDir(dir_).mkdir(S("x.m3u"));
    Write(S("list.txt"), "/music/a.mp3\r\n");
    QByteArray binary(
        "\x7F"
        "ELF\x02\x01\x01",
        7);
    binary += QByteArray(64, '\0') + "/music/a.mp3\r\n";
    Write(S("binary.m3u"), binary);
    Write(S("nosection.pls"), "File1=/music/a.mp3\r\nNumberOfEntries=1\r\n");
    Prime();
    EXPECT_FALSE(LoadPlaylist(list_, QString(), S("x.m3u"), true));
    EXPECT_FALSE(LoadPlaylist(list_, dir_, QString(), true));
    for (const char* name : {"missing.m3u", "x.m3u", "list.txt", "binary.m3u", "nosection.pls"})
        EXPECT_FALSE(Load(S(name))) << name;
    EXPECT_EQ(list_.SongList, QStringList{S("/keep/a.mp3")});
    EXPECT_EQ(list_.RecentList, QStringList{S("/keep/a.mp3")});
    EXPECT_EQ(list_.SongCount, 1);
    EXPECT_EQ(list_.ListDir, S("/keep/"));
}

TEST_F(PlaylistFiles, OddTextLoadsWithoutHarm) {
    Write(S("empty.cvn"), QByteArray());
    ASSERT_TRUE(Load(S("empty.cvn")));
    EXPECT_TRUE(list_.SongList.isEmpty());

    Write(S("huge.m3u"), QByteArray(10 * 1024 * 1024, 'a') + "\r\n/music/after.mp3\r\n");
    ASSERT_TRUE(Load(S("huge.m3u")));
    EXPECT_EQ(list_.SongList, QStringList{S("/music/after.mp3")});
}

// Songs whose relative name would read back as something else are stored whole, lists of any
// length read back, and a line-form save names the list in the settings.
TEST_F(PlaylistFiles, BothFormsGiveBackTheListSaved) {
    QStringList songs = {dir_ + S("\uFEFFbom.mp3"), dir_, dir_ + S(" lead.mp3"),
                         dir_ + S("#1 hit.mp3"), dir_ + S("a.mp3")};
    for (int i = 0; i < 40000; ++i)
        songs << (i % 2 ? dir_ : S("/music/")) + QString::number(i) + S(" Caf\u00E9.mp3");
    IniFiles settingsIni;
    Settings settings(settingsIni, dir_ + S("settings.ini"));
    for (const char* name : {"round.cvn", "round.pls"}) {
        list_.SongList = songs;
        ASSERT_TRUE(Save(S(name), &settings)) << name;
        list_.SongList.clear();
        ASSERT_TRUE(Load(S(name))) << name;
        EXPECT_EQ(list_.SongList, songs) << name;
    }
    EXPECT_EQ(settings.GetPref(S("PlayList"), QString()), dir_ + S("round.cvn"));
}

TEST_F(PlaylistFiles, IniFormIsWrittenFreshForEitherCase) {
    Write(S("old.PLS"),
          "[playlist]\r\nFile1=old.mp3\r\nFile9=stale.mp3\r\nVersion=2\r\nNumberOfEntries=9\r\n"
          "[other]\r\nkey=value\r\n");
    list_.SongList = {dir_ + S("a.mp3"), S("/music/b.mp3")};
    ASSERT_TRUE(Save(S("old.PLS")));
    EXPECT_EQ(
        Read(S("old.PLS")),
        QByteArray("[playlist]\r\nFile1=a.mp3\r\nFile2=/music/b.mp3\r\nNumberOfEntries=2\r\n"));
}

TEST_F(PlaylistFiles, IniFormReadsOnlyKeysThatExist) {
    const struct {
        const char* text;
        QStringList songs;
    } cases[] = {{"[Playlist]\nfile3=c.mp3\nFile1=/m/a.mp3\nFile01=zero.mp3\nFile5=\n"
                  "NumberOfEntries=99999999999\n",
                  {S("/m/a.mp3"), dir_ + S("c.mp3")}},
                 {"[playlist]\nFile1=a.mp3\nNumberOfEntries=-5\n", {}},
                 {"[playlist]\nFile1=a.mp3\nFile13=m.mp3\nFile12=l.mp3\nNumberOfEntries=12abc\n",
                  {dir_ + S("a.mp3"), dir_ + S("l.mp3")}},
                 {"[playlist]\nFile1=a.mp3\n", {}}};
    for (const auto& c : cases) {
        Write(S("list.pls"), c.text);
        ASSERT_TRUE(Load(S("list.pls"))) << c.text;
        EXPECT_EQ(list_.SongList, c.songs) << c.text;
    }
}

TEST_F(PlaylistFiles, FailedSavesKeepTheOldFile) {
    Write(S("keep.m3u"), "old\r\n");
    Write(S("keep.pls"), "[playlist]\r\n");
    Write(S("plain"), "a file, not a folder");
    IniFiles settingsIni;
    Settings settings(settingsIni, dir_ + S("settings.ini"));
    list_.SongList = {S("/music/a.mp3")};

    EXPECT_FALSE(SavePlaylist(list_, dir_ + S("missing/"), S("x.m3u"), &settings));
    EXPECT_FALSE(SavePlaylist(list_, dir_ + S("plain/"), S("x.m3u"), &settings));
    EXPECT_FALSE(SavePlaylist(list_, dir_ + S("plain/"), S("x.pls"), &settings));
    EXPECT_FALSE(SavePlaylist(list_, QString(), S("x.m3u"), &settings));

    list_.SongList << S("/music/two\nlines.mp3");
    EXPECT_FALSE(Save(S("keep.m3u"), &settings));
    EXPECT_FALSE(Save(S("keep.pls"), &settings));
    EXPECT_EQ(Read(S("keep.m3u")), QByteArray("old\r\n"));
    EXPECT_EQ(Read(S("keep.pls")), QByteArray("[playlist]\r\n"));
    EXPECT_EQ(settings.GetPref(S("Playlist"), S("none")), S("none"));
}

}  // namespace
}  // namespace corvane
