#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include "bench_widgets.h"
#include "settings/ini.h"
#include "settings/settings.h"
#include "songlog/logfile.h"
#include "songlog/songlog.h"
#include "songlog/ui/log_view.h"

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

// The viewer filled from a log of that many entries: RefreshListing up to the end of the
// fill, driven by the event loop as in the program. "longest_gap_ms" is the longest wait of a
// 10 ms timer during the refresh: how long the window was kept from other work at a time.
void BM_RefreshListing(benchmark::State& state) {
    if (!corvane::bench::HaveWidgets()) {
        state.SkipWithError("needs a QApplication: run with --benchmark_filter=RefreshListing");
        return;
    }
    QTemporaryDir dir;
    corvane::IniFiles ini;
    corvane::Settings settings(ini, dir.filePath(u"Corvane.ini"_s),
                               corvane::keys::DefaultFolders{dir.path(), dir.path()});
    const QString logFile = settings.GetText(corvane::keys::kLogFile);
    if (!FillLog(ini, logFile, int(state.range(0)))) state.SkipWithError("fill failed");
    corvane::songlog::LogReader reader;
    corvane::songlog::View view(settings, [logFile] { return logFile; },
                                corvane::songlog::LogDialogs::Standard(), reader);
    view.setAttribute(Qt::WA_DeleteOnClose, false);
    view.show();
    qint64 longestGapNs = 0;
    QElapsedTimer sinceTick;
    QTimer probe;
    probe.setInterval(10);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        longestGapNs = std::max(longestGapNs, sinceTick.nsecsElapsed());
        sinceTick.restart();
    });
    QEventLoop loop;
    QObject::connect(&view, &corvane::songlog::View::RefreshFinished, &loop, &QEventLoop::quit);
    for (auto _ : state) {
        sinceTick.start();
        probe.start();
        view.RefreshListing();
        loop.exec();
        longestGapNs = std::max(longestGapNs, sinceTick.nsecsElapsed());
        probe.stop();
    }
    if (view.Model().rowCount() != state.range(0)) state.SkipWithError("wrong row count");
    state.counters["longest_gap_ms"] = double(longestGapNs) / 1e6;
}
BENCHMARK(BM_RefreshListing)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The text export of a log of that many entries, both columns on: the log read and the text
// file written durably. Compare BM_ReadIniLogFloor and BM_WriteIniLogFloor.
void BM_ExportTextLog(benchmark::State& state) {
    QTemporaryDir dir;
    corvane::IniFiles ini;
    const QString logFile = dir.filePath(u"songs.log"_s);
    if (!FillLog(ini, logFile, int(state.range(0)))) state.SkipWithError("fill failed");
    for (auto _ : state) {
        corvane::IniFiles fresh;  // the parse is part of the figure
        if (!corvane::WriteTextLog(corvane::ReadLogEntries(fresh, logFile), true, true,
                                   dir.filePath(u"songs.txt"_s), nullptr))
            state.SkipWithError("export failed");
    }
}
BENCHMARK(BM_ExportTextLog)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
