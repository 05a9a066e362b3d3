// The media-player interface on a session bus of the benchmark's own: how long a state change
// takes to reach a client as PropertiesChanged, and what taking the name costs, each beside
// the same trip for a bare D-Bus signal or connection.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QProcess>
#include <memory>

#include "mpris/mpris_service.h"

namespace {

using corvane::mpris::MprisService;

class SignalCounter : public QObject {
    Q_OBJECT

public:
    int count = 0;

public Q_SLOTS:
    void Received() { ++count; }
};

// One dbus-daemon for the whole run; empty when it cannot be started.
QString BusAddress() {
    static int argc = 1;
    static char name[] = "corvane-bench";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
    // Ended with the benchmark program (QProcess kills it when destroyed).
    static std::unique_ptr<QProcess> daemon;
    static QString address;
    if (daemon == nullptr) {
        daemon = std::make_unique<QProcess>();
        daemon->start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--session"), QStringLiteral("--nofork"),
                       QStringLiteral("--nopidfile"), QStringLiteral("--print-address")});
        if (daemon->waitForStarted(5000) && daemon->waitForReadyRead(5000))
            address = QString::fromUtf8(daemon->readLine().trimmed());
    }
    return address;
}

// Runs the event loop until `counter` has passed `target` (at most 5 s).
bool WaitForCount(const SignalCounter& counter, int target) {
    QElapsedTimer timer;
    timer.start();
    while (counter.count < target && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return counter.count >= target;
}

struct Pair {
    QDBusConnection service;
    QDBusConnection client;
    explicit Pair(const QString& address)
        : service(QDBusConnection::connectToBus(address, QStringLiteral("bench-service"))),
          client(QDBusConnection::connectToBus(address, QStringLiteral("bench-client"))) {}
    ~Pair() {
        QDBusConnection::disconnectFromBus(QStringLiteral("bench-service"));
        QDBusConnection::disconnectFromBus(QStringLiteral("bench-client"));
    }
};

void BM_MprisPropertiesChanged(benchmark::State& state) {
    const QString address = BusAddress();
    if (address.isEmpty()) return state.SkipWithError("no dbus-daemon");
    Pair bus(address);
    MprisService mpris(bus.service, {});
    mpris.Register();
    SignalCounter counter;
    bus.client.connect(QLatin1String(MprisService::kServiceName),
                       QLatin1String(MprisService::kObjectPath),
                       QStringLiteral("org.freedesktop.DBus.Properties"),
                       QStringLiteral("PropertiesChanged"), &counter, SLOT(Received()));
    corvane::remote::MprisState playing;
    playing.hasSongs = true;
    playing.title = QStringLiteral("Song");
    playing.path = QStringLiteral("/music/Song.mp3");
    for (auto _ : state) {
        playing.on = !playing.on;
        playing.sounding = playing.on;
        ++playing.track;
        mpris.SetState(playing);
        if (!WaitForCount(counter, counter.count + 1)) return state.SkipWithError("no signal");
    }
}
BENCHMARK(BM_MprisPropertiesChanged)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_DBusSignalFloor(benchmark::State& state) {
    const QString address = BusAddress();
    if (address.isEmpty()) return state.SkipWithError("no dbus-daemon");
    Pair bus(address);
    SignalCounter counter;
    bus.client.connect(QString(), QStringLiteral("/bench"), QStringLiteral("org.corvane.Bench"),
                       QStringLiteral("Ping"), &counter, SLOT(Received()));
    for (auto _ : state) {
        bus.service.send(QDBusMessage::createSignal(
            QStringLiteral("/bench"), QStringLiteral("org.corvane.Bench"), QStringLiteral("Ping")));
        if (!WaitForCount(counter, counter.count + 1)) return state.SkipWithError("no signal");
    }
}
BENCHMARK(BM_DBusSignalFloor)->Unit(benchmark::kMicrosecond)->UseRealTime();

// What the program does once its window has painted: connect, export, take the name.
void BM_MprisRegister(benchmark::State& state) {
    const QString address = BusAddress();
    if (address.isEmpty()) return state.SkipWithError("no dbus-daemon");
    for (auto _ : state) {
        {
            QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("reg"));
            MprisService mpris(bus, {});
            if (!mpris.Register()) return state.SkipWithError("not registered");
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("reg"));
    }
}
BENCHMARK(BM_MprisRegister)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_DBusConnectFloor(benchmark::State& state) {
    const QString address = BusAddress();
    if (address.isEmpty()) return state.SkipWithError("no dbus-daemon");
    for (auto _ : state) {
        {
            QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("reg"));
            benchmark::DoNotOptimize(bus.isConnected());
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("reg"));
    }
}
BENCHMARK(BM_DBusConnectFloor)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace

#include "mpris_bench.moc"
