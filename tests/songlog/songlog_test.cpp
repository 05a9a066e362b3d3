#include "songlog/songlog.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "settings/ini.h"
#include "settings/settings.h"
#include "songlog/logfile.h"
#include "support/files.h"
#include "support/qstring_printer.h"

namespace corvane {
namespace {

using namespace Qt::StringLiterals;

class ManualTimer final : public OneShotTimer {
public:
    void Start(int ms) override {
        active = true;
        lastMs = ms;
    }
    void Stop() override { active = false; }
    bool IsActive() const override { return active; }
    void Fire() {
        if (active && onTimeout) onTimeout();
    }
    bool active = false;
    int lastMs = 0;
};

const QDateTime kStart(QDate(2024, 5, 1), QTime(21, 15, 7));

// A song log over a manual timer and a manual clock, logging on, writing into a temporary
// folder.
class SongLogTest : public ::testing::Test {
protected:
    SongLogTest() {
        auto timer = std::make_unique<ManualTimer>();
        timer_ = timer.get();
        log_ =
            std::make_unique<SongLog>(ini_, settings_, std::move(timer), [this] { return now_; });
        log_->SetLocale(QLocale(QLocale::German, QLocale::Germany));
        Set(&LogSettings::logging, true);
    }

    template <typename T>
    void Set(T LogSettings::*option, T value) {
        LogSettings options = log_->Options();
        options.*option = value;
        log_->SetOptions(options);
    }
    void WriteLog(const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(log_->LogFile()).absolutePath());
        QFile f(log_->LogFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // Logs a song and lets the delay pass.
    void LogAndWrite(const QString& path) {
        log_->LogSong(path);
        timer_->Fire();
    }
    QString Read(const QString& section, const QString& key) {
        return ini_.ReadIni(section, key, log_->LogFile());
    }
    QString Song(int n, LogField field) { return Read(kLogSongsSection, LogKey(n, field)); }
    QString Entries() { return Read(kLogTotalSection, kLogEntriesKey); }

    QTemporaryDir dir_;
    IniFiles ini_;
    Settings settings_{ini_, dir_.filePath(u"Corvane.ini"_s),
                       keys::DefaultFolders{dir_.path(), dir_.filePath(u"data"_s)}};
    ManualTimer* timer_ = nullptr;
    QDateTime now_ = kStart;
    std::unique_ptr<SongLog> log_;
};

// The first entries create the file in the user data folder, and songs that start within the
// delay are all written, in order, when it has passed.
TEST_F(SongLogTest, SongsStartingWithinTheDelayAreAllWrittenInOrderIntoTheDataFolder) {
    EXPECT_EQ(log_->LogFile(), dir_.filePath(u"data/songs.log"_s));
    QSignalSpy written(log_.get(), &SongLog::EntryWritten);
    log_->LogSong(u"/music/Song One.mp3"_s);
    EXPECT_TRUE(timer_->active);
    EXPECT_EQ(timer_->lastMs, 500);
    now_ = now_.addMSecs(300);
    log_->LogSong(u"/music/Second.wav"_s);
    EXPECT_EQ(log_->PendingCount(), 2);
    EXPECT_FALSE(QFile::exists(log_->LogFile()));

    timer_->Fire();
    EXPECT_FALSE(timer_->active);
    EXPECT_EQ(QString::fromUtf8(ReadBytes(log_->LogFile())),
              u"[Total]\nEntries=2\n[Songs]\n1 File=Song One\n1 Date=01.05.24\n1 Time=21:15:07\n"
              "2 File=Second\n2 Date=01.05.24\n2 Time=21:15:07\n"_s);
    ASSERT_EQ(written.size(), 2);
    EXPECT_EQ(written[0][0].toInt(), 1);
    EXPECT_EQ(written[1][0].toInt(), 2);
}

TEST_F(SongLogTest, LogPathChoosesFullPathOrSongName) {
    // Whole values: no 80-character cut.
    const QString longPath = u"/music/"_s + QString(100, u'x') + u"/a.b/Song Two.mp3"_s;
    LogAndWrite(longPath);
    Set(&LogSettings::logPath, true);
    LogAndWrite(longPath);
    // A control character, which no INI line may hold, becomes a blank.
    LogAndWrite(u"/music/a\x01"_s + u"b.mp3"_s);
    EXPECT_EQ(Song(1, LogField::File), u"Song Two"_s);
    EXPECT_EQ(Song(2, LogField::File), longPath);
    EXPECT_EQ(Song(3, LogField::File), u"/music/a b.mp3"_s);
    // A dot in a folder is no extension; a song without one keeps its whole name.
    EXPECT_EQ(SongLog::LoggedText(u"/my.music/Intro"_s, false), u"Intro"_s);
}

// Logging off drops what waits and queues nothing; the AutoPilot's songs are logged whatever
// "LogAll" says, the line players' only with it.
TEST_F(SongLogTest, LoggingAndLogAllDecideWhatIsWritten) {
    log_->LogSong(u"/music/First.mp3"_s);
    Set(&LogSettings::logging, false);
    timer_->Fire();
    EXPECT_FALSE(QFile::exists(log_->LogFile()));
    EXPECT_EQ(log_->PendingCount(), 0);
    log_->LogSong(u"/music/Second.mp3"_s);  // off: not even queued
    EXPECT_FALSE(timer_->active);
    EXPECT_EQ(log_->PendingCount(), 0);

    Set(&LogSettings::logging, true);
    Set(&LogSettings::logAll, false);
    log_->LogLineSong(u"/music/Line Three.mp3"_s);
    EXPECT_EQ(log_->PendingCount(), 0);
    log_->LogSong(u"/music/AutoPilot.mp3"_s);
    Set(&LogSettings::logAll, true);
    log_->LogLineSong(u"/music/Line Three.mp3"_s);
    timer_->Fire();
    EXPECT_EQ(Song(1, LogField::File), u"AutoPilot"_s);
    EXPECT_EQ(Song(2, LogField::File), u"Line Three"_s);
}

TEST_F(SongLogTest, EntryCountZeroRestartsAtOneOverTheOldKeys) {
    for (const QString& s : {u"/a/One.mp3"_s, u"/a/Two.mp3"_s}) LogAndWrite(s);
    ASSERT_TRUE(ClearLog(ini_, log_->LogFile()));
    LogAndWrite(u"/a/Three.mp3"_s);
    EXPECT_EQ(Entries(), u"1"_s);
    EXPECT_EQ(Song(1, LogField::File), u"Three"_s);
    EXPECT_EQ(Song(2, LogField::File), u"Two"_s);  // left over, past "Entries"
}

TEST(SongLogCount, EntriesTextIsReadByItsLeadingNumber) {
    const struct {
        const char* text;
        std::optional<int> count;
    } cases[] = {{"12", 12},
                 {" 12abc", 12},
                 {"11.6", 12},
                 {"1e99", 1},  // the leading number is 1
                 {"0", 0},
                 {"", std::nullopt},
                 {"junk", std::nullopt},
                 {"-5", std::nullopt},
                 {"99999999999", std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(ParseLogEntryCount(QLatin1String(c.text)), c.count) << c.text;
}

// A count that was lost or damaged must not send the next song over entry 1.
TEST_F(SongLogTest, LostCountAppendsAfterTheHighestEntry) {
    for (const char* total : {"", "[Total]\nEntries=junk\n"}) {
        WriteLog(QByteArray(total) + "[Songs]\n1 File=One\n3 File=Three\n3 Date=d\n");
        LogAndWrite(u"/a/Four.mp3"_s);
        EXPECT_EQ(Entries(), u"4"_s) << total;
        EXPECT_EQ(Song(1, LogField::File), u"One"_s) << total;
        EXPECT_EQ(Song(4, LogField::File), u"Four"_s) << total;
    }
}

// The table has a row per entry up to the last one present: a count that claims more than
// the file holds sizes nothing.
TEST_F(SongLogTest, TableRowsComeFromTheEntriesPresent) {
    const struct {
        const char* log;
        int rows;
    } cases[] = {
        {"[Total]\nEntries=1999999999\n", 0},  // 27 bytes
        {"[Total]\nEntries=1999999999\n[Songs]\n1999999998 File=x\n2 File=b\n", 2},
        {"[Total]\nEntries=3\n[Songs]\n1 File=a\n2 File=b\n4 File=past\n", 2},
        {"[Songs]\n2 File=b\n2 Time=t\n", 2},
    };
    for (const auto& c : cases) {
        WriteLog(c.log);
        const QList<LogEntry> entries = ReadLogEntries(ini_, log_->LogFile());
        ASSERT_EQ(entries.size(), c.rows) << c.log;
        if (c.rows == 2) {
            EXPECT_EQ(entries[1].file, u"b"_s) << c.log;
            EXPECT_TRUE(entries[0].date.isEmpty()) << c.log;
        }
    }
}

TEST_F(SongLogTest, UnwritableLogKeepsTheSongsAndReportsOnce) {
    QFile blocker(dir_.filePath(u"blocker"_s));  // a file where a folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString good = log_->LogFile();
    Set(&LogSettings::logFile, dir_.filePath(u"blocker/songs.log"_s));
    QSignalSpy failed(log_.get(), &SongLog::WriteFailed);

    LogAndWrite(u"/a/One.mp3"_s);
    LogAndWrite(u"/a/Two.mp3"_s);
    EXPECT_EQ(failed.size(), 1);
    EXPECT_TRUE(failed[0][0].toString().contains(u"blocker/songs.log"_s));
    EXPECT_EQ(log_->PendingCount(), 2);

    // Once the log can be written, both land, in order, and a later failure is told again.
    Set(&LogSettings::logFile, good);
    LogAndWrite(u"/a/Three.mp3"_s);
    EXPECT_EQ(Entries(), u"3"_s);
    EXPECT_EQ(Song(1, LogField::File), u"One"_s);
    EXPECT_EQ(Song(3, LogField::File), u"Three"_s);
    Set(&LogSettings::logFile, dir_.filePath(u"blocker/songs.log"_s));
    LogAndWrite(u"/a/Four.mp3"_s);
    EXPECT_EQ(failed.size(), 2);
}

}  // namespace
}  // namespace corvane
