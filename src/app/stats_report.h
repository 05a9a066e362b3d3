#pragma once

#include <QObject>
#include <QTimer>

namespace corvane::audio {
class Engine;
}

namespace corvane::app {

// For the soak benchmark (bench/soak.sh), switched on by CORVANE_STATS_MS: every that many
// milliseconds prints the engine's device underruns and starved buffers, whether it plays
// silently, and the songs the AutoPilot's players have started, on standard error; and each
// AutoPilot start as it happens ("started <path>"), so the script can hold them against the log.
class StatsReport : public QObject {
    Q_OBJECT

public:
    StatsReport(audio::Engine& engine, int intervalMs, QObject* parent = nullptr);

private:
    void Print();

    audio::Engine& engine_;
    QTimer timer_;
    long long started_ = 0;
};

}  // namespace corvane::app
