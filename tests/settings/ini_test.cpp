#include "settings/ini.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>

#include "settings/atomic_file.h"
#include "support/files.h"
#include "support/qstring_printer.h"

namespace corvane {
namespace {

using namespace Qt::StringLiterals;

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

ino_t Inode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

class IniTest : public ::testing::Test {
protected:
    QString Path(const char* name) const { return dir_.filePath(QLatin1String(name)); }
    QString Read(const char* section, const char* key, const QString& file) {
        return ini_.ReadIni(QLatin1String(section), QLatin1String(key), file);
    }
    bool Write(const char* section, const char* key, const QString& value, const QString& file) {
        return ini_.WriteIni(QLatin1String(section), QLatin1String(key), value, file);
    }

    QTemporaryDir dir_;
    IniFiles ini_;
};

TEST_F(IniTest, WritesNewFileInMissingFoldersAndReadsBackCaseBlindAndWhole) {
    const QString file = Path("a/b/songs.log");
    EXPECT_TRUE(Read("Total", "Entries", file).isEmpty());
    EXPECT_TRUE(Write("Total", "Entries", u"1"_s, file));
    EXPECT_TRUE(Write("Songs", "1 File", u"Song One"_s, file));
    EXPECT_TRUE(Write("total", "ENTRIES", u"2"_s, file));
    EXPECT_EQ(ReadBytes(file), QByteArray("[Total]\nEntries=2\n[Songs]\n1 File=Song One\n"));
    EXPECT_EQ(Read("TOTAL", "entries", file), u"2"_s);
    EXPECT_TRUE(Read("Songs", "1 Date", file).isEmpty());
    EXPECT_TRUE(Read("Other", "1 File", file).isEmpty());

    // Values are written and read whole, but for the blanks at their ends.
    const QString path10k = QString(10000, u'y');
    EXPECT_TRUE(Write("Songs", "2 File", path10k, file));
    EXPECT_TRUE(Write("Songs", "3 File", u"  padded  "_s, file));
    EXPECT_EQ(Read("Songs", "2 File", file), path10k);
    EXPECT_EQ(Read("Songs", "3 File", file), u"padded"_s);

    // A second instance parses the file from scratch and must agree with the cached one.
    IniFiles other;
    EXPECT_EQ(other.ReadIni(u"songs"_s, u"1 file"_s, file), u"Song One"_s);
    EXPECT_EQ(other.ReadIni(u"Songs"_s, u"2 File"_s, file), path10k);
}

TEST_F(IniTest, RewriteKeepsEveryOtherLineAsItWas) {
    const QString file = Path("keep.ini");
    WriteBytes(file,
               "; a comment\r\n"
               "stray line\r\n"
               "[ Colors ] trailing words\r\n"
               "  Text Color =  123  \r\n"
               "no equals sign here\r\n"
               "\r\n"
               "[Next]\r\n"
               "a=1\r\n");
    EXPECT_EQ(Read("colors", "text color", file), u"123"_s);
    EXPECT_TRUE(Write("Colors", "Back Color", u"0"_s, file));
    EXPECT_TRUE(Write("Next", "A", u"2"_s, file));
    EXPECT_EQ(ReadBytes(file), QByteArray("; a comment\r\n"
                                          "stray line\r\n"
                                          "[ Colors ] trailing words\r\n"
                                          "  Text Color =  123  \r\n"
                                          "Back Color=0\r\n"
                                          "no equals sign here\r\n"
                                          "\r\n"
                                          "[Next]\r\n"
                                          "a=2\r\n"));

    const QString plain = Path("plain.txt");  // no sections at all
    WriteBytes(plain, "key=value\nmore text");
    EXPECT_TRUE(Read("", "key", plain).isEmpty());
    EXPECT_TRUE(Write("S", "key", u"v"_s, plain));
    EXPECT_EQ(ReadBytes(plain), QByteArray("key=value\nmore text\n[S]\nkey=v\n"));
}

TEST_F(IniTest, FirstMatchWinsAcrossDuplicatedKeysAndSections) {
    const QString file = Path("dup.ini");
    WriteBytes(file, "k=before any section\n[S]\nk=first\nK=second\n[T]\nx=1\n[s]\nk=third\nj=4\n");
    EXPECT_EQ(Read("S", "k", file), u"first"_s);
    EXPECT_EQ(Read("S", "j", file), u"4"_s);
    EXPECT_TRUE(Write("S", "k", u"new"_s, file));
    EXPECT_TRUE(Write("S", "m", u"5"_s, file));
    EXPECT_EQ(
        ReadBytes(file),
        QByteArray(
            "k=before any section\n[S]\nk=new\nK=second\nm=5\n[T]\nx=1\n[s]\nk=third\nj=4\n"));

    EXPECT_TRUE(ini_.DeleteSection(u"s"_s, file));
    EXPECT_EQ(ReadBytes(file), QByteArray("k=before any section\n[T]\nx=1\n"));
    EXPECT_TRUE(Read("S", "j", file).isEmpty());
    EXPECT_TRUE(Write("S", "k", u"again"_s, file));
    EXPECT_EQ(Read("S", "k", file), u"again"_s);
}

TEST_F(IniTest, ChangesMadeByOthersAreSeen) {
    const QString file = Path("shared.ini");
    EXPECT_TRUE(Write("S", "k", u"ours"_s, file));
    EXPECT_EQ(Read("S", "k", file), u"ours"_s);

    IniFiles other;  // another writer replaces the file
    EXPECT_TRUE(other.WriteIni(u"S"_s, u"k"_s, u"xyz1"_s, file));
    EXPECT_EQ(Read("S", "k", file), u"xyz1"_s);

    WriteBytes(file, "[S]\nk=edited in place\n");  // an editor rewriting the same inode
    EXPECT_EQ(Read("S", "k", file), u"edited in place"_s);

    // Another spelling of the same file, cached separately, must not go stale after a write.
    const QString alias = dir_.path() + u"/./shared.ini"_s;
    EXPECT_EQ(Read("S", "k", alias), u"edited in place"_s);
    EXPECT_TRUE(Write("S", "k", u"edited in plac2"_s, file));
    EXPECT_EQ(Read("S", "k", alias), u"edited in plac2"_s);

    QFile::remove(file);
    EXPECT_TRUE(Read("S", "k", file).isEmpty());
}

TEST_F(IniTest, TextIsUtf8WhenValidElseLatin1AndWrittenAsUtf8) {
    const QString file = Path("enc.ini");
    WriteBytes(file, "[S]\nk=caf\xE9\n");
    EXPECT_EQ(Read("S", "k", file), u"caf\u00e9"_s);
    EXPECT_TRUE(Write("S", "n", u"\u00fcber"_s, file));
    EXPECT_EQ(ReadBytes(file), QByteArray("[S]\nk=caf\xC3\xA9\nn=\xC3\xBC"
                                          "ber\n"));

    const QString bom = Path("bom.ini");
    WriteBytes(bom, "\xEF\xBB\xBF[S]\nk=\xE2\x82\xAC\n");
    EXPECT_EQ(Read("S", "k", bom), u"\u20ac"_s);
    EXPECT_TRUE(Write("S", "k", u"1"_s, bom));
    EXPECT_EQ(ReadBytes(bom), QByteArray("\xEF\xBB\xBF[S]\nk=1\n"));
}

TEST_F(IniTest, GarbageEmptyAndHugeFilesReadEmptyAndSurviveAWrite) {
    const QString empty = Path("empty.ini");
    WriteBytes(empty, QByteArray());
    EXPECT_TRUE(Read("S", "k", empty).isEmpty());
    EXPECT_TRUE(Write("S", "k", u"v"_s, empty));
    EXPECT_EQ(ReadBytes(empty), QByteArray("[S]\nk=v\n"));

    const QString binary = Path("binary.ini");
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i) garbage.append(char((i * 7919) % 256));
    garbage.append(QByteArray("\n[S]\nk=a\0b\n", 11));
    WriteBytes(binary, garbage);
    EXPECT_EQ(Read("S", "k", binary), QString(u"a"_s + QChar(0) + u'b'));
    EXPECT_TRUE(Write("T", "x", u"1"_s, binary));
    const QString reread = QString::fromUtf8(ReadBytes(binary));
    EXPECT_TRUE(reread.startsWith(QString::fromLatin1(garbage)));
    EXPECT_EQ(Read("T", "x", binary), u"1"_s);

    // A line over 64 KiB is not read as a key, but it stays in the file.
    const QString huge = Path("huge.ini");
    const QByteArray longLine = "[S]\nk=" + QByteArray(10 * 1024 * 1024, 'z') + "\nj=2\n";
    WriteBytes(huge, longLine);
    EXPECT_TRUE(Read("S", "k", huge).isEmpty());
    EXPECT_EQ(Read("S", "j", huge), u"2"_s);
    EXPECT_TRUE(Write("S", "j", u"3"_s, huge));
    EXPECT_EQ(ReadBytes(huge), "[S]\nk=" + QByteArray(10 * 1024 * 1024, 'z') + "\nj=3\n");
    EXPECT_FALSE(Write("S", "k", QString(70 * 1024, u'z'), huge));
}

TEST_F(IniTest, FailedWritesReturnFalseAndLeaveTheOldFile) {
    const QString file = Path("good.ini");
    ASSERT_TRUE(Write("S", "k", u"v"_s, file));
    const QByteArray before = ReadBytes(file);

    // A control character in a value would be read as damage later.
    const char* const refused[][3] = {
        {"S", "k", "two\nlines"}, {"S", "k", "a\001b"}, {"S", "a=b", "v"}, {"S", "", "v"},
        {"S", "[T]", "v"},        {"a]b", "k", "v"},    {"", "k", "v"}};
    for (const auto& [section, key, value] : refused)
        EXPECT_FALSE(Write(section, key, QLatin1String(value), file)) << section << key << value;
    // One bad key among several: nothing is written.
    EXPECT_FALSE(ini_.WriteIni({{u"S"_s, u"k"_s, u"w"_s}, {u"S"_s, u"x"_s, u"\r"_s}}, file));
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(Read("S", "k", file), u"v"_s);

    const QString underFile = file + u"/sub/x.ini"_s;
    EXPECT_FALSE(Write("S", "k", u"v"_s, underFile));
    EXPECT_TRUE(Read("S", "k", underFile).isEmpty());
    EXPECT_FALSE(ini_.DeleteSection(u"S"_s, dir_.path()));
    EXPECT_FALSE(Write("S", "k", u"v"_s, dir_.path()));
    EXPECT_TRUE(QFileInfo(dir_.path()).isDir());
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{u"good.ini"_s});
}

TEST_F(IniTest, DeleteSectionAndUnchangedValuesDoNotTouchTheFile) {
    const QString missing = Path("none.ini");
    EXPECT_TRUE(ini_.DeleteSection(u"1.30"_s, missing));
    EXPECT_FALSE(QFileInfo::exists(missing));

    const QString file = Path("settings.ini");
    ASSERT_TRUE(ini_.WriteIni(
        {{u"1.30"_s, u"Path"_s, u"/a"_s}, {u"1.40"_s, u"Face"_s, u"Sample"_s}}, file));
    const ino_t inode = Inode(file);
    EXPECT_TRUE(Write("1.40", "face", u"Sample"_s, file));
    EXPECT_TRUE(ini_.DeleteSection(u"2.00"_s, file));
    EXPECT_EQ(Inode(file), inode);

    EXPECT_TRUE(ini_.DeleteSection(u"1.30"_s, file));
    EXPECT_EQ(ReadBytes(file), QByteArray("[1.40]\nFace=Sample\n"));
    EXPECT_NE(Inode(file), inode);
}

// A settings file is repaired at its first write after it was found damaged; that write must
// reach the disk even when the repaired copy already holds the value written. The repair
// belongs to the files that ask for it: a clean one keeps no backup, a damaged one that did
// not ask is written as it was.
TEST_F(IniTest, RepairIsWrittenEvenWhenTheValueStandsAlready) {
    const QString file = Path("settings.ini");
    const QString clean = Path("clean.ini");
    const QString other = Path("other.ini");
    WriteBytes(file, "[S]\nk=a\x01\nk=1\n");
    WriteBytes(clean, "; note\n[S]\nk=1\n\n");
    WriteBytes(other, "[S]\nk=1\n\x01\x02 junk\n");
    ini_.RepairWithBackup(file);
    ini_.RepairWithBackup(clean);
    EXPECT_TRUE(Write("S", "k", u"1"_s, file));
    EXPECT_EQ(ReadBytes(file), QByteArray("[S]\nk=1\n"));
    EXPECT_EQ(ReadBytes(file + u".bak"_s), QByteArray("[S]\nk=a\x01\nk=1\n"));
    for (const QString& written : {clean, other}) {
        EXPECT_TRUE(Write("S", "k", u"2"_s, written));
        EXPECT_FALSE(QFile::exists(written + u".bak"_s));
    }
    EXPECT_TRUE(ReadBytes(other).contains("junk"));
}

class AtomicFileTest : public ::testing::Test {
protected:
    QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir_;
    QString file_ = dir_.filePath(u"list.cvn"_s);
};

// A write that fails half-way (here: at the file size limit) leaves the old file and nothing
// else.
TEST_F(AtomicFileTest, ReplacesOrFailsLeavingTheOldFileAndNoTemporaryFile) {
    ASSERT_TRUE(WriteFileAtomically(file_, "first content, longer than the next\n"));
    ASSERT_TRUE(WriteFileAtomically(file_, "old\n"));
    EXPECT_EQ(ReadBytes(file_), QByteArray("old\n"));
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 256;
    // A small write is buffered and fails only when flushed, a large one at once.
    for (const qsizetype size : {qsizetype(300), qsizetype(64 * 1024)}) {
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        QString error;
        QString reason;
        const bool written = WriteFileAtomically(file_, QByteArray(size, 'x'), &error, &reason);
        ::setrlimit(RLIMIT_FSIZE, &saved);

        EXPECT_FALSE(written) << size;
        EXPECT_TRUE(error.contains(file_)) << error.toStdString();
        EXPECT_TRUE(error.endsWith(reason) && !reason.isEmpty()) << reason.toStdString();
        EXPECT_EQ(ReadBytes(file_), QByteArray("old\n"));
        EXPECT_EQ(Files(), QStringList{u"list.cvn"_s});
    }
    std::signal(SIGXFSZ, oldHandler);

    QDir(dir_.path()).mkdir(u"folder"_s);
    EXPECT_FALSE(WriteFileAtomically(dir_.filePath(u"folder"_s), "x"));
    EXPECT_FALSE(WriteFileAtomically(dir_.filePath(u"missing/x"_s), "x"));
    EXPECT_EQ(Files(), QStringList{u"list.cvn"_s});
}

// A write killed mid-way leaves its temporary file, named after its process; the next write
// of the same file removes it once that process is gone, and keeps a live process's.
TEST_F(AtomicFileTest, TheNextWriteRemovesTheTemporaryFileOfAKilledWrite) {
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const auto leftover = [&](qint64 pid) { return u".list.cvn.%1.tmp"_s.arg(pid); };
    for (const qint64 pid : {qint64(gone), qint64(::getppid())})
        ASSERT_TRUE(WriteFileAtomically(dir_.filePath(leftover(pid)), "half"));
    const QString otherFile = u".other.cvn.%1.tmp"_s.arg(gone);
    ASSERT_TRUE(WriteFileAtomically(dir_.filePath(otherFile), "x"));

    ASSERT_TRUE(WriteFileAtomically(file_, "new\n"));
    EXPECT_EQ(ReadBytes(file_), QByteArray("new\n"));
    EXPECT_EQ(Files(),
              (QStringList{u".list.cvn.%1.tmp"_s.arg(::getppid()), otherFile, u"list.cvn"_s}));
}

}  // namespace
}  // namespace corvane
