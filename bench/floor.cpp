#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QFile>
#include <QList>

#include "playlist_fixture.h"

// The floor the playlist figures are measured against: read the playlist file that the load
// benchmarks read and split it into lines, and nothing else.
static void BM_ReadLinesFloor(benchmark::State& state) {
    const QString name = corvane::bench::WritePlaylistFixture(state.range(0), false);
    if (name.isEmpty()) {
        state.SkipWithError("cannot write the input file");
        return;
    }
    const QString path = corvane::bench::PlaylistFixtureDir() + name;
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
