#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "audio/decoder.h"
#include "audio/engine.h"
#include "audio/media_player.h"
#include "support/files.h"
#include "support/signal_decoder.h"

namespace corvane::audio::testing {

using corvane::testing::SignalDecoder;

// Opens "counter:N" as N frames whose value is the frame index scaled, "dc:N" as N frames of
// 0.5, anything else through the real decoders.
inline std::unique_ptr<Decoder> TestFactory(const QString& path, int rate, QString* error) {
    const long long frames = path.section(QLatin1Char(':'), 1).toLongLong();
    if (path.startsWith(QLatin1String("counter:")))
        return std::make_unique<SignalDecoder>(frames, [](long long i) { return i * 1e-6f; });
    if (path.startsWith(QLatin1String("dc:")))
        return std::make_unique<SignalDecoder>(frames, [](long long) { return 0.5f; });
    return OpenDecoder(path, rate, error);
}

// What `d` gives from where it is to its end, or to `limit` samples.
inline std::vector<float> ReadAll(Decoder& d, long long limit = 1LL << 26) {
    std::vector<float> all;
    float block[2 * 1000];
    int n = 0;
    while (static_cast<long long>(all.size()) < limit && (n = d.Read(block, 1000)) > 0)
        all.insert(all.end(), block, block + 2 * n);
    return all;
}

inline float PeakOf(const std::vector<float>& out, size_t from = 0, size_t to = SIZE_MAX) {
    float peak = 0.0f;
    for (size_t i = from; i < std::min(to, out.size()); ++i)
        peak = std::max(peak, std::fabs(out[i]));
    return peak;
}

// An engine on the offline renderer with the event loop the notifications need.
class OfflineEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        app_ = StartApplication();
        Restart(OutputKind::Offline);
    }
    void TearDown() override {
        engine_.reset();
        app_.reset();
    }

    // A new engine on `kind` (the old one gone first) that opens files through `factory`.
    void Restart(OutputKind kind, DecoderFactory factory = TestFactory) {
        engine_.reset();
        EngineOptions options;
        options.output = kind;
        engine_ = std::make_unique<Engine>(options, std::move(factory));
        delay_ = engine_->LatencyFrames();
    }
    // Opens `path` on `player` and waits for the open to settle; true when open.
    static bool Open(MediaPlayer* player, const QString& path) {
        player->OpenFile(path);
        WaitFor([player] { return player->OpenState() != MediaPlayer::kOpening; });
        return player->OpenState() == MediaPlayer::kOpen;
    }
    std::vector<float> Render(int frames, int block = 512) {
        std::vector<float> out(static_cast<size_t>(frames) * 2);
        for (int done = 0; done < frames; done += block)
            engine_->RenderOffline(out.data() + 2 * done, std::min(block, frames - done));
        QCoreApplication::processEvents();
        return out;
    }

    std::unique_ptr<QCoreApplication> app_;
    std::unique_ptr<Engine> engine_;
    int delay_ = 0;  // the frames the master lags the mix by (the limiter's look-ahead)
};

}  // namespace corvane::audio::testing
