#include "app/stats_report.h"

#include <QFile>
#include <cstdio>

#include "audio/engine.h"
#include "audio/media_player.h"

namespace corvane::app {

StatsReport::StatsReport(audio::Engine& engine, int intervalMs, QObject* parent)
    : QObject(parent), engine_(engine) {
    for (int i = 0; i < 2; ++i) {
        audio::MediaPlayer* player = engine.AP(i);
        connect(player, &audio::MediaPlayer::PlayStateChanged, this,
                [this, player](int, int, int newState) {
                    if (newState != audio::MediaPlayer::kPlaying) return;
                    ++started_;
                    std::fprintf(stderr, "started %s\n",
                                 QFile::encodeName(player->FileName()).constData());
                });
    }
    connect(&timer_, &QTimer::timeout, this, &StatsReport::Print);
    timer_.start(intervalMs);
}

void StatsReport::Print() {
    std::fprintf(stderr, "stats underruns=%lld starved=%lld silent=%d started=%lld\n",
                 engine_.Underruns(), engine_.StarvedBuffers(), engine_.PlayingSilently() ? 1 : 0,
                 started_);
    std::fflush(stderr);
}

}  // namespace corvane::app
