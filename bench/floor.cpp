#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

// The floor the playlist figures are measured against: read a 100,000-entry playlist file and
// split it into lines, and nothing else.
static void BM_ReadLinesFloor(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("floor.m3u"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the input file");
            return;
        }
        for (int64_t i = 0; i < state.range(0); ++i)
            f.write(QByteArrayLiteral("/home/dj/Music/Some Artist/Some Album/") +
                    QByteArray::number(100000 + i) + QByteArrayLiteral(" - Track.mp3\r\n"));
    }
    for (auto _ : state) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            state.SkipWithError("cannot read the input file");
            return;
        }
        const QByteArray all = f.readAll();
        QList<QByteArray> lines = all.split('\n');
        benchmark::DoNotOptimize(lines);
    }
}
BENCHMARK(BM_ReadLinesFloor)->Arg(100000)->Unit(benchmark::kMillisecond);
