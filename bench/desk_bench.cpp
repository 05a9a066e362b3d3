#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>
#include <array>
#include <memory>

#include "audio/decoder.h"
#include "audio/engine.h"
#include "bench_player.h"
#include "engine/crossfader.h"
#include "engine/desk.h"
#include "engine/media_player_line.h"
#include "settings/ini.h"
#include "settings/settings.h"

namespace corvane::engine {
namespace {

// A timer that never fires: the benchmark moves the knob itself.
class IdleTimer final : public FadeTimer {
public:
    void SetCallback(std::function<void()>) override {}
    void Start() override {}
    void Stop() override {}
    bool IsActive() const override { return false; }
};

// One crossfader step: the knob moves by the medium fade speed and the volume law runs for
// lines 0 to 6 (lines 1 and 4 on the left, 2 and 5 on the right, the rest always on).
void RunSteps(benchmark::State& state, const DeskPlayers& players) {
    QTemporaryDir dir;
    IniFiles ini;
    Settings settings(ini, dir.filePath(QStringLiteral("Corvane.ini")));
    CrossfaderModel fader([] { return std::make_unique<IdleTimer>(); });
    Desk desk(players, settings, fader, {});
    desk.SelectFadeMode(1, FadeMode::Left);
    desk.SelectFadeMode(4, FadeMode::Left);
    desk.SelectFadeMode(2, FadeMode::Right);
    desk.SelectFadeMode(5, FadeMode::Right);
    double step = CrossfaderModel::kDefaultFadeSpeed;
    for (auto _ : state) {
        double next = fader.KnobPosition() + step;
        if (next > CrossfaderModel::kRightEnd || next < CrossfaderModel::kLeftEnd) {
            step = -step;
            next = fader.KnobPosition() + step;
        }
        fader.DragTo(next);
        benchmark::DoNotOptimize(fader.LeftLevel());
    }
}

void BM_CrossfaderStepFloor(benchmark::State& state) {
    std::array<bench::BenchPlayer, 8> nulls;
    DeskPlayers players;
    for (int i = 1; i <= 6; ++i) players.line[i] = &nulls[i];
    players.ap = {&nulls[0], &nulls[7]};
    RunSteps(state, players);
}
BENCHMARK(BM_CrossfaderStepFloor)->Unit(benchmark::kMicrosecond);

// The same over the engine's real players (offline output, so no device is needed).
void BM_CrossfaderStep(benchmark::State& state) {
    int argc = 1;
    char name[] = "corvane-bench";
    char* argv[] = {name, nullptr};
    std::unique_ptr<QCoreApplication> app;
    if (QCoreApplication::instance() == nullptr)
        app = std::make_unique<QCoreApplication>(argc, argv);
    audio::EngineOptions options;
    options.output = audio::OutputKind::Offline;
    audio::Engine engine(options, &audio::OpenDecoder);
    std::array<std::unique_ptr<MediaPlayerLine>, 8> lines;
    DeskPlayers players;
    for (int i = 1; i <= 6; ++i) {
        lines[i] = std::make_unique<MediaPlayerLine>(engine.Player(i));
        players.line[i] = lines[i].get();
    }
    lines[0] = std::make_unique<MediaPlayerLine>(engine.AP(0));
    lines[7] = std::make_unique<MediaPlayerLine>(engine.AP(1));
    players.ap = {lines[0].get(), lines[7].get()};
    RunSteps(state, players);
}
BENCHMARK(BM_CrossfaderStep)->Unit(benchmark::kMicrosecond);

// One main tick's desk work (time texts of lines 0 to 6, status, clock) over no-op players:
// what the 1 ms high-priority tick costs before any painting.
void BM_DeskTick(benchmark::State& state) {
    std::array<bench::BenchPlayer, 8> nulls;
    DeskPlayers players;
    for (int i = 1; i <= 6; ++i) players.line[i] = &nulls[i];
    players.ap = {&nulls[0], &nulls[7]};
    QTemporaryDir dir;
    IniFiles ini;
    Settings settings(ini, dir.filePath(QStringLiteral("Corvane.ini")));
    CrossfaderModel fader([] { return std::make_unique<IdleTimer>(); });
    Desk desk(players, settings, fader, {});
    const QDateTime now = QDateTime::currentDateTime();
    for (auto _ : state) desk.Tick(now);
}
BENCHMARK(BM_DeskTick)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corvane::engine
