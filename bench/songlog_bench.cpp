#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "settings/ini.h"
#include "settings/settings.h"
#include "songlog/logfile.h"
#include "songlog/songlog.h"

namespace {

using namespace Qt::StringLiterals;

// Fired by the benchmark loop instead of the event loop.
class BenchTimer final : public corvane::OneShotTimer {
public:
    void Start(int) override { active_ = true; }
    void Stop() override { active_ = false; }
    bool IsActive() const override { return active_; }

private:
    bool active_ = false;
};

// A log of `entries` entries written through the INI module in one go.
bool FillLog(corvane::IniFiles& ini, const QString& file, int entries) {
    using corvane::LogField;
    using corvane::LogKey;
    QList<corvane::IniWrite> writes;
    writes.append({corvane::kLogTotalSection, corvane::kLogEntriesKey, QString::number(entries)});
    const QString songs = corvane::kLogSongsSection;
    for (int n = 1; n <= entries; ++n) {
        writes.append({songs, LogKey(n, LogField::File),
                       u"/home/dj/Music/Some Artist/Some Album/%1 - Track.mp3"_s.arg(n)});
        writes.append({songs, LogKey(n, LogField::Date), u"01.05.24"_s});
        writes.append({songs, LogKey(n, LogField::Time), u"21:15:07"_s});
    }
    return ini.WriteIni(writes, file);
}

// One song queued and written into a log of that many entries: the whole LogTimer tick
// (count read, one atomic rewrite with the folder synced). Compare BM_WriteIniLogFloor.
void BM_LogSong(benchmark::State& state) {
    QTemporaryDir dir;
    corvane::IniFiles ini;
    corvane::Settings settings(ini, dir.filePath(u"Corvane.ini"_s),
                               corvane::keys::DefaultFolders{dir.path(), dir.path()});
    settings.SavePref(corvane::keys::kLogging, true);
    corvane::SongLog log(ini, settings, std::make_unique<BenchTimer>());
    if (!FillLog(ini, log.LogFile(), int(state.range(0)))) state.SkipWithError("fill failed");
    for (auto _ : state) {
        log.LogSong(u"/home/dj/Music/New Song.mp3"_s);
        log.LogTimer_Timer();
    }
    if (log.PendingCount() != 0) state.SkipWithError("write failed");
}
BENCHMARK(BM_LogSong)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
