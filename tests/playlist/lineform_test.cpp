#include "playlist/lineform.h"

#include <gtest/gtest.h>

#include "playlist/playlisttext.h"

namespace corvane {
namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

QStringList Parse(const QByteArray& data, const char* dir = "/lists/",
                  PathStyle style = PathStyle::Unix) {
    return ParseLineForm(data, S(dir), style);
}

TEST(LineForm, WindowsListWithMixedEntries) {
    const QStringList songs =
        Parse("D:\\Songs\\a.mp3\r\na.mp3\r\n\\Songs\\a.mp3\r\n", "C:\\Lists\\", PathStyle::Windows);
    EXPECT_EQ(songs, (QStringList{S("D:\\Songs\\a.mp3"), S("C:\\Lists\\a.mp3"),
                                  S("C:\\Lists\\\\Songs\\a.mp3")}));
}

TEST(LineForm, LongLinesAreKeptUpTo64KiB) {
    const QByteArray path = "/music/" + QByteArray(300, 'x') + ".mp3";
    const QByteArray limit(kMaxLineBytes, 'y');
    const QByteArray over(kMaxLineBytes + 1, 'z');
    const QStringList songs = Parse(path + "\r\n" + over + "\r\n" + limit + "\r\nlast.mp3");
    ASSERT_EQ(songs.size(), 3);
    EXPECT_EQ(songs[0], QString::fromLatin1(path));
    EXPECT_EQ(songs[1].size(), S("/lists/").size() + kMaxLineBytes);
    EXPECT_EQ(songs[2], S("/lists/last.mp3"));
}

TEST(LineForm, TextIsUtf8WhenValidElseLatin1) {
    EXPECT_EQ(Parse("\xEF\xBB\xBF/m/Caf\xC3\xA9.mp3"), QStringList{S("/m/Caf\u00E9.mp3")});
    EXPECT_EQ(Parse("/m/Caf\xE9.mp3\r\n/m/\xC3\xA9.mp3"),
              (QStringList{S("/m/Caf\u00E9.mp3"), S("/m/\u00C3\u00A9.mp3")}));
}

TEST(LineForm, YieldsEvery25Entries) {
    QByteArray data;
    for (int i = 0; i < 60; ++i) data += "#comment\r\nsong.mp3\r\n";
    int yields = 0;
    PlaylistHooks hooks;
    hooks.yield = [&] { ++yields; };
    EXPECT_EQ(ParseLineForm(data, S("/l/"), PathStyle::Unix, hooks).size(), 60);
    EXPECT_EQ(yields, 2);
}

// Names are relative only in the list's own folder, compared case-sensitively; a subfolder is
// not the folder.
TEST(LineForm, FormatWritesRelativeNamesAndCrLf) {
    QByteArray out;
    const QStringList songs{S("C:\\Lists\\a.mp3"), S("C:\\Music\\b.mp3"), S("c:\\lists\\c.mp3"),
                            S("C:\\Lists\\Sub\\d.mp3")};
    ASSERT_TRUE(FormatLineForm(songs, S("C:\\Lists\\"), PathStyle::Windows, {}, out));
    EXPECT_EQ(out, QByteArray("a.mp3\r\nC:\\Music\\b.mp3\r\nc:\\lists\\c.mp3\r\n"
                              "C:\\Lists\\Sub\\d.mp3\r\n"));
}

TEST(LineForm, FormatReportsProgressEvery25AndRefusesLineBreaks) {
    QStringList songs;
    for (int i = 0; i < 40000; ++i) songs << S("/m/a.mp3");
    QList<int> steps;
    PlaylistHooks hooks;
    hooks.progress = [&](int value) { steps << value; };
    QByteArray out;
    ASSERT_TRUE(FormatLineForm(songs, S("/l/"), PathStyle::Unix, hooks, out));
    ASSERT_EQ(steps.size(), 1600);
    EXPECT_EQ(steps.front(), 25);
    EXPECT_EQ(steps.back(), 40000);
    EXPECT_EQ(out.count("\r\n"), 40000);
    EXPECT_FALSE(FormatLineForm({S("/m/two\nlines.mp3")}, S("/l/"), PathStyle::Unix, {}, out));
}

}  // namespace
}  // namespace corvane
