// Driver for the end-to-end broadcast test and its figures.
//   corvane-e2e-broadcast play INI FILE SECONDS [device|null] [off]
//       plays FILE looped on Player(1) and broadcasts the master with the settings in INI's
//       [1.40] section, the title taken from FILE's name; prints each state and problem, then
//       "done" with the output's underruns, the frames dropped and the worker's CPU time.
//       "off" plays without broadcasting (the figures' floor).
//   corvane-e2e-broadcast analyse RAW HZ
//       checks that float32 stereo 44.1 kHz audio holds a tone of HZ (spectral peak within 1 %)
//   corvane-e2e-broadcast mute-server PORT SECONDS
//       listens on 127.0.0.1:PORT and never reads nor answers
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <numbers>
#include <thread>
#include <vector>

#include "audio/engine.h"
#include "audio/media_player.h"
#include "broadcast/broadcast_settings.h"
#include "broadcast/broadcaster.h"
#include "broadcast/mix_stream.h"
#include "broadcast/shout_connection.h"
#include "settings/settings.h"

using namespace corvane;
using namespace corvane::broadcast;

namespace {

double ProcessCpuSeconds() {
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return double(used.tv_sec) + used.tv_nsec / 1e9;
}

int Play(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool device = args.size() > 5 && args.at(5) == QLatin1String("device");
    const bool broadcasting = !(args.size() > 6 && args.at(6) == QLatin1String("off"));
    IniFiles ini;
    Settings settings(ini, args.at(2));
    audio::EngineOptions options;
    options.output = device ? audio::OutputKind::Device : audio::OutputKind::Null;
    audio::Engine engine(options, audio::OpenDecoder);
    audio::MediaPlayer* player = engine.Player(1);
    player->SetRepeatCount(999999);
    player->SetAutoStart(true);
    player->OpenFile(args.at(3));

    MasterTapSource source(&engine);
    Broadcaster::Parts parts;
    parts.connection = std::make_unique<ShoutConnection>();
    parts.encoder = std::make_unique<RecordStreamEncoder>();
    parts.source = &source;
    parts.attach = [&source](bool on) { source.Attach(on); };
    Broadcaster broadcaster(std::move(parts), engine.Rate());
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&broadcaster, &Broadcaster::StateChanged,
                     [&](BroadcastState state, const QString& status) {
                         std::printf("t=%.1f state=%d status=%s\n", clock.elapsed() / 1000.0,
                                     static_cast<int>(state), qPrintable(status));
                         std::fflush(stdout);
                     });
    QObject::connect(&broadcaster, &Broadcaster::Problem, [&](const QString& message) {
        std::printf("t=%.1f problem=%s\n", clock.elapsed() / 1000.0, qPrintable(message));
        std::fflush(stdout);
    });
    if (broadcasting) {
        broadcaster.SetTitle(TitleFor(args.at(3)));
        broadcaster.Connect(LoadBroadcastSettings(settings));
    }
    const double cpuStart = ProcessCpuSeconds();
    QTimer::singleShot(static_cast<int>(args.at(4).toDouble() * 1000), &app,
                       &QCoreApplication::quit);
    app.exec();
    const double seconds = clock.elapsed() / 1000.0;
    std::printf(
        "done playing=%d underruns=%lld dropped=%lld seconds=%.1f worker_cpu_ms=%.1f "
        "process_cpu_ms=%.1f\n",
        player->PlayState() == audio::MediaPlayer::kPlaying ? 1 : 0, engine.Underruns(),
        broadcaster.DroppedFrames(), seconds, broadcaster.WorkerCpuTime().count() / 1e6,
        (ProcessCpuSeconds() - cpuStart) * 1000);
    return 0;
}

// Power of `x` (one channel of interleaved stereo) at `hz`, Goertzel.
double PowerAt(const std::vector<float>& x, double hz) {
    const double coeff = 2 * std::cos(2 * std::numbers::pi * hz / 44100);
    double s1 = 0, s2 = 0;
    for (size_t i = 0; i < x.size(); i += 2) {
        const double s0 = x[i] + coeff * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return s1 * s1 + s2 * s2 - coeff * s1 * s2;
}

int Analyse(const char* path, double hz) {
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) return 2;
    const QByteArray raw = file.readAll();
    std::vector<float> x(static_cast<size_t>(raw.size()) / sizeof(float));
    std::memcpy(x.data(), raw.constData(), x.size() * sizeof(float));
    if (x.size() < 44100) {
        std::printf("too short: %zu samples\n", x.size());
        return 1;
    }
    double peak = 0, most = -1;
    for (double f = 50; f <= 5000; f += 5) {
        const double power = PowerAt(x, f);
        if (power > most) {
            most = power;
            peak = f;
        }
    }
    std::printf("peak=%.0f Hz over %.1f s\n", peak, x.size() / 2 / 44100.0);
    return std::abs(peak - hz) <= hz * 0.01 ? 0 : 1;
}

int MuteServer(int port, int seconds) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0)
        return 1;
    // The kernel accepts the connections; nothing here ever reads them.
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    close(fd);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("play") && argc >= 5) return Play(argc, argv);
    if (mode == QLatin1String("analyse") && argc == 4) return Analyse(argv[2], std::atof(argv[3]));
    if (mode == QLatin1String("mute-server") && argc == 4)
        return MuteServer(std::atoi(argv[2]), std::atoi(argv[3]));
    std::fprintf(stderr, "usage: see the top of e2e_broadcast.cpp\n");
    return 2;
}
