#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "playlist/lineform.h"
#include "playlist/playlist.h"
#include "playlist/plsform.h"
#include "support/files.h"

namespace corvane {
namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

constexpr const char* kNoEntry = nullptr;

struct EntryCase {
    const char* text;      // as stored in the file
    const char* expected;  // the song path; kNoEntry when the text is no entry
};

// Entries as other programs write them, read from a list in /lists/.
const EntryCase kEntries[] = {
    // Blanks and tabs around an entry go; a line of blanks is no entry.
    {" \ta.mp3\t ", "/lists/a.mp3"},
    {" \t ", kNoEntry},
    // Relative entries: "\" read as "/", "." and ".." resolved, never above the root.
    {"Sub\\Dir\\a.mp3", "/lists/Sub/Dir/a.mp3"},
    {"../set/./intro.mp3", "/set/intro.mp3"},
    {"sub//b.mp3", "/lists/sub/b.mp3"},
    {"../../../../x.mp3", "/x.mp3"},
    {"\\Songs\\a.mp3", "/lists/Songs/a.mp3"},
    // file URIs, empty host or localhost, percent-decoded as UTF-8.
    {"file:///music/Caf%C3%A9%20Del%20Mar.mp3", "/music/Caf\u00E9 Del Mar.mp3"},
    {"FILE://localhost/music/a%2Bb.mp3", "/music/a+b.mp3"},
    {"file:///C:/Music/a.mp3", "C:/Music/a.mp3"},
    {"file:///music/%E9t%E9.mp3", "/music/\u00E9t\u00E9.mp3"},
    {"file://server/music/a.mp3", kNoEntry},
    {"file:///music/bad%2.mp3", kNoEntry},
    {"file:///music/bad%zz.mp3", kNoEntry},
    {"file:///music/a%00.mp3", kNoEntry},
    {"file://", kNoEntry},
    // Kept exactly as written: addresses, Windows drive and UNC paths, absolute paths.
    {"http://radio.example:8000/stream?x=%20", "http://radio.example:8000/stream?x=%20"},
    {"rtsp://host/live", "rtsp://host/live"},
    {"mms://host/a.asf", "mms://host/a.asf"},
    {"C:\\Music\\a.mp3", "C:\\Music\\a.mp3"},
    {"d:/Music/b.mp3", "d:/Music/b.mp3"},
    {"\\\\server\\share\\c.mp3", "\\\\server\\share\\c.mp3"},
    {"/music/./a.mp3", "/music/./a.mp3"},
};

TEST(Entries, EveryFormReadsEntriesByTheSameRules) {
    for (const EntryCase& row : kEntries) {
        const QByteArray text(row.text);
        const QStringList expected = row.expected ? QStringList{S(row.expected)} : QStringList();
        EXPECT_EQ(ResolveEntry(S("/lists/"), S(row.text)),
                  row.expected ? S(row.expected) : QString())
            << row.text;
        EXPECT_EQ(ParseLineForm(text + "\r\n", S("/lists/"), PathStyle::Unix), expected)
            << row.text;
        QStringList pls;
        ASSERT_TRUE(ParsePls("[playlist]\r\nFile1=" + text + "\r\nNumberOfEntries=1\r\n",
                             S("/lists/"), PathStyle::Unix, {}, pls));
        EXPECT_EQ(pls, expected) << row.text;
    }
}

TEST(Entries, HostileTextLoadsWithoutHarm) {
    const QByteArray escapes = "file:///m/" + QByteArray(10000 / 2, 'x').replace("x", "%41%42");
    QByteArray ups;
    for (int i = 0; i < 1000; ++i) ups += "../";
    const QByteArray blanks(1000000, '\n');
    const QStringList songs = ParseLineForm(
        escapes + "\n" + ups + "a.mp3\n" + blanks + "file:///m/\n", S("/l/x/"), PathStyle::Unix);
    ASSERT_EQ(songs.size(), 3);
    EXPECT_EQ(songs[0].size(), 3 + 10000);
    EXPECT_EQ(songs[1], S("/a.mp3"));
    EXPECT_EQ(songs[2], S("/m/"));
}

// What another program wrote survives a load and a save here: only the local songs' text may
// change form, and then it reads back as the same songs.
TEST(Entries, SaveKeepsWhatAnotherProgramWrote) {
    QTemporaryDir temp;
    const QString dir = temp.path() + QLatin1Char('/');
    QDir().mkpath(dir + QStringLiteral("sub"));
    const QByteArray written =
        "#EXTM3U\r\n"
        "http://radio.example/live.mp3\r\n"
        "C:\\Users\\dj\\Music\\gone.mp3\r\n"
        "\\\\nas\\music\\far.mp3\r\n"
        "file:///elsewhere/Caf%C3%A9.mp3\r\n"
        "  here.mp3\r\n"
        "sub\\deep.mp3\r\n"
        "file://" +
        QFile::encodeName(dir) + "trailing%20\r\n";
    QFile file(dir + S("first.m3u8"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(written);
    file.close();
    Playlist original;
    ASSERT_TRUE(LoadPlaylist(original, dir, S("first.m3u8"), true));
    EXPECT_EQ(original.SongList,
              (QStringList{S("http://radio.example/live.mp3"), S("C:\\Users\\dj\\Music\\gone.mp3"),
                           S("\\\\nas\\music\\far.mp3"), S("/elsewhere/Caf\u00E9.mp3"),
                           dir + S("here.mp3"), dir + S("sub/deep.mp3"), dir + S("trailing ")}));
    for (const char* name : {"saved.m3u8", "saved.pls"}) {
        ASSERT_TRUE(SavePlaylist(original, dir, S(name), nullptr)) << name;
        Playlist reread;
        ASSERT_TRUE(LoadPlaylist(reread, dir, S(name), true)) << name;
        EXPECT_EQ(reread.SongList, original.SongList) << name;
    }
    EXPECT_TRUE(
        ReadBytes(dir + S("saved.m3u8"))
            .startsWith("http://radio.example/live.mp3\r\nC:\\Users\\dj\\Music\\gone.mp3\r\n"
                        "\\\\nas\\music\\far.mp3\r\n/elsewhere/Caf\xC3\xA9.mp3\r\nhere.mp3\r\n"));
}

TEST(Entries, SongsStoredAsFileUrisReadBackAsThemselves) {
    // Blanks at an end make a song a URI; a folder named like a drive stays a folder.
    const QStringList songs{S("/c:/music/a.mp3 "), S("/lists/b.mp3 ")};
    QByteArray out;
    ASSERT_TRUE(FormatLineForm(songs, S("/lists/"), kNativePathStyle, {}, out));
    EXPECT_EQ(ParseLineForm(out, S("/lists/"), kNativePathStyle), songs);
}

}  // namespace
}  // namespace corvane
