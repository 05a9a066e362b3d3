// Meter latency: from the audio thread publishing a peak to the level meter painting it, with
// the real bank (one timer for every meter) and widget on the offscreen platform. The peak is
// published by a thread of its own at a random moment, as the audio callback does.
// BM_MeterLatency is that time; BM_MeterPaintFloor the part that is the event loop and the
// paint alone (the bank reads at the publish, as if its timer fired right then).
// Run on its own: corvane-bench --benchmark_filter=Meter
#include <benchmark/benchmark.h>

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "bench_widgets.h"
#include "meters/meter_bank.h"
#include "meters/ui/level_meter.h"

namespace {

using corvane::meters::LevelMeter;
using corvane::meters::MeterBank;
using Clock = std::chrono::steady_clock;

// Quits `loop` at the first paint that shows a loud bar.
class TimedMeter : public LevelMeter {
public:
    TimedMeter(MeterBank& bank, QEventLoop& loop) : LevelMeter(bank, 0), bank_(bank), loop_(loop) {}
    Clock::time_point paintedAt{};

protected:
    void paintEvent(QPaintEvent* event) override {
        LevelMeter::paintEvent(event);
        if (paintedAt == Clock::time_point{} && bank_.Channel(0, 0).LevelDb() >= -3.0) {
            paintedAt = Clock::now();
            loop_.quit();
        }
    }

private:
    MeterBank& bank_;
    QEventLoop& loop_;
};

// One publish and its paint; returns the seconds between them, or a negative number when the
// paint never came.
double OneLatency(bool readAtPublish, std::mt19937& random) {
    std::atomic<float> peak{0.0f};
    std::atomic<long long> publishedAt{0};
    MeterBank bank([] { return true; });
    bank.Add(1, [&peak](float* peaks) { peaks[0] = peak.exchange(0.0f); });
    QEventLoop loop;
    TimedMeter meter(bank, loop);
    meter.resize(meter.width(), 100);
    meter.show();
    QTimer::singleShot(0, &loop, &QEventLoop::quit);
    loop.exec();  // the first paint, of the empty bar
    bank.Wake();
    const int delayUs = std::uniform_int_distribution<int>(0, 50000)(random);
    std::thread audio([&] {
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs));
        publishedAt.store(Clock::now().time_since_epoch().count());
        peak.store(1.0f);
        if (readAtPublish)
            QMetaObject::invokeMethod(
                &bank, [&bank] { bank.Step(0); }, Qt::QueuedConnection);
    });
    QTimer::singleShot(2000, &loop, &QEventLoop::quit);
    loop.exec();
    audio.join();
    if (meter.paintedAt == Clock::time_point{}) return -1.0;
    const Clock::time_point published{Clock::duration(publishedAt.load())};
    return std::chrono::duration<double>(meter.paintedAt - published).count();
}

void Measure(benchmark::State& state, bool readAtPublish) {
    if (!corvane::bench::HaveWidgets()) {
        state.SkipWithError("needs a QApplication: run with --benchmark_filter=Meter");
        return;
    }
    std::mt19937 random(7);
    std::vector<double> seconds;
    for (auto _ : state) {
        const double latency = OneLatency(readAtPublish, random);
        if (latency < 0) {
            state.SkipWithError("the meter never painted the peak");
            return;
        }
        seconds.push_back(latency);
        state.SetIterationTime(latency);
    }
    std::sort(seconds.begin(), seconds.end());
    const auto at = [&](double q) {
        return 1000 * seconds[std::min(seconds.size() - 1, size_t(q * seconds.size()))];
    };
    state.counters["median_ms"] = at(0.5);
    state.counters["p95_ms"] = at(0.95);
    state.counters["max_ms"] = 1000 * seconds.back();
}

void BM_MeterLatency(benchmark::State& state) { Measure(state, false); }
void BM_MeterPaintFloor(benchmark::State& state) { Measure(state, true); }

}  // namespace

BENCHMARK(BM_MeterLatency)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MeterPaintFloor)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);
