// Each file the program writes, saved by the real code in a child process that is killed with
// SIGKILL at random moments of the save: the file is always the whole old or the whole new
// content, and a killed write's temporary file is gone after the next save.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <functional>
#include <random>
#include <thread>

#include "appearance/colors.h"
#include "playlist/playlist.h"
#include "settings/ini.h"
#include "settings/settings.h"
#include "songlog/logfile.h"
#include "songlog/songlog.h"
#include "support/files.h"

namespace corvane {
namespace {

constexpr int kAttempts = 200;
constexpr int kBigList = 100'000;

// One kind of file: `save(variant)` is the program's own save of it, variant 0 the old
// content and 1 the new. An INI file is parsed before the fork, as the running program has it
// in its cache, so the child's time goes to the save.
struct SaveCase {
    const char* name;
    const char* file;
    bool ini;
    std::function<void(const QString& folder)> setUp;
    std::function<bool(const QString& folder, int variant)> save;
};

Playlist BigList(int variant) {
    Playlist list;
    list.SongList.reserve(kBigList);
    for (int i = 0; i < kBigList; ++i)
        list.SongList.append(
            QStringLiteral("/music/crate %1/song %2 take %3.mp3").arg(i % 97).arg(i).arg(variant));
    return list;
}

QList<LogEntry> BigLog() {
    QList<LogEntry> entries;
    for (int i = 0; i < kBigList; ++i)
        entries.append({QStringLiteral("12/7/2026"), QStringLiteral("4:%1 PM").arg(i % 60),
                        QStringLiteral("song %1").arg(i)});
    return entries;
}

// The song log's delay is run by hand.
struct HandTimer : OneShotTimer {
    void Start(int) override {}
    void Stop() override {}
    bool IsActive() const override { return false; }
};

// What every case shares: the INI files and settings of the process, made before the fork.
struct World {
    IniFiles ini;
    std::unique_ptr<Settings> settings;
    std::unique_ptr<SongLog> log;
    Playlist lists[2] = {BigList(0), BigList(1)};
    QList<LogEntry> entries = BigLog();
};

std::vector<SaveCase> Cases(World& w) {
    const auto file = [](const QString& folder, const char* name) {
        return folder + u'/' + QLatin1String(name);
    };
    const auto list = [&w](const char* name) {
        return [&w, name](const QString& folder, int variant) {
            return SavePlaylist(w.lists[variant], folder + u'/', QLatin1String(name), nullptr);
        };
    };
    return {
        {"settings", "Corvane.ini", true,
         [&w, file](const QString& folder) {
             QList<IniWrite> keys;
             for (int i = 0; i < 2000; ++i)
                 keys.append({QStringLiteral("1.40"), QStringLiteral("Key %1").arg(i),
                              QStringLiteral("value %1").arg(i)});
             ASSERT_TRUE(w.ini.WriteIni(keys, file(folder, "Corvane.ini")));
             w.settings = std::make_unique<Settings>(w.ini, file(folder, "Corvane.ini"));
         },
         [&w](const QString&, int variant) {
             return w.settings->SavePref(QStringLiteral("Key 1000"),
                                         QStringLiteral("variant %1").arg(variant));
         }},
        {"line-form playlist", "list.m3u", false, [](const QString&) {}, list("list.m3u")},
        {"PLS playlist", "list.pls", false, [](const QString&) {}, list("list.pls")},
        {"song log", "songs.log", true,
         [&w, file](const QString& folder) {
             const QString log = file(folder, "songs.log");
             QList<IniWrite> keys{{kLogTotalSection, kLogEntriesKey, QString::number(kBigList)}};
             for (int i = 1; i <= kBigList; ++i) {
                 const LogEntry& e = w.entries[i - 1];
                 keys.append({kLogSongsSection, LogKey(i, LogField::File), e.file});
                 keys.append({kLogSongsSection, LogKey(i, LogField::Date), e.date});
                 keys.append({kLogSongsSection, LogKey(i, LogField::Time), e.time});
             }
             ASSERT_TRUE(w.ini.WriteIni(keys, log));
             w.settings = std::make_unique<Settings>(w.ini, file(folder, "Corvane.ini"));
             const QDateTime at(QDate(2026, 12, 7), QTime(5, 0));
             w.log = std::make_unique<SongLog>(w.ini, *w.settings, std::make_unique<HandTimer>(),
                                               [at] { return at; });
             LogSettings options;
             options.logging = true;
             options.logFile = log;
             w.log->SetOptions(options);
         },
         // The old content is the log as it was; the new one has one more song.
         [&w](const QString&, int variant) {
             if (variant == 0) return true;
             w.log->LogSong(QStringLiteral("/music/the next song.mp3"));
             w.log->LogTimer_Timer();
             return w.log->PendingCount() == 0;
         }},
        {"colors.txt", "colors.txt", true, [](const QString&) {},
         [&w, file](const QString& folder, int variant) {
             appearance::SchemeColors colors;
             colors.text = variant == 0 ? 0x123456 : 0x654321;
             return appearance::WriteFaceColors(w.ini, file(folder, "colors.txt"), colors,
                                                variant == 1);
         }},
        {"text export", "songs.txt", false, [](const QString&) {},
         [&w, file](const QString& folder, int variant) {
             return WriteTextLog(w.entries, true, variant == 1, file(folder, "songs.txt"), nullptr);
         }},
    };
}

int ThreadCount() {
    return int(QDir(QStringLiteral("/proc/self/task"))
                   .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                   .size());
}

// Runs the save in a child and kills it `killAfterUs` after the fork unless that is negative.
// Returns the microseconds from the fork to the end of the save, or -1 when the kill came
// first. The child's exit (a large address space to tear down) is not counted.
long SaveInChild(const SaveCase& c, const QString& folder, int variant, long killAfterUs) {
    int done[2];
    if (::pipe(done) != 0) return -1;
    QElapsedTimer clock;
    clock.start();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const bool saved = c.save(folder, variant);
        (void)!::write(done[1], "s", 1);
        ::_exit(saved ? 0 : 1);
    }
    ::close(done[1]);
    if (killAfterUs >= 0) {
        // A sleep may oversleep by more than a short save lasts: short waits spin.
        if (killAfterUs > 20'000)
            std::this_thread::sleep_for(std::chrono::microseconds(killAfterUs));
        while (clock.nsecsElapsed() / 1000 < killAfterUs) {
        }
        ::kill(pid, SIGKILL);
    }
    char byte = 0;
    const bool finished = ::read(done[0], &byte, 1) == 1;
    const long us = long(clock.nsecsElapsed() / 1000);
    ::close(done[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status)) {
        EXPECT_EQ(WEXITSTATUS(status), 0) << c.name;
    }
    return finished ? us : -1;
}

QStringList Others(const QString& folder, const char* file) {
    QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    names.removeAll(QLatin1String(file));
    return names;
}

TEST(KillDuringSave, TheFileIsAlwaysWholeOldOrWholeNewAndLeftoversAreCleaned) {
    // fork() copies only the calling thread: the saves must not need another one.
    ASSERT_EQ(ThreadCount(), 1);
    World world;
    std::mt19937 random(20261207);
    for (const SaveCase& c : Cases(world)) {
        // A kill tests the rename, not the disk: memory-backed files keep the run short.
        QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                              ? QStringLiteral("/dev/shm/corvane-kill-XXXXXX")
                              : QDir::tempPath() + QStringLiteral("/corvane-kill-XXXXXX"));
        const QString folder = dir.path();
        const QString path = folder + u'/' + QLatin1String(c.file);
        c.setUp(folder);
        ASSERT_TRUE(c.save(folder, 0)) << c.name;
        const QByteArray old = ReadBytes(path);
        if (c.ini) world.ini.ReadIni(QStringLiteral("Total"), QStringLiteral("Entries"), path);
        // The shortest of three whole saves: the kills fall inside it and a little after.
        long saveUs = 0;
        for (int run = 0; run < 3; ++run) {
            const long us = SaveInChild(c, folder, 1, -1);
            saveUs = run == 0 ? us : std::min(saveUs, us);
            QFile reset(path);
            ASSERT_TRUE(reset.open(QIODevice::WriteOnly) && reset.write(old) == old.size());
            if (c.ini) world.ini.ReadIni(QStringLiteral("Total"), QStringLiteral("Entries"), path);
        }
        SaveInChild(c, folder, 1, -1);
        const QByteArray fresh = ReadBytes(path);
        ASSERT_FALSE(old.isEmpty()) << c.name;
        ASSERT_NE(old, fresh) << c.name;

        std::uniform_int_distribution<long> moment(0, saveUs + saveUs / 5);
        int killed = 0, wasOld = 0, wasNew = 0, broken = 0, piledUp = 0;
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            if (ReadBytes(path) != old) {
                QFile reset(path);
                ASSERT_TRUE(reset.open(QIODevice::WriteOnly) && reset.write(old) == old.size());
            }
            if (c.ini) world.ini.ReadIni(QStringLiteral("Total"), QStringLiteral("Entries"), path);
            killed += SaveInChild(c, folder, 1, moment(random)) < 0;
            const QByteArray after = ReadBytes(path);
            (after == old ? wasOld : after == fresh ? wasNew : broken)++;
            // The killed write's own temporary file at most: the earlier ones were cleaned.
            if (Others(folder, c.file).size() > 1) ++piledUp;
        }
        SaveInChild(c, folder, 1, -1);
        const QStringList left = Others(folder, c.file);
        std::printf(
            "%s: %d attempts, %d killed mid-save, old %d, new %d, broken %d (save %ld us)\n",
            c.name, kAttempts, killed, wasOld, wasNew, broken, saveUs);
        EXPECT_EQ(broken, 0) << c.name;
        EXPECT_EQ(piledUp, 0) << c.name;
        EXPECT_TRUE(left.isEmpty()) << c.name << ": " << left.join(u' ').toStdString();
        EXPECT_EQ(ReadBytes(path), fresh) << c.name;
    }
}

}  // namespace
}  // namespace corvane
