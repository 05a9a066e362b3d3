#include "playlist/plsform.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

QString S(const char* text) { return QString::fromUtf8(text); }

TEST(PlsForm, CountIsTheLeadingNumberRoundedHalfToEven) {
    const struct {
        const char* text;
        long long count;
    } cases[] = {{"3", 3},   {"12abc", 12}, {" 7", 7},  {"2.5", 2},
                 {"3.5", 4}, {".5e1", 5},   {"-5", -5}, {"99999999999", 99999999999LL},
                 {"", 0},    {"abc", 0},    {"-", 0},   {".", 0},
                 {"e5", 0},  {"+.x", 0}};
    for (const auto& c : cases) EXPECT_EQ(ParsePlsCount(S(c.text)), c.count) << c.text;
    EXPECT_GT(ParsePlsCount(S("1e400")), 0);
}

TEST(PlsForm, FileKeysAreNumberedWithoutLeadingZeros) {
    EXPECT_EQ(PlsFileKeyIndex("File1"), 1);
    EXPECT_EQ(PlsFileKeyIndex("FILE250"), 250);
    for (const char* other : {"File", "File0", "File01", "File-1", "File1a", "Files1",
                              "NumberOfEntries", "File99999999999999999999"})
        EXPECT_EQ(PlsFileKeyIndex(other), 0) << other;
}

QStringList Entries(const QByteArray& data, bool expectSection = true) {
    QStringList entries;
    EXPECT_EQ(ParsePls(data, S("/l/"), PathStyle::Unix, {}, entries), expectSection);
    return entries;
}

TEST(PlsForm, ReadsByTheIniRules) {
    // Keys before the section and in other sections don't count; the section may come back;
    // names are case-blind and the first match wins; blanks around names and values go.
    EXPECT_EQ(Entries("File1=/x/before.mp3\r\n[other]\r\nFile1=/x/other.mp3\r\n"
                      " [ PlayList ] \r\n ; comment\r\n#File2=/x/comment.mp3\r\n"
                      "  file2  =  /m/b.mp3  \r\nFILE1=/m/a.mp3\r\nFile1=/x/second.mp3\r\n"
                      "[other]\r\nNumberOfEntries=0\r\n[playlist]\r\nNumberOfEntries=3\r\n"
                      "File3=\r\nFile3=/x/late.mp3\r\nnumberofentries=1\r\n"),
              (QStringList{S("/m/a.mp3"), S("/m/b.mp3")}));
    EXPECT_EQ(Entries("[playlist]\nFile1=Sub\\b.mp3\nNumberOfEntries=1"),
              QStringList{S("/l/Sub/b.mp3")});
    EXPECT_TRUE(Entries("[playlist", false).isEmpty());
    EXPECT_TRUE(Entries("", false).isEmpty());
}

TEST(PlsForm, FormatWritesOnlyTheListAndReportsEvery50) {
    QStringList songs;
    for (int i = 0; i < 120; ++i) songs << S("/l/a.mp3");
    songs << S("/m/Caf\u00E9.mp3");
    QList<int> steps;
    PlaylistHooks hooks;
    hooks.progress = [&](int value) { steps << value; };
    QByteArray out;
    ASSERT_TRUE(FormatPls(songs, S("/l/"), PathStyle::Unix, hooks, out));
    EXPECT_EQ(steps, (QList<int>{50, 100}));
    EXPECT_TRUE(out.startsWith("[playlist]\r\nFile1=a.mp3\r\nFile2=a.mp3\r\n"));
    EXPECT_TRUE(out.endsWith("File121=/m/Caf\xC3\xA9.mp3\r\nNumberOfEntries=121\r\n"));
}

TEST(PlsForm, FormatRefusesValuesThatWouldNotReadBack) {
    QByteArray out;
    for (const char* bad : {"/m/a\nb.mp3", "/m/a\r.mp3"})
        EXPECT_FALSE(FormatPls({S(bad)}, S("/l/"), PathStyle::Unix, {}, out)) << bad;
}

}  // namespace
}  // namespace corvane
