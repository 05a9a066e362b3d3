// Driver for the end-to-end sound test.
//   corvane-e2e-play play FILE SECONDS VOLUME   plays FILE looped on Player(1) through the sound
//                                               device, printing its state twice a second
//   corvane-e2e-play analyse RAW HZ DBFS        checks a float32 stereo 44.1 kHz recording for a
//                                               tone of HZ at DBFS (peak, within 0.5 dB)
#include <QCoreApplication>
#include <QFile>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/engine.h"
#include "engine/media_player.h"

using corvane::engine::Engine;
using corvane::engine::EngineOptions;
using corvane::engine::MediaPlayer;

namespace {

int Play(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    Engine engine(EngineOptions{}, corvane::engine::OpenDecoder);
    MediaPlayer* player = engine.Player(1);
    player->SetVolume(args.at(4).toInt());
    player->SetRepeatCount(999999);
    player->SetAutoStart(true);
    player->OpenFile(args.at(2));
    QTimer status;
    QObject::connect(&status, &QTimer::timeout, [&] {
        std::printf("state=%d position=%.2f silent=%d underruns=%lld\n", player->PlayState(),
                    player->Position(), engine.PlayingSilently() ? 1 : 0, engine.Underruns());
        std::fflush(stdout);
    });
    status.start(500);
    QTimer::singleShot(static_cast<int>(args.at(3).toDouble() * 1000), &app,
                       &QCoreApplication::quit);
    app.exec();
    std::printf("done state=%d\n", player->PlayState());
    return player->PlayState() == MediaPlayer::kPlaying ? 0 : 1;
}

int Analyse(const char* path, double hz, double dbfs) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) return 2;
    const QByteArray raw = file.readAll();
    const size_t frames = static_cast<size_t>(raw.size()) / 8;
    const float* data = reinterpret_cast<const float*>(raw.constData());
    // The tone's steady part: from the first loud frame, skip 0.2 s, take 1 s.
    size_t start = 0;
    while (start < frames && std::fabs(data[2 * start]) < 0.01f) ++start;
    start += 8820;
    const size_t length = 44100;
    if (start + length > frames) {
        std::printf("recording too short or silent (%zu frames)\n", frames);
        return 1;
    }
    double sum[2] = {0, 0};
    int crossings = 0;
    for (size_t i = start; i < start + length; ++i) {
        for (int c = 0; c < 2; ++c) sum[c] += double(data[2 * i + c]) * data[2 * i + c];
        if ((data[2 * i] >= 0) != (data[2 * i + 2] >= 0)) ++crossings;
    }
    const double frequency = crossings / 2.0;
    bool ok = std::fabs(frequency - hz) <= hz * 0.01;
    std::printf("frequency %.1f Hz\n", frequency);
    for (double s : sum) {
        const double peakDb = 20 * std::log10(std::sqrt(2 * s / length));
        std::printf("level %.2f dBFS\n", peakDb);
        ok = ok && std::fabs(peakDb - dbfs) <= 0.5;
    }
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string_view(argv[1]) == "play") return Play(argc, argv);
    if (argc == 5 && std::string_view(argv[1]) == "analyse")
        return Analyse(argv[2], std::atof(argv[3]), std::atof(argv[4]));
    std::fputs("usage: corvane-e2e-play play FILE SECONDS VOLUME | analyse RAW HZ DBFS\n", stderr);
    return 2;
}
