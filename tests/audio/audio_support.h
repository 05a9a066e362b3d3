#pragma once

#include <gtest/gtest.h>

#include <QCoreApplication>
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

// An engine on the offline renderer with the event loop the notifications need.
class OfflineEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        app_ = StartApplication();
        EngineOptions options;
        options.output = OutputKind::Offline;
        engine_ = std::make_unique<Engine>(options, TestFactory);
    }
    void TearDown() override {
        engine_.reset();
        app_.reset();
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
};

}  // namespace corvane::audio::testing
