// Output underruns while the crossfader is dragged over eight playing players: a knob move
// every 10 ms for 5 s, each re-applying the volume law to lines 0 to 6, beside the same 5 s
// with the knob left alone (the floor). The output is the sound device when
// CORVANE_BENCH_DEVICE=1 (bench/drag_underruns.sh starts a PulseAudio null sink for it), else
// the null output; the counters are the device's underruns and the buffers in which a
// decoder had fallen behind.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <memory>

#include "audio/decoder.h"
#include "audio/engine.h"
#include "audio/media_player.h"
#include "engine/crossfader.h"
#include "engine/desk.h"
#include "engine/media_player_line.h"
#include "settings/ini.h"
#include "settings/settings.h"

namespace {

using namespace corvane;

void EnsureApp() {
    static int argc = 1;
    static char name[] = "corvane-bench";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
}

void DragWhileEightPlay(benchmark::State& state, bool drag) {
    EnsureApp();
    audio::EngineOptions options;
    options.output = qEnvironmentVariableIntValue("CORVANE_BENCH_DEVICE") == 1
                         ? audio::OutputKind::Device
                         : audio::OutputKind::Null;
    audio::Engine engine(options, audio::OpenDecoder);
    std::vector<std::unique_ptr<engine::MediaPlayerLine>> lines;
    engine::DeskPlayers players;
    for (int i = 1; i <= 8; ++i) {
        audio::MediaPlayer* player = i <= 6 ? engine.Player(i) : engine.AP(i - 7);
        player->SetRepeatCount(999999);
        player->OpenFile(QStringLiteral(CORVANE_BINARY_DIR "/fixtures/bench_60s_%1.mp3").arg(i));
        lines.push_back(std::make_unique<engine::MediaPlayerLine>(player));
        if (i <= 6)
            players.line[i] = lines.back().get();
        else
            players.ap[i - 7] = lines.back().get();
    }
    // Every file open, and the device (when one is asked for) running: the engine keeps time on
    // the null output until its probe has opened the device and handed it over.
    bool deviceUp = options.output != audio::OutputKind::Device;
    QObject::connect(&engine, &audio::Engine::OutputChanged,
                     [&] { deviceUp = !engine.PlayingSilently(); });
    QElapsedTimer opening;
    opening.start();
    while (opening.elapsed() < 10000 &&
           (engine.AP(1)->OpenState() != audio::MediaPlayer::kOpen || !deviceUp)) {
        QCoreApplication::processEvents();
        QThread::msleep(1);
    }
    for (int i = 1; i <= 6; ++i) engine.Player(i)->Play();
    engine.AP(0)->Play();
    engine.AP(1)->Play();

    QTemporaryDir dir;
    IniFiles ini;
    Settings settings(ini, dir.filePath(QStringLiteral("Corvane.ini")));
    engine::CrossfaderModel crossfader;
    engine::Desk desk(players, settings, crossfader, {});
    for (int line = 0; line <= 6; ++line)
        desk.SelectFadeMode(line, line % 2 == 0 ? engine::FadeMode::Left : engine::FadeMode::Right);

    for (auto _ : state) {
        const long long underruns = engine.Underruns();
        const long long starved = engine.StarvedBuffers();
        int steps = 0;
        double position = engine::CrossfaderModel::kCentre;
        double step = 37.0;
        QTimer mover;
        mover.setTimerType(Qt::PreciseTimer);
        QObject::connect(&mover, &QTimer::timeout, [&] {
            if (position + step < 0 || position + step > engine::CrossfaderModel::kRightEnd)
                step = -step;
            position += step;
            crossfader.DragTo(position);
            ++steps;
        });
        if (drag) mover.start(10);
        QEventLoop loop;
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        mover.stop();
        state.counters["underruns"] = double(engine.Underruns() - underruns);
        state.counters["starved"] = double(engine.StarvedBuffers() - starved);
        state.counters["steps"] = steps;
        state.counters["silent"] = engine.PlayingSilently() ? 1 : 0;
    }
}

void BM_DragCrossfaderWhileEightPlay(benchmark::State& state) { DragWhileEightPlay(state, true); }
void BM_EightPlayFloor(benchmark::State& state) { DragWhileEightPlay(state, false); }

BENCHMARK(BM_DragCrossfaderWhileEightPlay)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);
BENCHMARK(BM_EightPlayFloor)->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace
