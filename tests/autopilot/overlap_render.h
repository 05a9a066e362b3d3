#pragma once

// Plays a list on the AutoPilot over the real engine's offline output and finds where each
// tone starts and ends in the mix. Shared by the autopilot tests and corvane-bench.

#include <QCoreApplication>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "audio/decoder.h"
#include "audio/engine.h"
#include "audio/media_player.h"
#include "autopilot/autopilot.h"
#include "engine/media_player_line.h"
#include "playlist/playlist.h"
#include "settings/ini.h"
#include "settings/settings.h"
#include "support/files.h"

namespace corvane::autopilot::testing {

inline constexpr double kLeadIn = 0.1;

// The left channel of `seconds` of the mix while the AutoPilot plays `songs` from APlay on,
// with a main tick every 300 ms of rendered sound, after kLeadIn seconds of silence (so a
// tone at the very start is measured like any other).
inline std::vector<float> RenderAutoPilot(const QStringList& songs, bool loop, int fadeSeconds,
                                          double seconds) {
    constexpr int kRate = 44100;
    constexpr int kBlock = 512;
    constexpr int kTickFrames = kRate * 3 / 10;
    audio::EngineOptions options;
    options.output = audio::OutputKind::Offline;
    options.rate = kRate;
    // Two overlapping tones peak at full scale: the limiter's gain would move the edges the
    // tone finder looks for.
    options.limiter = false;
    audio::Engine engine(options, audio::OpenDecoder);
    engine::MediaPlayerLine ap0(engine.AP(0));
    engine::MediaPlayerLine ap1(engine.AP(1));

    QTemporaryDir dir;
    IniFiles ini;
    Settings settings(ini, dir.filePath(QStringLiteral("Corvane.ini")));
    settings.SavePref(keys::kFadeSeconds, fadeSeconds);
    settings.SavePref(keys::LoopKey(0), loop);
    Playlist playlist;
    playlist.SongList = songs;
    RandomSource random(1);
    AutoPilot autoPilot({&ap0, &ap1}, playlist, settings, random, [] { return qint64(1); });
    for (audio::MediaPlayer* player : {engine.AP(0), engine.AP(1)}) {
        QObject::connect(player, &audio::MediaPlayer::OpenStateChanged, &autoPilot,
                         &AutoPilot::OpenStateChanged);
        QObject::connect(player, &audio::MediaPlayer::PlayStateChanged, &autoPilot,
                         &AutoPilot::PlayStateChanged);
    }
    // The offline render runs far faster than real time: an open or the report of a song's
    // end, which take milliseconds of real time, are waited for here so that they do not cost
    // seconds of the render.
    auto unsettled = [](const audio::MediaPlayer* p) {
        return p->OpenState() == audio::MediaPlayer::kOpening ||
               (p->PlayState() == audio::MediaPlayer::kPlaying && p->Duration() > 0.0 &&
                p->Position() >= p->Duration());
    };
    auto settleOpens = [&engine, &unsettled] {
        QCoreApplication::processEvents();
        WaitFor([&] { return !unsettled(engine.AP(0)) && !unsettled(engine.AP(1)); });
    };
    autoPilot.APlay();
    settleOpens();

    const long total = std::lround(seconds * kRate);
    const long leadIn = std::lround(kLeadIn * kRate);
    std::vector<float> left(static_cast<size_t>(leadIn + total));
    std::vector<float> block(2 * kBlock);
    int sinceTick = 0;
    for (long done = 0; done < total; done += kBlock) {
        const int n = static_cast<int>(std::min<long>(kBlock, total - done));
        engine.RenderOffline(block.data(), n);
        for (int i = 0; i < n; ++i) left[static_cast<size_t>(leadIn + done + i)] = block[2 * i];
        settleOpens();
        sinceTick += n;
        if (sinceTick >= kTickFrames) {
            sinceTick -= kTickFrames;
            autoPilot.AutoPilotTick();
        }
    }
    return left;
}

struct ToneSpan {
    double start = 0.0;  // seconds
    double end = 0.0;
};

// Where a tone of `frequency` is present: a Goertzel level over a 20 ms window, hopped by
// 1 ms; the tone counts from the window whose level first reaches half the full level.
inline std::vector<ToneSpan> FindTone(const std::vector<float>& mono, double frequency,
                                      double amplitude, int rate = 44100) {
    constexpr int kWindow = 882;
    constexpr int kHop = 44;
    const double w = 2.0 * std::numbers::pi * frequency / rate;
    const double coefficient = 2.0 * std::cos(w);
    std::vector<ToneSpan> spans;
    bool inside = false;
    for (size_t at = 0; at + kWindow <= mono.size(); at += kHop) {
        double s1 = 0.0, s2 = 0.0;
        for (int i = 0; i < kWindow; ++i) {
            const double s0 = mono[at + i] + coefficient * s1 - s2;
            s2 = s1;
            s1 = s0;
        }
        const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
        const double level = 2.0 * std::sqrt(std::max(0.0, power)) / kWindow;
        const bool present = level >= amplitude / 2.0;
        const double centre = (static_cast<double>(at) + kWindow / 2.0) / rate;
        if (present && !inside) spans.push_back({centre, centre});
        if (present) spans.back().end = centre;
        inside = present;
    }
    return spans;
}

}  // namespace corvane::autopilot::testing
