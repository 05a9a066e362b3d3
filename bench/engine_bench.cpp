// Engine figures; BM_DecodeFloor8 (decoder_bench.cpp) is the floor for BM_RenderEightPlayers.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "audio/engine.h"
#include "audio/limiter.h"
#include "audio/media_player.h"
#include "event_wait.h"
#include "format_files.h"
#include "support/clock_drift.h"

namespace {

using corvane::audio::Engine;
using corvane::bench::Wait;
using corvane::audio::EngineOptions;
using corvane::audio::MediaPlayer;
using corvane::audio::OutputKind;

QCoreApplication* App() {
    static int argc = 1;
    static char name[] = "corvane-bench";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = QCoreApplication::instance() != nullptr
                                       ? QCoreApplication::instance()
                                       : new QCoreApplication(argc, argv);
    return app;
}

QString Fixture(const QString& name) {
    return QStringLiteral(CORVANE_BINARY_DIR "/fixtures/") + name;
}

std::unique_ptr<Engine> MakeEngine(OutputKind kind, bool limiter = true) {
    App();
    EngineOptions options;
    options.output = kind;
    options.limiter = limiter;
    return std::make_unique<Engine>(options, corvane::audio::OpenDecoder);
}

MediaPlayer* Slot(Engine& engine, int i) { return i < 6 ? engine.Player(i + 1) : engine.AP(i - 6); }

bool PlayEight(Engine& engine) {
    for (int i = 0; i < 8; ++i) {
        MediaPlayer* p = Slot(engine, i);
        p->SetAutoStart(true);
        p->OpenFile(Fixture(QStringLiteral("bench_60s_%1.mp3").arg(i + 1)));
    }
    return Wait([&] {
        for (int i = 0; i < 8; ++i)
            if (Slot(engine, i)->PlayState() != MediaPlayer::kPlaying) return false;
        return true;
    });
}

long ResidentBytes() {
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * sysconf(_SC_PAGESIZE) : 0;
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The eight 60 s mp3s at once through the eight players and the offline renderer, from open
// to the end of the last one; with or without the master limiter.
// All on: the limiter, the meters read once a block, two lines cued and the headphones on.
// The offline engine with the eight bench files playing, all on (limiter, lines 1 and 2 cued
// and the headphones on channels 3-4) or all off; none, and the benchmark skipped, when the
// files cannot be opened.
std::unique_ptr<Engine> EightPlaying(benchmark::State& state, bool allOn) {
    auto engine = MakeEngine(OutputKind::Offline, allOn);
    if (allOn) {
        engine->SetHeadphones({corvane::audio::HeadphoneTarget::MainChannels, {}});
        engine->SetCue(1, true);
        engine->SetCue(2, true);
    }
    if (PlayEight(*engine)) return engine;
    state.SkipWithError("cannot open the bench files (build corvane_fixtures)");
    return nullptr;
}

void RenderEightPlayers(benchmark::State& state, bool allOn) {
    std::vector<float> out(2 * 4096);
    std::vector<float> phones(2 * 4096);
    long long frames = 0;
    for (auto _ : state) {
        auto engine = EightPlaying(state, allOn);
        if (engine == nullptr) return;
        auto allStopped = [&] {
            for (int i = 0; i < 8; ++i)
                if (Slot(*engine, i)->PlayState() == MediaPlayer::kPlaying) return false;
            return true;
        };
        for (;;) {
            engine->RenderOffline(out.data(), 4096, phones.data());
            if (allOn)
                for (int line = 0; line <= 7; ++line)
                    benchmark::DoNotOptimize(engine->TakeLinePeak(line));
            if (std::all_of(out.begin(), out.end(), [](float v) { return v == 0.0f; })) break;
            frames += 4096;
        }
        // The ends reach the UI thread through the workers' poll, a few ms later.
        Wait(allStopped);
    }
    // Audio of all eight players per second of wall time.
    state.counters["x_real_time"] =
        benchmark::Counter(8.0 * frames / 44100, benchmark::Counter::kIsRate);
    state.counters["mix_s"] = static_cast<double>(frames) / 44100 / state.iterations();
}
void BM_RenderEightPlayers(benchmark::State& state) { RenderEightPlayers(state, false); }
BENCHMARK(BM_RenderEightPlayers)->Unit(benchmark::kMillisecond)->UseRealTime();
void BM_RenderEightPlayersAllOn(benchmark::State& state) { RenderEightPlayers(state, true); }
BENCHMARK(BM_RenderEightPlayersAllOn)->Unit(benchmark::kMillisecond)->UseRealTime();

// The audio callback's cost: 60 s of eight players rendered in blocks of 512 frames, each
// block's mixer time taken alone (the offline renderer's wait for the decoders left out), as
// a device callback would spend it. Argument 1: limiter, meters, two cued lines and the
// headphones; 0: all off, the floor. Reports the distribution in microseconds and the worst
// block as a share of the block's duration (11.6 ms).
void BM_CallbackBlocks(benchmark::State& state) {
    constexpr int kBlock = 512;
    const bool allOn = state.range(0) != 0;
    std::vector<float> out(2 * kBlock);
    std::vector<float> phones(2 * kBlock);
    std::vector<double> wall;
    std::vector<double> cpu;
    for (auto _ : state) {
        auto engine = EightPlaying(state, allOn);
        if (engine == nullptr) return;
        using Micros = std::chrono::duration<double, std::micro>;
        for (int done = 0; done + kBlock <= 60 * 44100; done += kBlock) {
            engine->RenderOffline(out.data(), kBlock, phones.data());
            const auto [w, c] = engine->OfflineMixTime();
            wall.push_back(Micros(w).count());
            cpu.push_back(Micros(c).count());
            if (allOn)
                for (int line = 0; line <= 7; ++line)
                    benchmark::DoNotOptimize(engine->TakeLinePeak(line));
        }
    }
    const double blockMicros = 1e6 * kBlock / 44100;
    for (auto* times : {&wall, &cpu}) {
        std::sort(times->begin(), times->end());
        const char* kind = times == &wall ? "wall_" : "cpu_";
        const auto at = [&](double q) {
            return (*times)[static_cast<size_t>(q * (times->size() - 1))];
        };
        state.counters[std::string(kind) + "median_us"] = at(0.5);
        state.counters[std::string(kind) + "p99_us"] = at(0.99);
        state.counters[std::string(kind) + "max_us"] = times->back();
        state.counters[std::string(kind) + "worst_pct"] = 100.0 * times->back() / blockMicros;
    }
}
BENCHMARK(BM_CallbackBlocks)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

// The headphones on a second device: the clock bridge on a fake clock, its consumer 0.1 %
// fast (argument 1) or slow (-1), for a simulated 10 minutes. Reports how far the delay
// between the two outputs strayed from where it started, in milliseconds; a bridge without
// drift is the floor (0).
void BM_ClockBridgeDrift(benchmark::State& state) {
    const double speed = 1.0 + 0.001 * static_cast<double>(state.range(0));
    corvane::testing::DriftRun run;
    for (auto _ : state) run = corvane::testing::SimulateDrift(speed, 600);
    state.counters["max_deviation_ms"] = 1000 * run.maxDeviation;
    state.counters["end_deviation_ms"] = 1000 * run.lastDeviation;
    state.counters["dropouts"] = static_cast<double>(run.dropouts);
}
BENCHMARK(BM_ClockBridgeDrift)
    ->Arg(0)
    ->Arg(1)
    ->Arg(-1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

// The limiter alone on one 512-frame buffer of two summed full-scale 1 kHz sines (so it is
// limiting all the time); argument 0 switches it off, which leaves the delay alone.
void BM_MasterLimiter(benchmark::State& state) {
    constexpr int kFrames = 512;
    std::vector<float> source(2 * 44100);
    for (size_t i = 0; i < source.size(); ++i)
        source[i] = 2.0f * static_cast<float>(std::sin(2.0 * M_PI * 1000.0 * (i / 2) / 44100));
    corvane::audio::Limiter limiter(44100);
    std::vector<float> block(2 * kFrames);
    size_t at = 0;
    for (auto _ : state) {
        std::copy_n(source.begin() + static_cast<long>(at), block.size(), block.begin());
        at = (at + block.size()) % (source.size() - block.size());
        limiter.Process(block.data(), kFrames, state.range(0) != 0);
        benchmark::DoNotOptimize(block.data());
    }
}
BENCHMARK(BM_MasterLimiter)->Arg(0)->Arg(1);

// Times OpenFile of `path` on `p` until the open state 6 arrives on the UI thread.
bool OpenUntilReady(benchmark::State& state, MediaPlayer* p, const QString& path) {
    for (auto _ : state) {
        p->OpenFile(path);
        if (!Wait([p] { return p->OpenState() != MediaPlayer::kOpening; })) break;
        state.PauseTiming();
        if (p->OpenState() != MediaPlayer::kOpen) {
            state.SkipWithError((QStringLiteral("cannot open ") + path).toUtf8().constData());
            return false;
        }
        state.ResumeTiming();
    }
    return true;
}

// OpenFile of a 5-minute mp3 until the open state 6 arrives on the UI thread. Also reports
// the play latency (frames rendered after Play before the first sample) and the memory an
// open player takes.
void BM_OpenToReady(benchmark::State& state) {
    const long bare = ResidentBytes();
    auto engine = MakeEngine(OutputKind::Offline);
    MediaPlayer* p = engine->Player(1);
    const long before = ResidentBytes();
    if (!OpenUntilReady(state, p, Fixture(QStringLiteral("bench_5min.mp3")))) return;
    // The rings are allocated with the engine; the decoder comes with the open.
    state.counters["rss_MiB_engine_per_player"] = (before - bare) / 8.0 / 1048576.0;
    state.counters["rss_MiB_open_decoder"] = (ResidentBytes() - before) / 1048576.0;
    p->SetPosition(120.0);
    p->Play();
    std::vector<float> out(2 * 512);
    engine->RenderOffline(out.data(), 512);
    int latency = 0;
    while (latency < 512 && out[2 * latency] == 0.0f && out[2 * latency + 1] == 0.0f) ++latency;
    state.counters["play_latency_frames"] = latency;
}
BENCHMARK(BM_OpenToReady)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same for a five-minute piece in each further format, beside its floor in the same run:
// the wav of the same piece, whose open reads a header and nothing else.
void BM_OpenToReadyFormat(benchmark::State& state) {
    const QString path = corvane::bench::FiveMinuteFileFor(state);
    if (path.isEmpty()) return;
    auto engine = MakeEngine(OutputKind::Offline);
    OpenUntilReady(state, engine->Player(1), path);
}
BENCHMARK(BM_OpenToReadyFormat)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->UseRealTime();

// CPU of the whole process while the eight players play mp3 in real time through the null
// output: getrusage (user + system, all threads) over 10 s of wall time, in % of one core.
void BM_NullOutputCpu(benchmark::State& state) {
    for (auto _ : state) {
        auto engine = MakeEngine(OutputKind::Null);
        if (!PlayEight(*engine)) {
            state.SkipWithError("cannot open the bench files (build corvane_fixtures)");
            return;
        }
        Wait([] { return false; }, 1000);  // past the initial fill of the rings
        const double cpu = CpuSeconds();
        QElapsedTimer wall;
        wall.start();
        while (wall.elapsed() < 10000) {
            QCoreApplication::processEvents();
            QThread::msleep(20);
        }
        state.counters["cpu_percent_of_core"] =
            100.0 * (CpuSeconds() - cpu) / (wall.elapsed() / 1000.0);
    }
}
BENCHMARK(BM_NullOutputCpu)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
