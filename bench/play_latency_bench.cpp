// Play latency through the sound device: from Play to the audio callback mixing the line's
// first frames (its meter peak appears), which the device then plays after its own buffer.
// BM_PlayLatencyResting starts from a device that rested while nothing played (the stream is
// started again inside Play); BM_PlayLatencyRunning is the floor, with the stream running
// because another line plays (silently). Needs a sound device: bench/play_latency.sh runs it
// inside a private PulseAudio.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "audio/engine.h"
#include "audio/media_player.h"

namespace {

using corvane::audio::Engine;
using corvane::audio::MediaPlayer;
using Clock = std::chrono::steady_clock;

// Runs the event loop for `ms` (the engine's checks run on it).
void Spin(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void Measure(benchmark::State& state, bool resting) {
    static int argc = 1;
    static char name[] = "corvane-bench";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
    Engine engine(corvane::audio::EngineOptions{}, corvane::audio::OpenDecoder);
    const QString tone = QStringLiteral(CORVANE_BINARY_DIR "/fixtures/sine1k_44100_stereo_s16.wav");
    MediaPlayer* line = engine.Player(1);
    MediaPlayer* other = engine.Player(2);
    line->OpenFile(tone);
    other->OpenFile(tone);
    for (int i = 0; i < 100 && (line->OpenState() != MediaPlayer::kOpen ||
                                other->OpenState() != MediaPlayer::kOpen || engine.Switching());
         ++i)
        Spin(100);
    Spin(2000);  // the device opens on its probe thread
    if (engine.PlayingSilently() || line->OpenState() != MediaPlayer::kOpen) {
        state.SkipWithError("no sound device or no fixture");
        return;
    }
    if (!resting) {
        other->SetVolume(-10000);
        other->SetRepeatCount(999999);
        other->Play();
    }
    std::vector<double> ms;
    for (auto _ : state) {
        Spin(resting ? 1600 : 200);  // two quiet checks of the engine's, half a second apart
        engine.TakeLinePeak(1);
        const Clock::time_point start = Clock::now();
        line->Play();
        while (engine.TakeLinePeak(1) <= 0.0f && Clock::now() - start < std::chrono::seconds(2))
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        line->Stop();
        state.SetIterationTime(seconds);
        ms.push_back(1000 * seconds);
    }
    other->Stop();
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["max_ms"] = ms.back();
    state.counters["buffer_ms"] = 1000.0 * engine.BufferFrames() / engine.Rate();
}

void BM_PlayLatencyResting(benchmark::State& state) { Measure(state, true); }
void BM_PlayLatencyRunning(benchmark::State& state) { Measure(state, false); }

}  // namespace

BENCHMARK(BM_PlayLatencyResting)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayLatencyRunning)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);
