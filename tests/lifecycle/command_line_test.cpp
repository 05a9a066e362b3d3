#include "settings/command_line.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "settings/ini.h"

namespace corvane {
namespace {

CommandLine Parse(const QStringList& arguments) {
    return ParseCommandLine(QStringList{QStringLiteral("/usr/bin/corvane")} + arguments);
}

TEST(CommandLineTest, DebugIsALoneSlashDOrTheLongOption) {
    for (const char* option : {"/d", "/D", "--debug"})
        EXPECT_TRUE(Parse({QLatin1String(option)}).debug) << option;
    EXPECT_TRUE(Parse({QStringLiteral("--debug"), QStringLiteral("a.mp3")}).debug);
    EXPECT_FALSE(Parse({QStringLiteral("/d"), QStringLiteral("x")}).debug);
    EXPECT_FALSE(Parse({QStringLiteral("/dx")}).debug);
    EXPECT_FALSE(Parse({}).debug);
}

TEST(CommandLineTest, TheFirstArgumentThatIsNoOptionIsThePath) {
    EXPECT_EQ(Parse({}).path, QString());
    EXPECT_EQ(Parse({QStringLiteral("/music/My Song.mp3")}).path,
              QStringLiteral("/music/My Song.mp3"));
    // Relative paths name files in the current folder; a launcher may hand over a file URI.
    const QString here = QDir::currentPath();
    EXPECT_EQ(Parse({QStringLiteral("--debug"), QStringLiteral("party.m3u")}).path,
              here + QStringLiteral("/party.m3u"));
    EXPECT_EQ(Parse({QStringLiteral("../set/./intro.mp3")}).path,
              QDir::cleanPath(here + QStringLiteral("/../set/intro.mp3")));
    EXPECT_EQ(Parse({QStringLiteral(":live.mp3")}).path, here + QStringLiteral("/:live.mp3"));
    EXPECT_EQ(Parse({QStringLiteral("file:///music/My%20Song.mp3")}).path,
              QStringLiteral("/music/My Song.mp3"));
    EXPECT_EQ(Parse({QStringLiteral("http://radio.example/a.mp3")}).path,
              QStringLiteral("http://radio.example/a.mp3"));
    EXPECT_EQ(Parse({QStringLiteral("/d"), QStringLiteral("x")}).path, QStringLiteral("/d"));
    EXPECT_FALSE(Parse({QStringLiteral("a.mp3")}).exitNow);
    // Every file argument, for a later start to hand over; a lone "/d" is none.
    EXPECT_EQ(Parse({QStringLiteral("a.mp3"), QStringLiteral("file:///b.m3u")}).paths,
              (QStringList{here + QStringLiteral("/a.mp3"), QStringLiteral("/b.m3u")}));
    EXPECT_EQ(Parse({QStringLiteral("/d")}).paths, QStringList());
}

TEST(CommandLineTest, HelpVersionAndWrongOptionsAnswerAndEnd) {
    const CommandLine help = Parse({QStringLiteral("--help")});
    EXPECT_TRUE(help.exitNow);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.output.contains(QStringLiteral("[file...]")));
    EXPECT_TRUE(Parse({QStringLiteral("-h")}).exitNow);

    const CommandLine version = Parse({QStringLiteral("--version")});
    EXPECT_TRUE(version.exitNow);
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.output, QStringLiteral("corvane 1.40\n"));

    const CommandLine wrong = Parse({QStringLiteral("--loud")});
    EXPECT_TRUE(wrong.exitNow);
    EXPECT_EQ(wrong.exitCode, 1);
    EXPECT_TRUE(wrong.output.startsWith(QStringLiteral("corvane: ")));
    EXPECT_TRUE(wrong.output.contains(QStringLiteral("loud")));
}

// The repair of a damaged file belongs to the files that ask for it.
TEST(SettingsRepairTest, OnlyDamagedFilesThatAskForItAreKeptAside) {
    QTemporaryDir dir;
    const QString clean = dir.filePath(QStringLiteral("clean.ini"));
    const QString other = dir.filePath(QStringLiteral("other.ini"));
    const QByteArray damaged("[s]\nkey=1\n\x01\x02 junk\n");
    for (const auto& [file, bytes] :
         {std::pair{clean, QByteArray("; note\n[s]\nkey=1\n\n")}, std::pair{other, damaged}}) {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    IniFiles ini;
    ini.RepairWithBackup(clean);
    EXPECT_TRUE(
        ini.WriteIni(QStringLiteral("s"), QStringLiteral("key"), QStringLiteral("2"), clean));
    EXPECT_FALSE(QFile::exists(clean + QStringLiteral(".bak")));
    EXPECT_TRUE(
        ini.WriteIni(QStringLiteral("s"), QStringLiteral("key"), QStringLiteral("2"), other));
    EXPECT_FALSE(QFile::exists(other + QStringLiteral(".bak")));
    QFile in(other);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    EXPECT_TRUE(in.readAll().contains("junk"));
}

}  // namespace
}  // namespace corvane
