#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "playlist/playlist.h"
#include "playlist_fixture.h"
#include "settings/ini.h"
#include "settings/settings.h"

namespace {

using corvane::bench::PlaylistFixtureDir;

void LoadBenchmark(benchmark::State& state, bool pls) {
    const QString name = corvane::bench::WritePlaylistFixture(state.range(0), pls);
    if (name.isEmpty()) {
        state.SkipWithError("cannot write the input file");
        return;
    }
    for (auto _ : state) {
        corvane::Playlist playlist;
        if (!corvane::LoadPlaylist(playlist, PlaylistFixtureDir(), name, true) ||
            playlist.SongCount != state.range(0)) {
            state.SkipWithError("load failed");
            return;
        }
        benchmark::DoNotOptimize(playlist);
    }
}

void SaveBenchmark(benchmark::State& state, const QString& name) {
    QTemporaryDir dir;
    const QString directory = dir.path() + QLatin1Char('/');
    corvane::Playlist playlist;
    playlist.SongList = corvane::bench::FixtureSongs(state.range(0));
    // Half the songs lie in the list's own folder and are written relative.
    for (QString& song : playlist.SongList)
        if (song.startsWith(PlaylistFixtureDir()))
            song = directory + song.mid(PlaylistFixtureDir().size());
    corvane::IniFiles ini;
    corvane::Settings settings(ini, directory + QStringLiteral("settings.ini"));
    for (auto _ : state) {
        if (!corvane::SavePlaylist(playlist, directory, name, &settings)) {
            state.SkipWithError("save failed");
            return;
        }
    }
}

void BM_LoadPlaylistM3U(benchmark::State& state) { LoadBenchmark(state, false); }
void BM_LoadPlaylistPLS(benchmark::State& state) { LoadBenchmark(state, true); }
void BM_SavePlaylistM3U(benchmark::State& state) {
    SaveBenchmark(state, QStringLiteral("out.m3u"));
}
void BM_SavePlaylistPLS(benchmark::State& state) {
    SaveBenchmark(state, QStringLiteral("out.pls"));
}

}  // namespace

BENCHMARK(BM_LoadPlaylistM3U)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPlaylistPLS)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavePlaylistM3U)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SavePlaylistPLS)->Arg(100000)->Unit(benchmark::kMillisecond);
