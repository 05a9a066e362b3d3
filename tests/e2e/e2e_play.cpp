// Driver for the end-to-end sound test.
//   corvane-e2e-play play FILE SECONDS VOLUME   plays FILE looped on Player(1) through the sound
//                                               device, printing its state twice a second
//   corvane-e2e-play cue FILE SECONDS VOLUME PHONES CUE   the same with the headphones on the
//                                               device PHONES (cue bus only, full level) and
//                                               Player(1) cued (CUE 1) or not (0)
//   corvane-e2e-play quiet RAW                  checks that a recording stays below -60 dBFS
//   corvane-e2e-play analyse RAW HZ DBFS        checks a float32 stereo 44.1 kHz recording for a
//                                               tone of HZ (the spectral peak, within
//                                               0.2 %) at DBFS (peak, within 0.5 dB)
//   corvane-e2e-play clip FILE SECONDS VOLUME [FILE2]
//                                               plays FILE looped on Player(1) and Player(2)
//                                               (FILE2 there when given) at full level, as the
//                                               desk does with the crossfader in the middle
//   corvane-e2e-play ceiling RAW DBFS           checks that a float32 stereo recording holds
//                                               sound that peaks at DBFS (within +0.1 and
//                                               -0.5 dB)
#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include "audio/engine.h"
#include "audio/media_player.h"

using corvane::audio::Engine;
using corvane::audio::EngineOptions;
using corvane::audio::HeadphoneTarget;
using corvane::audio::MediaPlayer;

namespace {

int Play(int argc, char** argv, int players, bool cueMode = false) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    EngineOptions options;
    if (cueMode) {
        options.headphones = {HeadphoneTarget::Device, args.at(5)};
        options.headphoneLevel = 1.0f;
    }
    Engine engine(options, corvane::audio::OpenDecoder);
    engine.SetCue(1, cueMode && args.at(6) == QLatin1String("1"));
    QObject::connect(&engine, &Engine::HeadphonesMissing,
                     [](const QString& text) { std::printf("%s\n", qPrintable(text)); });
    for (int line = 1; line <= players; ++line) {
        MediaPlayer* each = engine.Player(line);
        each->SetVolume(args.at(4).toInt());
        each->SetRepeatCount(999999);
        each->OpenFile(line == 2 && !cueMode && args.size() > 5 ? args.at(5) : args.at(2));
    }
    MediaPlayer* player = engine.Player(1);
    QTimer status;
    QObject::connect(&status, &QTimer::timeout, [&] {
        // Started together, once all are open: the same file on two lines then adds up in
        // phase, the loudest it can.
        bool open = true;
        for (int line = 1; line <= players; ++line)
            open = open && engine.Player(line)->OpenState() == MediaPlayer::kOpen;
        if (open && player->PlayState() != MediaPlayer::kPlaying)
            for (int line = 1; line <= players; ++line) engine.Player(line)->Play();
        std::printf("state=%d position=%.2f silent=%d underruns=%lld phones=%d\n",
                    player->PlayState(), player->Position(), engine.PlayingSilently() ? 1 : 0,
                    engine.Underruns(), engine.HeadphonesHeard() ? 1 : 0);
        std::fflush(stdout);
    });
    status.start(100);
    QTimer::singleShot(static_cast<int>(args.at(3).toDouble() * 1000), &app,
                       &QCoreApplication::quit);
    app.exec();
    std::printf("done state=%d\n", player->PlayState());
    return player->PlayState() == MediaPlayer::kPlaying ? 0 : 1;
}

// The recording is cut into 0.1 s blocks. Blocks that hold the tone give the level as the
// median of their RMS and the frequency as the peak of their summed spectra, so a few blocks
// hit by a dropout (a loaded machine, the sound server catching up) shift neither.
constexpr size_t kBlock = 4410;
constexpr int kRate = 44100;

// Power of `x` at `hz` (Goertzel), the block weighted by a Hann window.
double PowerAt(const std::vector<float>& x, const std::vector<double>& window, double hz) {
    const double coeff = 2 * std::cos(2 * std::numbers::pi * hz / kRate);
    double s1 = 0, s2 = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        const double s0 = x[i] * window[i] + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - coeff * s1 * s2;
}

// The frequency whose power summed over `blocks` is highest: a 10 Hz scan of the audible band,
// then 0.1 Hz steps around the best (a 0.1 s Hann block's main lobe is 20 Hz either side).
double PeakFrequency(const std::vector<std::vector<float>>& blocks) {
    std::vector<double> window(kBlock);
    for (size_t i = 0; i < kBlock; ++i)
        window[i] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * i / kBlock);
    const auto best = [&](double from, double to, double step) {
        double peak = from, most = -1;
        for (double hz = from; hz <= to; hz += step) {
            double power = 0;
            for (const auto& block : blocks) power += PowerAt(block, window, hz);
            if (power > most) {
                most = power;
                peak = hz;
            }
        }
        return peak;
    };
    const double coarse = best(20, 20000, 10);
    return best(coarse - 10, coarse + 10, 0.1);
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Db(double linear) { return 20 * std::log10(linear); }

// The float32 samples of a recording; none when it cannot be read, which every check fails.
std::vector<float> ReadSamples(const char* path) {
    QFile file(QString::fromLocal8Bit(path));
    const QByteArray raw = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    const auto* begin = reinterpret_cast<const float*>(raw.constData());
    return {begin, begin + raw.size() / qsizetype(sizeof(float))};
}

float Peak(const std::vector<float>& samples) {
    float peak = 0;
    for (const float each : samples) peak = std::max(peak, std::fabs(each));
    return peak;
}

int Quiet(const char* path) {
    const std::vector<float> samples = ReadSamples(path);
    const float peak = Peak(samples);
    std::printf("%zu frames, peak %.1f dBFS\n", samples.size() / 2, Db(std::max(peak, 1e-9f)));
    // Seconds of recording, or the silence says little.
    return samples.size() >= 2 * 44100 && Db(peak) < -60 ? 0 : 1;
}

int Analyse(const char* path, double hz, double dbfs) {
    const std::vector<float> data = ReadSamples(path);
    const size_t frames = data.size() / 2;
    // A block holds the tone when its RMS is within 20 dB of the expected level.
    const double floorRms = std::pow(10.0, (dbfs - 20) / 20) / std::sqrt(2.0);
    std::vector<std::vector<float>> toneBlocks;
    std::vector<double> rms[2];
    for (size_t start = 0; start + kBlock <= frames; start += kBlock) {
        std::vector<float> left(kBlock);
        double sum[2] = {0, 0};
        for (size_t i = 0; i < kBlock; ++i) {
            const float* frame = &data[2 * (start + i)];
            left[i] = frame[0];
            for (int c = 0; c < 2; ++c) sum[c] += double(frame[c]) * frame[c];
        }
        const double blockRms[2] = {std::sqrt(sum[0] / kBlock), std::sqrt(sum[1] / kBlock)};
        if (std::min(blockRms[0], blockRms[1]) < floorRms) continue;
        for (int c = 0; c < 2; ++c) rms[c].push_back(blockRms[c]);
        toneBlocks.push_back(std::move(left));
    }
    // At least a second of tone, or the figures say little.
    if (toneBlocks.size() < 10) {
        std::printf("recording too short or silent (%zu frames, %zu blocks of tone)\n", frames,
                    toneBlocks.size());
        return 1;
    }
    const double frequency = PeakFrequency(toneBlocks);
    std::printf("frequency %.1f Hz over %zu blocks of tone\n", frequency, toneBlocks.size());
    bool ok = std::fabs(frequency - hz) <= hz * 0.002;
    for (const auto& each : rms) {
        const double peakDb = Db(Median(each) * std::sqrt(2.0));
        std::printf("level %.2f dBFS (median of the blocks)\n", peakDb);
        ok = ok && std::fabs(peakDb - dbfs) <= 0.5;
    }
    return ok ? 0 : 1;
}

// The largest sample of the recording, which must hold some sound.
int Ceiling(const char* path, double dbfs) {
    const std::vector<float> samples = ReadSamples(path);
    const float peak = Peak(samples);
    const auto loud = static_cast<size_t>(
        std::count_if(samples.begin(), samples.end(), [](float x) { return std::fabs(x) > 0.5f; }));
    std::printf("peak %.3f dBFS over %zu samples, %zu above -6 dBFS\n", Db(peak), samples.size(),
                loud);
    // A tenth of a second of the two tones holds dozens of their peaks; a loaded machine's
    // sound server may take most of the run to start pulling.
    if (loud < size_t(kRate / 5)) {
        std::printf("recording too short or too quiet\n");
        return 1;
    }
    // At the ceiling, not below it: the mix went over and the limiter held it.
    return Db(peak) <= dbfs + 0.1 && Db(peak) >= dbfs - 0.5 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string_view(argv[1]) == "play") return Play(argc, argv, 1);
    if ((argc == 5 || argc == 6) && std::string_view(argv[1]) == "clip") return Play(argc, argv, 2);
    if (argc == 7 && std::string_view(argv[1]) == "cue") return Play(argc, argv, 1, true);
    if (argc == 3 && std::string_view(argv[1]) == "quiet") return Quiet(argv[2]);
    if (argc == 4 && std::string_view(argv[1]) == "ceiling")
        return Ceiling(argv[2], std::atof(argv[3]));
    if (argc == 5 && std::string_view(argv[1]) == "analyse")
        return Analyse(argv[2], std::atof(argv[3]), std::atof(argv[4]));
    std::fputs(
        "usage: corvane-e2e-play play|clip FILE SECONDS VOLUME | cue FILE SECONDS VOLUME PHONES "
        "CUE | quiet RAW | analyse RAW HZ DBFS | ceiling RAW DBFS\n",
        stderr);
    return 2;
}
