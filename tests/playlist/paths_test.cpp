#include "playlist/paths.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

constexpr auto kWin = PathStyle::Windows;
constexpr auto kUnix = PathStyle::Unix;

QString S(const char* text) { return QString::fromUtf8(text); }

TEST(Paths, SplitPathInBothStyles) {
    const SplitPathResult win = SplitPath(S("C:\\Music\\Song One.mp3"), kWin);
    EXPECT_EQ(win.directory, S("C:\\Music\\"));
    EXPECT_EQ(win.fileName, S("Song One.mp3"));
    const SplitPathResult unix = SplitPath(S("/home/dj/Music/Song One.mp3"));
    EXPECT_EQ(unix.directory, S("/home/dj/Music/"));
    EXPECT_EQ(unix.fileName, S("Song One.mp3"));
    // No separator: all of it is the file name. The other style's separator is just text.
    EXPECT_EQ(SplitPath(S("song.mp3"), kWin).directory, QString());
    EXPECT_EQ(SplitPath(S("a\\b.mp3"), kUnix).fileName, S("a\\b.mp3"));
    EXPECT_EQ(SplitPath(S("/"), kUnix).directory, S("/"));
    EXPECT_EQ(SplitPath(S("/"), kUnix).fileName, QString());
}

TEST(Paths, StripExtension) {
    EXPECT_EQ(StripExtension(S("song.01.mp3")), S("song.01"));
    EXPECT_EQ(StripExtension(S(".mp3")), S(".mp3"));
    EXPECT_EQ(StripExtension(S("song")), S("song"));
    EXPECT_EQ(StripExtension(QString()), QString());
}

TEST(Paths, WithBackslash) {
    EXPECT_EQ(WithBackslash(S("C:\\"), kWin), S("C:\\"));
    EXPECT_EQ(WithBackslash(S("C:\\Music"), kWin), S("C:\\Music\\"));
    EXPECT_EQ(WithBackslash(S("/")), S("/"));
    EXPECT_EQ(WithBackslash(S("/home/dj")), S("/home/dj/"));
    EXPECT_EQ(WithBackslash(S("/home/dj/")), S("/home/dj/"));
}

TEST(Paths, DriveOfAndAbsolute) {
    EXPECT_EQ(DriveOf(S("c:\\music\\a.mp3"), kWin), S("C:\\"));
    EXPECT_EQ(DriveOf(S("/home/dj/a.mp3")), S("/"));
    EXPECT_EQ(DriveOf(S("a.mp3")), QString());
    EXPECT_TRUE(IsAbsolutePath(S("D:\\Songs\\a.mp3"), kWin));
    EXPECT_FALSE(IsAbsolutePath(S("\\Songs\\a.mp3"), kWin));
    EXPECT_TRUE(IsAbsolutePath(S("/a.mp3")));
    EXPECT_FALSE(IsAbsolutePath(S("D:\\Songs\\a.mp3")));
}

TEST(Paths, EntryTextKeepsNamesThatWouldReadBackDifferently) {
    // "#" starts a comment line; a native "\" would be read back as a separator.
    EXPECT_EQ(EntryText(S("/lists/"), S("/lists/#1 hit.mp3")), S("/lists/#1 hit.mp3"));
    EXPECT_EQ(EntryText(S("/lists/"), S("/lists/a\\b.mp3")), S("/lists/a\\b.mp3"));
    // "X:" reads as a drive, blanks at the ends are trimmed: a URI keeps a trailing one.
    EXPECT_EQ(EntryText(S("/lists/"), S("/lists/C:x.mp3")), S("/lists/C:x.mp3"));
    EXPECT_EQ(EntryText(S("/lists/"), S("/lists/ a.mp3")), S("/lists/ a.mp3"));
    EXPECT_EQ(EntryText(S("/lists/"), S("/lists/a b.mp3 ")), S("file:///lists/a%20b.mp3%20"));
}

}  // namespace
}  // namespace corvane
