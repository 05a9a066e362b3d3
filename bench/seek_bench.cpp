// Seek and overview figures, each beside its floor in the same run.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <functional>
#include <memory>
#include <vector>

#include "audio/decoder.h"
#include "audio/engine.h"
#include "audio/media_player.h"
#include "audio/overview.h"
#include "event_wait.h"
#include "format_files.h"

namespace {

using corvane::audio::Engine;
using corvane::bench::Wait;
using corvane::audio::MediaPlayer;

constexpr int kRate = 44100;
constexpr int kBlock = 512;

void StartApp() {
    static int argc = 1;
    static char name[] = "corvane-bench";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
}

// Argument 0: the ten-minute mp3, 1: the same piece in FLAC.
QString TenMinuteFileFor(benchmark::State& state) {
    const QString ending = state.range(0) == 0 ? QStringLiteral("mp3") : QStringLiteral("flac");
    QString error;
    const QString path = corvane::bench::TenMinuteFile(ending, &error);
    if (path.isEmpty())
        state.SkipWithError(error.toUtf8().constData());
    else
        state.SetLabel(ending.toStdString());
    return path;
}

// Spread over the whole song, never twice the same frame.
long long NextTarget(long long previous, long long length) {
    return (previous + 97 * kRate + 4321) % (length - 2 * kRate);
}

// A playing line seeks to a new place; timed from SetPosition until the engine has mixed the
// buffer in which the new place fades in: the old place's 128-frame fade-out, the worker's
// seek, and its first decoded block. A device adds up to one of its buffers on top.
void BM_SeekToAudible(benchmark::State& state) {
    const QString path = TenMinuteFileFor(state);
    if (path.isEmpty()) return;
    StartApp();
    corvane::audio::EngineOptions options;
    options.output = corvane::audio::OutputKind::Offline;
    Engine engine(options, corvane::audio::OpenDecoder);
    MediaPlayer* p = engine.Player(1);
    p->OpenFile(path);
    if (!Wait([p] { return p->OpenState() != MediaPlayer::kOpening; }) ||
        p->OpenState() != MediaPlayer::kOpen) {
        state.SkipWithError("cannot open the file");
        return;
    }
    const long long length = std::llround(p->Duration() * kRate);
    p->Play();
    std::vector<float> out(2 * kBlock);
    engine.RenderOffline(out.data(), kBlock);
    long long target = 0;
    for (auto _ : state) {
        target = NextTarget(target, length);
        p->SetPosition(static_cast<double>(target) / kRate);
        engine.RenderOffline(out.data(), kBlock);
        state.PauseTiming();
        // Let the worker top the ring up, as it does between seeks a person makes.
        for (int i = 0; i < 8; ++i) engine.RenderOffline(out.data(), kBlock);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SeekToAudible)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: the decoder alone, a sample-exact seek and its first block, on the same files.
void BM_SeekToAudibleFloor(benchmark::State& state) {
    const QString path = TenMinuteFileFor(state);
    if (path.isEmpty()) return;
    QString error;
    auto decoder = corvane::audio::OpenDecoder(path, kRate, &error);
    if (!decoder) {
        state.SkipWithError(error.toUtf8().constData());
        return;
    }
    std::vector<float> out(2 * 4096);
    long long target = 0;
    for (auto _ : state) {
        target = NextTarget(target, decoder->LengthFrames());
        if (!decoder->Seek(target) || decoder->Read(out.data(), 4096) != 4096) {
            state.SkipWithError("seek failed");
            return;
        }
    }
}
BENCHMARK(BM_SeekToAudibleFloor)->DenseRange(0, 1)->Unit(benchmark::kMillisecond);

QString FiveMinuteMp3() { return QStringLiteral(CORVANE_BINARY_DIR "/fixtures/bench_5min.mp3"); }

// The overview worker's whole job on a five-minute mp3: open it and make its overview.
void BM_Overview(benchmark::State& state) {
    for (auto _ : state) {
        QString error;
        auto decoder = corvane::audio::OpenDecoder(FiveMinuteMp3(), kRate, &error);
        if (!decoder) {
            state.SkipWithError(error.toUtf8().constData());
            return;
        }
        const corvane::audio::OverviewPeaks peaks = corvane::audio::ComputeOverview(*decoder);
        if (peaks.size() != corvane::audio::kOverviewBins) {
            state.SkipWithError("no overview");
            return;
        }
        benchmark::DoNotOptimize(peaks.data());
    }
}
BENCHMARK(BM_Overview)->Unit(benchmark::kMillisecond);

// The floor: open the same file and decode all of it, doing nothing with the samples.
void BM_OverviewDecodeFloor(benchmark::State& state) {
    std::vector<float> out(2 * 4096);
    for (auto _ : state) {
        QString error;
        auto decoder = corvane::audio::OpenDecoder(FiveMinuteMp3(), kRate, &error);
        if (!decoder) {
            state.SkipWithError(error.toUtf8().constData());
            return;
        }
        long long frames = 0;
        int got = 0;
        while ((got = decoder->Read(out.data(), 4096)) > 0) frames += got;
        benchmark::DoNotOptimize(frames);
    }
}
BENCHMARK(BM_OverviewDecodeFloor)->Unit(benchmark::kMillisecond);

}  // namespace
