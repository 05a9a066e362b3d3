#include "settings/command_line.h"

#include <gtest/gtest.h>

#include <QDir>

namespace corvane {
namespace {

using namespace Qt::StringLiterals;

CommandLine Parse(const QStringList& arguments) {
    return ParseCommandLine(QStringList{u"/usr/bin/corvane"_s} + arguments);
}

TEST(CommandLineTest, DebugIsALoneSlashDOrTheLongOption) {
    for (const char* option : {"/d", "/D", "--debug"})
        EXPECT_TRUE(Parse({QLatin1String(option)}).debug) << option;
    EXPECT_TRUE(Parse({u"--debug"_s, u"a.mp3"_s}).debug);
    EXPECT_FALSE(Parse({u"/d"_s, u"x"_s}).debug);
    EXPECT_FALSE(Parse({u"/dx"_s}).debug);
    EXPECT_FALSE(Parse({}).debug);
}

TEST(CommandLineTest, TheFirstArgumentThatIsNoOptionIsThePath) {
    EXPECT_EQ(Parse({}).path, QString());
    EXPECT_EQ(Parse({u"/music/My Song.mp3"_s}).path, u"/music/My Song.mp3"_s);
    // Relative paths name files in the current folder; a launcher may hand over a file URI.
    const QString here = QDir::currentPath();
    EXPECT_EQ(Parse({u"--debug"_s, u"party.m3u"_s}).path, here + u"/party.m3u"_s);
    EXPECT_EQ(Parse({u"../set/./intro.mp3"_s}).path,
              QDir::cleanPath(here + u"/../set/intro.mp3"_s));
    EXPECT_EQ(Parse({u":live.mp3"_s}).path, here + u"/:live.mp3"_s);
    EXPECT_EQ(Parse({u"file:///music/My%20Song.mp3"_s}).path, u"/music/My Song.mp3"_s);
    EXPECT_EQ(Parse({u"http://radio.example/a.mp3"_s}).path, u"http://radio.example/a.mp3"_s);
    EXPECT_EQ(Parse({u"/d"_s, u"x"_s}).path, u"/d"_s);
    EXPECT_FALSE(Parse({u"a.mp3"_s}).exitNow);
    // Every file argument, for a later start to hand over; a lone "/d" is none.
    EXPECT_EQ(Parse({u"a.mp3"_s, u"file:///b.m3u"_s}).paths,
              (QStringList{here + u"/a.mp3"_s, u"/b.m3u"_s}));
    EXPECT_EQ(Parse({u"/d"_s}).paths, QStringList());
}

TEST(CommandLineTest, HelpVersionAndWrongOptionsAnswerAndEnd) {
    const CommandLine help = Parse({u"--help"_s});
    EXPECT_TRUE(help.exitNow);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.output.contains(u"[file...]"_s));
    EXPECT_TRUE(Parse({u"-h"_s}).exitNow);

    const CommandLine version = Parse({u"--version"_s});
    EXPECT_TRUE(version.exitNow);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output, u"corvane 1.40\n"_s);

    const CommandLine wrong = Parse({u"--loud"_s});
    EXPECT_TRUE(wrong.exitNow);
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_TRUE(wrong.output.startsWith(u"corvane: "_s));
    EXPECT_TRUE(wrong.output.contains(u"loud"_s));
}

}  // namespace
}  // namespace corvane
