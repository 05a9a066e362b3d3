// Recording figures: the CPU that recording to FLAC adds to eight players (floor: the same
// playback without recording, in the same run), drops over a long real-time recording, and
// the repair of a one-hour WAV a kill left behind (floor: reading its header and length).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <memory>

#include "audio/engine.h"
#include "audio/media_player.h"
#include "playlist/paths.h"
#include "record/recorder.h"
#include "record/wav_writer.h"
#include "support/files.h"

namespace {

using corvane::audio::Engine;
using corvane::audio::MediaPlayer;
using corvane::audio::OutputKind;
using corvane::record::Recorder;

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QString Title(const QString& path) {
    return corvane::StripExtension(corvane::SplitPath(path).fileName);
}

// An engine with the eight players playing the 60 s bench mp3s, each `passes` times over.
std::unique_ptr<Engine> PlayingEight(OutputKind output, int passes) {
    static auto app = corvane::StartApplication();
    corvane::audio::EngineOptions options;
    options.output = output;
    auto engine = std::make_unique<Engine>(options, corvane::audio::OpenDecoder);
    std::array<MediaPlayer*, 8> players{};
    for (int i = 0; i < 8; ++i) {
        players[i] = i < 6 ? engine->Player(i + 1) : engine->AP(i - 6);
        players[i]->SetRepeatCount(passes);
        players[i]->SetAutoStart(true);
        players[i]->OpenFile(
            corvane::Fixture(QStringLiteral("bench_60s_%1.mp3").arg(i + 1).toUtf8().constData()));
    }
    const bool playing = corvane::WaitFor([&] {
        for (MediaPlayer* p : players)
            if (p->PlayState() != MediaPlayer::kPlaying) return false;
        return true;
    });
    return playing ? std::move(engine) : nullptr;
}

// The eight players in real time (the null output's clock) for range(1) seconds, recording
// the master to FLAC when range(0) is 1: the process's CPU (every thread: decoders, mixer,
// encoder) in % of one core, and the frames the recorder dropped. Range(0) 0 is the floor:
// the same playback without recording, in the same run. Real time rather than the offline
// renderer, whose wait for the decoders would count as the floor's CPU.
void BM_RealTimeRecordingFlac(benchmark::State& state) {
    const bool recording = state.range(0) != 0;
    const auto seconds = static_cast<int>(state.range(1));
    for (auto _ : state) {
        auto engine = PlayingEight(OutputKind::Null, seconds / 60 + 2);
        if (engine == nullptr) {
            state.SkipWithError("cannot open the bench files (build corvane_fixtures)");
            return;
        }
        QTemporaryDir dir;
        Recorder recorder(engine.get(), Title);
        corvane::WaitFor([] { return false; }, 1000);  // past the first fill of the rings
        if (recording) recorder.Start({dir.path(), corvane::record::Format::Flac, 0}, nullptr);
        const double before = ProcessCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        corvane::WaitFor([] { return false; }, seconds * 1000);
        const double cpu = ProcessCpuSeconds() - before;
        const double elapsed = wall.elapsed() / 1000.0;
        recorder.Stop();
        state.counters["cpu_pct_one_core"] = 100.0 * cpu / elapsed;
        state.counters["recorded_s"] = recorder.ElapsedSeconds();
        state.counters["dropped_frames"] = static_cast<double>(recorder.DroppedFrames());
    }
}
BENCHMARK(BM_RealTimeRecordingFlac)
    ->Args({0, 60})
    ->Args({1, 60})
    ->Args({1, 600})
    ->Unit(benchmark::kSecond)
    ->UseRealTime()
    ->Iterations(1);

// The repair of a one-hour 16-bit stereo WAV whose header still says it is empty (a sparse
// file: the repair reads the header and the length, never the data). Argument 0 is the
// floor: opening the file and reading its header and length.
void BM_RepairHourWav(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hour.wav"));
    {
        auto wav = corvane::record::OpenFileEncoder({corvane::record::Format::Wav16, 44100, 0},
                                                    path, nullptr);
        wav->Finish();
    }
    QFile file(path);
    const QByteArray stale = corvane::ReadBytes(path);
    file.resize(44 + 3600LL * 44100 * 4);
    for (auto _ : state) {
        if (state.range(0) == 0) {
            QFile read(path);
            read.open(QIODevice::ReadOnly);
            benchmark::DoNotOptimize(read.read(44));
            benchmark::DoNotOptimize(read.size());
            continue;
        }
        if (corvane::record::RepairWav(path, nullptr) != corvane::record::WavRepair::Repaired) {
            state.SkipWithError("not repaired");
            return;
        }
        state.PauseTiming();
        file.open(QIODevice::ReadWrite);
        file.write(stale);
        file.close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RepairHourWav)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
