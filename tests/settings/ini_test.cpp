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

TEST_F(IniTest, WritesNewFileInMissingFoldersAndReadsBackCaseBlind) {
    const QString file = Path("a/b/songs.log");
    EXPECT_TRUE(Read("Total", "Entries", file).isEmpty());
    EXPECT_TRUE(Write("Total", "Entries", QStringLiteral("1"), file));
    EXPECT_TRUE(Write("Songs", "1 File", QStringLiteral("Song One"), file));
    EXPECT_TRUE(Write("total", "ENTRIES", QStringLiteral("2"), file));
    EXPECT_EQ(ReadBytes(file), QByteArray("[Total]\nEntries=2\n[Songs]\n1 File=Song One\n"));
    EXPECT_EQ(Read("TOTAL", "entries", file), QStringLiteral("2"));
    EXPECT_TRUE(Read("Songs", "1 Date", file).isEmpty());
    EXPECT_TRUE(Read("Other", "1 File", file).isEmpty());

    // A second instance parses the file from scratch and must agree with the cached one.
    IniFiles other;
    EXPECT_EQ(other.ReadIni(QStringLiteral("songs"), QStringLiteral("1 file"), file),
              QStringLiteral("Song One"));
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
    EXPECT_EQ(Read("colors", "text color", file), QStringLiteral("123"));
    EXPECT_TRUE(Write("Colors", "Back Color", QStringLiteral("0"), file));
    EXPECT_TRUE(Write("Next", "A", QStringLiteral("2"), file));
    EXPECT_EQ(ReadBytes(file), QByteArray("; a comment\r\n"
                                          "stray line\r\n"
                                          "[ Colors ] trailing words\r\n"
                                          "  Text Color =  123  \r\n"
                                          "Back Color=0\r\n"
                                          "no equals sign here\r\n"
                                          "\r\n"
                                          "[Next]\r\n"
                                          "a=2\r\n"));
}

TEST_F(IniTest, FirstMatchWinsAcrossDuplicatedKeysAndSections) {
    const QString file = Path("dup.ini");
    WriteBytes(file, "k=before any section\n[S]\nk=first\nK=second\n[T]\nx=1\n[s]\nk=third\nj=4\n");
    EXPECT_EQ(Read("S", "k", file), QStringLiteral("first"));
    EXPECT_EQ(Read("S", "j", file), QStringLiteral("4"));
    EXPECT_TRUE(Write("S", "k", QStringLiteral("new"), file));
    EXPECT_TRUE(Write("S", "m", QStringLiteral("5"), file));
    EXPECT_EQ(
        ReadBytes(file),
        QByteArray(
            "k=before any section\n[S]\nk=new\nK=second\nm=5\n[T]\nx=1\n[s]\nk=third\nj=4\n"));

    EXPECT_TRUE(ini_.DeleteSection(QStringLiteral("s"), file));
    EXPECT_EQ(ReadBytes(file), QByteArray("k=before any section\n[T]\nx=1\n"));
    EXPECT_TRUE(Read("S", "j", file).isEmpty());
    EXPECT_TRUE(Write("S", "k", QStringLiteral("again"), file));
    EXPECT_EQ(Read("S", "k", file), QStringLiteral("again"));
}

TEST_F(IniTest, FileWithoutSectionsKeepsItsLinesWhenWritten) {
    const QString file = Path("plain.txt");
    WriteBytes(file, "key=value\nmore text");
    EXPECT_TRUE(Read("", "key", file).isEmpty());
    EXPECT_TRUE(Write("S", "key", QStringLiteral("v"), file));
    EXPECT_EQ(ReadBytes(file), QByteArray("key=value\nmore text\n[S]\nkey=v\n"));
}

TEST_F(IniTest, ValuesAreWrittenAndReadWhole) {
    const QString file = Path("long.ini");
    const QString path10k = QString(10000, u'y');
    EXPECT_TRUE(Write("Songs", "2 File", path10k, file));
    EXPECT_TRUE(Write("Songs", "3 File", QStringLiteral("  padded  "), file));
    EXPECT_EQ(Read("Songs", "2 File", file), path10k);
    EXPECT_EQ(Read("Songs", "3 File", file), QStringLiteral("padded"));
    IniFiles fresh;
    EXPECT_EQ(fresh.ReadIni(QStringLiteral("Songs"), QStringLiteral("2 File"), file), path10k);
}

TEST_F(IniTest, ChangesMadeByOthersAreSeen) {
    const QString file = Path("shared.ini");
    EXPECT_TRUE(Write("S", "k", QStringLiteral("ours"), file));
    EXPECT_EQ(Read("S", "k", file), QStringLiteral("ours"));

    IniFiles other;  // another writer replaces the file
    EXPECT_TRUE(
        other.WriteIni(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("xyz1"), file));
    EXPECT_EQ(Read("S", "k", file), QStringLiteral("xyz1"));

    WriteBytes(file, "[S]\nk=edited in place\n");  // an editor rewriting the same inode
    EXPECT_EQ(Read("S", "k", file), QStringLiteral("edited in place"));

    // Another spelling of the same file, cached separately, must not go stale after a write.
    const QString alias = dir_.path() + QStringLiteral("/./shared.ini");
    EXPECT_EQ(Read("S", "k", alias), QStringLiteral("edited in place"));
    EXPECT_TRUE(Write("S", "k", QStringLiteral("edited in plac2"), file));
    EXPECT_EQ(Read("S", "k", alias), QStringLiteral("edited in plac2"));

    QFile::remove(file);
    EXPECT_TRUE(Read("S", "k", file).isEmpty());
}

TEST_F(IniTest, TextIsUtf8WhenValidElseLatin1AndWrittenAsUtf8) {
    const QString file = Path("enc.ini");
    WriteBytes(file, "[S]\nk=caf\xE9\n");
    EXPECT_EQ(Read("S", "k", file), QStringLiteral("caf\u00e9"));
    EXPECT_TRUE(Write("S", "n", QStringLiteral("\u00fcber"), file));
    EXPECT_EQ(ReadBytes(file), QByteArray("[S]\nk=caf\xC3\xA9\nn=\xC3\xBC"
                                          "ber\n"));

    const QString bom = Path("bom.ini");
    WriteBytes(bom, "\xEF\xBB\xBF[S]\nk=\xE2\x82\xAC\n");
    EXPECT_EQ(Read("S", "k", bom), QStringLiteral("\u20ac"));
    EXPECT_TRUE(Write("S", "k", QStringLiteral("1"), bom));
    EXPECT_EQ(ReadBytes(bom), QByteArray("\xEF\xBB\xBF[S]\nk=1\n"));
}

TEST_F(IniTest, GarbageEmptyAndHugeFilesReadEmptyAndSurviveAWrite) {
    const QString empty = Path("empty.ini");
    WriteBytes(empty, QByteArray());
    EXPECT_TRUE(Read("S", "k", empty).isEmpty());
    EXPECT_TRUE(Write("S", "k", QStringLiteral("v"), empty));
    EXPECT_EQ(ReadBytes(empty), QByteArray("[S]\nk=v\n"));

    const QString binary = Path("binary.ini");
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i) garbage.append(char((i * 7919) % 256));
    garbage.append(QByteArray("\n[S]\nk=a\0b\n", 11));
    WriteBytes(binary, garbage);
    EXPECT_EQ(Read("S", "k", binary), QString(QStringLiteral("a") + QChar(0) + u'b'));
    EXPECT_TRUE(Write("T", "x", QStringLiteral("1"), binary));
    const QString reread = QString::fromUtf8(ReadBytes(binary));
    EXPECT_TRUE(reread.startsWith(QString::fromLatin1(garbage)));
    EXPECT_EQ(Read("T", "x", binary), QStringLiteral("1"));

    // A line over 64 KiB is not read as a key, but it stays in the file.
    const QString huge = Path("huge.ini");
    const QByteArray longLine = "[S]\nk=" + QByteArray(10 * 1024 * 1024, 'z') + "\nj=2\n";
    WriteBytes(huge, longLine);
    EXPECT_TRUE(Read("S", "k", huge).isEmpty());
    EXPECT_EQ(Read("S", "j", huge), QStringLiteral("2"));
    EXPECT_TRUE(Write("S", "j", QStringLiteral("3"), huge));
    EXPECT_EQ(ReadBytes(huge), "[S]\nk=" + QByteArray(10 * 1024 * 1024, 'z') + "\nj=3\n");
    EXPECT_FALSE(Write("S", "k", QString(70 * 1024, u'z'), huge));
}

TEST_F(IniTest, FailedWritesReturnFalseAndLeaveTheOldFile) {
    const QString file = Path("good.ini");
    ASSERT_TRUE(Write("S", "k", QStringLiteral("v"), file));
    const QByteArray before = ReadBytes(file);

    // A control character in a value would be read as damage later.
    const char* const refused[][3] = {
        {"S", "k", "two\nlines"}, {"S", "k", "a\001b"}, {"S", "a=b", "v"}, {"S", "", "v"},
        {"S", "[T]", "v"},        {"a]b", "k", "v"},    {"", "k", "v"}};
    for (const auto& [section, key, value] : refused)
        EXPECT_FALSE(Write(section, key, QLatin1String(value), file)) << section << key << value;
    // One bad key among several: nothing is written.
    EXPECT_FALSE(ini_.WriteIni({{QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("w")},
                                {QStringLiteral("S"), QStringLiteral("x"), QStringLiteral("\r")}},
                               file));
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(Read("S", "k", file), QStringLiteral("v"));

    const QString underFile = file + QStringLiteral("/sub/x.ini");
    EXPECT_FALSE(Write("S", "k", QStringLiteral("v"), underFile));
    EXPECT_TRUE(Read("S", "k", underFile).isEmpty());
    EXPECT_FALSE(ini_.DeleteSection(QStringLiteral("S"), dir_.path()));
    EXPECT_FALSE(Write("S", "k", QStringLiteral("v"), dir_.path()));
    EXPECT_TRUE(QFileInfo(dir_.path()).isDir());
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList{QStringLiteral("good.ini")});
}

TEST_F(IniTest, DeleteSectionAndUnchangedValuesDoNotTouchTheFile) {
    const QString missing = Path("none.ini");
    EXPECT_TRUE(ini_.DeleteSection(QStringLiteral("1.30"), missing));
    EXPECT_FALSE(QFileInfo::exists(missing));

    const QString file = Path("settings.ini");
    ASSERT_TRUE(
        ini_.WriteIni({{QStringLiteral("1.30"), QStringLiteral("Path"), QStringLiteral("/a")},
                       {QStringLiteral("1.40"), QStringLiteral("Face"), QStringLiteral("Sample")}},
                      file));
    const ino_t inode = Inode(file);
    EXPECT_TRUE(Write("1.40", "face", QStringLiteral("Sample"), file));
    EXPECT_TRUE(ini_.DeleteSection(QStringLiteral("2.00"), file));
    EXPECT_EQ(Inode(file), inode);

    EXPECT_TRUE(ini_.DeleteSection(QStringLiteral("1.30"), file));
    EXPECT_EQ(ReadBytes(file), QByteArray("[1.40]\nFace=Sample\n"));
    EXPECT_NE(Inode(file), inode);
}

// A settings file is repaired at its first write after it was found damaged; that write must
// reach the disk even when the repaired copy already holds the value written.
TEST_F(IniTest, RepairIsWrittenEvenWhenTheValueStandsAlready) {
    const QString file = Path("settings.ini");
    WriteBytes(file, "[S]\nk=a\x01\nk=1\n");
    ini_.RepairWithBackup(file);
    EXPECT_TRUE(Write("S", "k", QStringLiteral("1"), file));
    EXPECT_EQ(ReadBytes(file), QByteArray("[S]\nk=1\n"));
    EXPECT_EQ(ReadBytes(file + QStringLiteral(".bak")), QByteArray("[S]\nk=a\x01\nk=1\n"));
}

class AtomicFileTest : public ::testing::Test {
protected:
    QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir dir_;
    QString file_ = dir_.filePath(QStringLiteral("list.cvn"));
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
        EXPECT_EQ(Files(), QStringList{QStringLiteral("list.cvn")});
    }
    std::signal(SIGXFSZ, oldHandler);

    QDir(dir_.path()).mkdir(QStringLiteral("folder"));
    EXPECT_FALSE(WriteFileAtomically(dir_.filePath(QStringLiteral("folder")), "x"));
    EXPECT_FALSE(WriteFileAtomically(dir_.filePath(QStringLiteral("missing/x")), "x"));
    EXPECT_EQ(Files(), QStringList{QStringLiteral("list.cvn")});
}

// A write killed mid-way leaves its temporary file, named after its process; the next write
// of the same file removes it once that process is gone, and keeps a live process's.
TEST_F(AtomicFileTest, TheNextWriteRemovesTheTemporaryFileOfAKilledWrite) {
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ASSERT_EQ(::waitpid(gone, nullptr, 0), gone);
    const auto leftover = [&](qint64 pid) { return QStringLiteral(".list.cvn.%1.tmp").arg(pid); };
    for (const qint64 pid : {qint64(gone), qint64(::getppid())})
        ASSERT_TRUE(WriteFileAtomically(dir_.filePath(leftover(pid)), "half"));
    const QString otherFile = QStringLiteral(".other.cvn.%1.tmp").arg(gone);
    ASSERT_TRUE(WriteFileAtomically(dir_.filePath(otherFile), "x"));

    ASSERT_TRUE(WriteFileAtomically(file_, "new\n"));
    EXPECT_EQ(ReadBytes(file_), QByteArray("new\n"));
    EXPECT_EQ(Files(), (QStringList{QStringLiteral(".list.cvn.%1.tmp").arg(::getppid()), otherFile,
                                    QStringLiteral("list.cvn")}));
}

}  // namespace
}  // namespace corvane
