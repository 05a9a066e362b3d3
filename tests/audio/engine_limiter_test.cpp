// The master limiter, heard through the offline renderer.
#include <cmath>
#include <cstdint>
#include <numbers>

#include "audio_support.h"

namespace corvane::audio::testing {
namespace {

constexpr long long kSegment = 22050;  // 0.5 s

// "levels:a,b,..": a 1 kHz sine whose amplitude is a for the first half second, then b, ...
float Level(const QStringList& levels, long long i) {
    const float amplitude = levels[static_cast<int>(i / kSegment)].toFloat();
    return amplitude * static_cast<float>(std::sin(2.0 * std::numbers::pi * 1000.0 * i / 44100));
}

std::unique_ptr<Decoder> LevelsFactory(const QString& path, int rate, QString* error) {
    if (!path.startsWith(QLatin1String("levels:"))) return TestFactory(path, rate, error);
    const QStringList levels = path.mid(7).split(QLatin1Char(','));
    return std::make_unique<SignalDecoder>(kSegment * levels.size(),
                                           [levels](long long i) { return Level(levels, i); });
}

class EngineLimiter : public OfflineEngineTest {
protected:
    void SetUp() override {
        OfflineEngineTest::SetUp();
        Restart(OutputKind::Offline, LevelsFactory);
    }
    // Plays `levels` on the first `players` players and renders `frames` frames of the mix.
    std::vector<float> Play(const QStringList& levels, int players, int frames) {
        for (int i = 1; i <= players; ++i) {
            EXPECT_TRUE(Open(engine_->Player(i), QStringLiteral("levels:") + levels.join(u',')));
            engine_->Player(i)->Play();
        }
        return Render(frames);
    }

    const float ceiling_ = static_cast<float>(std::pow(10.0, -1.0 / 20));
};

TEST_F(EngineLimiter, LoudMixStaysUnderTheCeilingOnlyWhileOn) {
    EXPECT_EQ(delay_, 66);  // 1.5 ms
    // Two full-scale players; one alone is the step test's. The output's peak:
    const struct {
        bool on;
        float lowest, highest;
    } cases[] = {{true, ceiling_ * 0.9886f, ceiling_},  // within 0.1 dB under it
                 {false, 1.99f, 2.0f}};
    for (const auto& c : cases) {
        engine_->SetLimiter(c.on);
        const std::vector<float> out = Play({QStringLiteral("1"), QStringLiteral("1")}, 2, 44100);
        EXPECT_GE(PeakOf(out), c.lowest) << c.on;
        EXPECT_LE(PeakOf(out), c.highest) << c.on;
        for (int i = 1; i <= 2; ++i) engine_->Player(i)->Stop();
        Render(44100);  // past the release
    }
}

// Quiet, then full scale (a step with nothing to warn of it but the look-ahead), then half
// scale (-6 dBFS) again, which must pass bit-exact once the gain is back.
TEST_F(EngineLimiter, StepIsCaughtWithoutOvershootAndTheGainRecovers) {
    const QStringList levels = {QStringLiteral("0.25"), QStringLiteral("1"), QStringLiteral("0.5"),
                                QStringLiteral("0.5")};
    const std::vector<float> out = Play(levels, 1, 4 * kSegment);
    EXPECT_LE(PeakOf(out), ceiling_);
    EXPECT_GE(PeakOf(out, 2 * (kSegment + delay_), 4 * kSegment), ceiling_ * 0.9886f);
    // Silent for the delay, then untouched on both sides until the step comes into view.
    for (int i = 0; i < delay_; ++i) ASSERT_EQ(out[2 * i], 0.0f) << i;
    for (long long i = 0; i + delay_ < kSegment; ++i) {
        ASSERT_EQ(out[2 * (delay_ + i)], Level(levels, i)) << i;
        ASSERT_EQ(out[2 * (delay_ + i) + 1], -Level(levels, i)) << i;
    }
    // Back to gain 1 within four release constants after the loud part has come out.
    const float firstAfter = out[2 * (2 * kSegment + delay_ + 10)];
    EXPECT_LT(std::fabs(firstAfter), std::fabs(Level(levels, 2 * kSegment + 10)));
    for (long long i = 2 * kSegment + 17640; i + delay_ < 4 * kSegment; ++i)
        ASSERT_EQ(out[2 * (delay_ + i)], Level(levels, i)) << i;
}

}  // namespace
}  // namespace corvane::audio::testing
