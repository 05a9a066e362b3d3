#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <random>

#include "../tests/autopilot/overlap_render.h"
#include "autopilot/autopilot.h"
#include "bench_player.h"
#include "engine/line_player.h"
#include "playlist/playlist.h"
#include "settings/ini.h"
#include "settings/settings.h"

namespace {

using corvane::autopilot::AutoPilot;
using corvane::engine::LinePlayer;

// The pick that follows a song's start in SmartRandom: RecentList updated, then a draw checked
// against the 300 most recent songs and the file's existence tested (one real stat).
void BM_ChooseNextSongSmartRandom(benchmark::State& state) {
    QTemporaryDir dir;
    const QString real = dir.filePath(QStringLiteral("song.mp3"));
    QFile(real).open(QIODevice::WriteOnly);
    corvane::IniFiles ini;
    corvane::Settings settings(ini, dir.filePath(QStringLiteral("Corvane.ini")));
    settings.SavePref(corvane::keys::kRandom, true);
    corvane::Playlist playlist;
    for (int i = 0; i < state.range(0); ++i)
        playlist.SongList.append(
            QStringLiteral("/Music/Artist %1/Song Number %2.mp3").arg(i % 97).arg(i));
    playlist.SongCount = static_cast<qint32>(playlist.SongList.size());
    corvane::bench::BenchPlayer ap0, ap1;
    for (auto* ap : {&ap0, &ap1}) {
        ap->duration = 60.0;
        ap->playState = LinePlayer::kPlaying;
    }
    corvane::autopilot::RandomSource random(7);
    AutoPilot autoPilot({&ap0, &ap1}, playlist, settings, random, [] { return qint64(7); },
                        [real](const QString&) { return QFileInfo(real).isFile(); });
    autoPilot.SetNoRepWindow(300);
    auto songStarts = [&] {
        ap0.fileName = autoPilot.NextSongPath();
        autoPilot.PlayStateChanged(0, 0, LinePlayer::kPlaying);
    };
    autoPilot.ChooseNextSong();
    for (int i = 0; i < 400; ++i) songStarts();  // fill the no-repeat window
    for (auto _ : state) songStarts();
    state.counters["recent"] = static_cast<double>(playlist.RecentList.size());
}
BENCHMARK(BM_ChooseNextSongSmartRandom)->Arg(100000)->Unit(benchmark::kMicrosecond);

// Floor: one uniform draw and the same existence test, without the window.
void BM_ChooseNextSongFloor(benchmark::State& state) {
    QTemporaryDir dir;
    const QString real = dir.filePath(QStringLiteral("song.mp3"));
    QFile(real).open(QIODevice::WriteOnly);
    std::mt19937_64 random(7);
    std::uniform_int_distribution<int> draw(1, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(draw(random));
        benchmark::DoNotOptimize(QFileInfo(real).isFile());
    }
}
BENCHMARK(BM_ChooseNextSongFloor)->Arg(100000)->Unit(benchmark::kMicrosecond);

// Each next song's measured start against its target (FadeSeconds before the previous song's
// end), in seconds, for every transition in the mix of these tones.
std::vector<double> OverlapErrors(const std::vector<float>& mono,
                                  const std::vector<double>& frequencies, int fadeSeconds) {
    using corvane::autopilot::testing::ToneSpan;
    std::vector<ToneSpan> all;
    for (double f : frequencies) {
        const std::vector<ToneSpan> spans = corvane::autopilot::testing::FindTone(mono, f, 0.5);
        all.insert(all.end(), spans.begin(), spans.end());
    }
    std::sort(all.begin(), all.end(),
              [](const ToneSpan& a, const ToneSpan& b) { return a.start < b.start; });
    std::vector<double> errors;
    for (size_t i = 1; i < all.size(); ++i)
        errors.push_back(all[i].start - (all[i - 1].end - fadeSeconds));
    return errors;
}

// Overlap accuracy in the offline render: 21 eight-second tones in a loop (20 transitions),
// FadeSeconds 3; each next song's heard start against 3 s before the previous one's end.
void BM_AutoPilotOverlapAccuracy(benchmark::State& state) {
    using namespace corvane::autopilot::testing;
    int argc = 1;
    char name[] = "corvane-bench";
    char* argv[] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
    if (QCoreApplication::instance() == nullptr)
        app = std::make_unique<QCoreApplication>(argc, argv);
    const QStringList songs{corvane::Fixture("song_8s_a.wav"), corvane::Fixture("song_8s_b.wav"),
                            corvane::Fixture("song_8s_c.wav")};
    double worst = 0.0;
    size_t transitions = 0;
    for (auto _ : state) {
        const std::vector<float> mix = RenderAutoPilot(songs, true, 3, 8.0 + 20 * 5.0 + 1.0);
        std::vector<double> errors = OverlapErrors(mix, {440.0, 660.0, 880.0}, 3);
        if (errors.size() > 20) errors.resize(20);
        transitions = errors.size();
        for (double e : errors) worst = std::max(worst, std::abs(e));
    }
    if (transitions < 20) state.SkipWithError("fewer than 20 transitions heard");
    state.counters["transitions"] = static_cast<double>(transitions);
    state.counters["worst_ms"] = worst * 1000.0;
}
BENCHMARK(BM_AutoPilotOverlapAccuracy)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
