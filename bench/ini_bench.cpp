#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include "settings/atomic_file.h"
#include "settings/ini.h"

namespace {

// A song log as the logger leaves it: the count, then File, Date and Time of every entry.
QString WriteSongLog(const QTemporaryDir& dir, int64_t entries) {
    const QString path = dir.filePath(QStringLiteral("songs.log"));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write("[Total]\nEntries=" + QByteArray::number(entries) + "\n[Songs]\n");
    for (int64_t n = 1; n <= entries; ++n) {
        const QByteArray number = QByteArray::number(n);
        f.write(number + " File=/home/dj/Music/Some Artist/Some Album/" + number +
                " - Track.mp3\n" + number + " Date=2024-05-01\n" + number + " Time=21:15:07\n");
    }
    return path;
}

// Every key of every entry, read through a fresh IniFiles, so the parse is part of the figure.
void BM_ReadIniLog(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = WriteSongLog(dir, state.range(0));
    const QString songs = QStringLiteral("Songs");
    for (auto _ : state) {
        corvane::IniFiles ini;
        const int entries =
            ini.ReadIni(QStringLiteral("Total"), QStringLiteral("Entries"), path).toInt();
        if (entries != state.range(0)) state.SkipWithError("wrong entry count");
        for (int n = 1; n <= entries; ++n) {
            const QString number = QString::number(n);
            benchmark::DoNotOptimize(ini.ReadIni(songs, number + QStringLiteral(" File"), path));
            benchmark::DoNotOptimize(ini.ReadIni(songs, number + QStringLiteral(" Date"), path));
            benchmark::DoNotOptimize(ini.ReadIni(songs, number + QStringLiteral(" Time"), path));
        }
    }
    state.SetItemsProcessed(state.iterations() * state.range(0) * 3);
}
BENCHMARK(BM_ReadIniLog)->Arg(100000)->Unit(benchmark::kMillisecond);

// The floor for reading: the same file read and split into lines, nothing else.
void BM_ReadIniLogFloor(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = WriteSongLog(dir, state.range(0));
    for (auto _ : state) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) state.SkipWithError("cannot read the log");
        QList<QByteArray> lines = f.readAll().split('\n');
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(BM_ReadIniLogFloor)->Arg(100000)->Unit(benchmark::kMillisecond);

// One WriteIni of a new key into a log already read, as the logger writes each key.
void BM_WriteIniLog(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = WriteSongLog(dir, state.range(0));
    corvane::IniFiles ini;
    ini.ReadIni(QStringLiteral("Total"), QStringLiteral("Entries"), path);
    int64_t n = state.range(0);
    for (auto _ : state) {
        ++n;
        if (!ini.WriteIni(QStringLiteral("Songs"), QString::number(n) + QStringLiteral(" File"),
                          QStringLiteral("/home/dj/Music/New Song.mp3"), path))
            state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_WriteIniLog)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A whole song-log entry (count, File, Date, Time) as one rewrite of the file.
void BM_WriteIniLogEntry(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = WriteSongLog(dir, state.range(0));
    corvane::IniFiles ini;
    int64_t n = state.range(0);
    for (auto _ : state) {
        const QString number = QString::number(++n);
        const QList<corvane::IniWrite> entry = {
            {QStringLiteral("Total"), QStringLiteral("Entries"), number},
            {QStringLiteral("Songs"), number + QStringLiteral(" File"),
             QStringLiteral("/home/dj/Music/New Song.mp3")},
            {QStringLiteral("Songs"), number + QStringLiteral(" Date"),
             QStringLiteral("2024-05-02")},
            {QStringLiteral("Songs"), number + QStringLiteral(" Time"), QStringLiteral("22:01:00")},
        };
        if (!ini.WriteIni(entry, path)) state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_WriteIniLogEntry)->Arg(100000)->Unit(benchmark::kMillisecond);

// The floor for writing: the same file's bytes replaced durably (file and folder synced),
// nothing else.
void BM_WriteIniLogFloor(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = WriteSongLog(dir, state.range(0));
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) state.SkipWithError("cannot read the log");
    const QByteArray bytes = in.readAll();
    for (auto _ : state) {
        if (!corvane::WriteFileAtomically(path, bytes)) state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_WriteIniLogFloor)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
