#include <QSignalSpy>
#include <cmath>

#include "audio/channel.h"
#include "audio_support.h"

namespace corvane::audio::testing {
namespace {

// The arithmetic of the mix, with the limiter off (full scale is over its ceiling).
class EngineMix : public OfflineEngineTest {
protected:
    void SetUp() override {
        OfflineEngineTest::SetUp();
        engine_->SetLimiter(false);
    }
    // The next `frames` frames as heard: rendered past the master's delay, which is dropped.
    std::vector<float> Heard(int frames) {
        const std::vector<float> out = Render(frames + delay_);
        return {out.begin() + 2 * delay_, out.end()};
    }
    // The file the exact comparisons play, as its decoder gives it.
    std::vector<float> Decoded() {
        QString error;
        const auto decoder = OpenDecoder(sine_, 44100, &error);
        return decoder ? ReadAll(*decoder) : std::vector<float>();
    }

    const QString sine_ = Fixture("sine1k_44100_stereo_s16.wav");
};

TEST_F(EngineMix, FullScaleSineComesOutSampleExact) {
    const std::vector<float> reference = Decoded();
    ASSERT_EQ(reference.size(), 2u * 88200);
    MediaPlayer* p = engine_->Player(1);
    ASSERT_TRUE(Open(p, sine_));
    p->Play();
    const std::vector<float> out = Heard(88200 + 1000);
    for (size_t i = 0; i < reference.size(); ++i) ASSERT_EQ(out[i], reference[i]) << i;
    for (size_t i = reference.size(); i < out.size(); ++i) ASSERT_EQ(out[i], 0.0f);
}

TEST_F(EngineMix, VolumeAndBalanceScaleEachChannel) {
    const std::vector<float> reference = Decoded();
    struct Case {
        int volume, balance;
        double left, right;
    };
    const Case cases[] = {{-600, 0, std::pow(10.0, -0.3), std::pow(10.0, -0.3)},
                          {0, -3360, 1.0, std::pow(10.0, -1.68)},
                          {0, 3360, std::pow(10.0, -1.68), 1.0},
                          {-10000, 0, 0.0, 0.0}};
    MediaPlayer* p = engine_->Player(2);
    ASSERT_TRUE(Open(p, sine_));
    for (const Case& c : cases) {
        p->Stop();
        p->SetPosition(0);
        p->SetVolume(c.volume);
        p->SetBalance(c.balance);
        p->Play();
        const std::vector<float> out = Heard(4096);
        for (size_t i = 0; i < out.size(); i += 2) {
            ASSERT_NEAR(out[i], reference[i] * c.left, 1e-4) << c.volume << " " << c.balance;
            ASSERT_NEAR(out[i + 1], reference[i + 1] * c.right, 1e-4);
        }
        if (c.volume == -10000) {
            EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](float v) { return v == 0.0f; }));
        }
    }
}

TEST_F(EngineMix, VolumeChangeRampsAcrossOneBuffer) {
    MediaPlayer* p = engine_->Player(3);
    ASSERT_TRUE(Open(p, QStringLiteral("dc:441000")));
    p->Play();
    Render(512);
    p->SetVolume(-2000);  // gain 0.5 -> 0.05
    // The buffer rendered after the change ramps; it comes out after the master's delay.
    const std::vector<float> out = Render(1024);
    const std::vector<float> ramp(out.begin() + 2 * delay_, out.begin() + 2 * (delay_ + 512));
    const std::vector<float> after(out.begin() + 2 * (delay_ + 512), out.end());
    const double allowed = (0.5 - 0.05) / 512;
    double previous = 0.5;
    for (size_t i = 0; i < ramp.size(); i += 2) {
        EXPECT_LT(ramp[i], previous);
        EXPECT_LE(previous - ramp[i], allowed + 1e-6);
        previous = ramp[i];
    }
    EXPECT_NEAR(ramp[ramp.size() - 2], 0.05, 1e-6);
    for (size_t i = 0; i < after.size(); i += 2) ASSERT_NEAR(after[i], 0.05, 1e-6);
}

TEST_F(EngineMix, TwoPlayersAddUp) {
    MediaPlayer* a = engine_->Player(4);
    MediaPlayer* b = engine_->AP(1);
    ASSERT_TRUE(Open(a, QStringLiteral("dc:44100")));
    ASSERT_TRUE(Open(b, QStringLiteral("counter:44100")));
    a->Play();
    b->Play();
    const std::vector<float> out = Heard(2000);
    for (size_t f = 0; f < 2000; ++f) {
        ASSERT_FLOAT_EQ(out[2 * f], 0.5f + f * 1e-6f);
        ASSERT_FLOAT_EQ(out[2 * f + 1], -0.5f - f * 1e-6f);
    }
}

TEST_F(EngineMix, SeekThenPlayStartsAtTheSample) {
    MediaPlayer* p = engine_->Player(5);
    ASSERT_TRUE(Open(p, QStringLiteral("counter:441000")));
    p->SetPosition(1.5);
    p->Play();
    const std::vector<float> out = Heard(1024);
    EXPECT_FLOAT_EQ(out[0], 66150 * 1e-6f);
    EXPECT_FLOAT_EQ(out[2 * 1023], 67173 * 1e-6f);
    // What was mixed, not less the master's delay.
    EXPECT_DOUBLE_EQ(p->Position(), (66150 + 1024 + delay_) / 44100.0);

    // The same through a real file: the first frame heard is the decoder's frame there.
    const std::vector<float> reference = Decoded();
    ASSERT_TRUE(Open(p, sine_));
    p->SetPosition(0.25);
    p->Play();
    const std::vector<float> real = Heard(512);
    for (size_t i = 0; i < real.size(); ++i) ASSERT_EQ(real[i], reference[2 * 11025 + i]);
}

TEST_F(EngineMix, PositionFollowsWhatWasRenderedAndStopKeepsIt) {
    MediaPlayer* p = engine_->Player(6);
    ASSERT_TRUE(Open(p, QStringLiteral("dc:441000")));
    p->Play();
    Render(44100);
    EXPECT_DOUBLE_EQ(p->Position(), 1.0);
    p->Stop();
    Render(44100);
    EXPECT_DOUBLE_EQ(p->Position(), 1.0);
    p->Play();
    Render(22050);
    EXPECT_DOUBLE_EQ(p->Position(), 1.5);
}

TEST_F(EngineMix, MetersHoldEachLinesPeakAfterTheFaderUntilRead) {
    MediaPlayer* line2 = engine_->Player(2);
    MediaPlayer* autoPilot = engine_->AP(1);
    ASSERT_TRUE(Open(line2, QStringLiteral("dc:44100")));
    ASSERT_TRUE(Open(autoPilot, QStringLiteral("dc:44100")));
    line2->SetVolume(-600);
    autoPilot->SetBalance(3360);  // left 0.5 x 10^-1.68
    line2->Play();
    autoPilot->Play();
    Render(2048);
    const float quieter = 0.5f * LevelToGain(-600);
    const float leftOfAutoPilot = 0.5f * LevelToGain(-3360);
    struct Case {
        int line;
        float peak;
    };
    const Case cases[] = {{0, 0.5f}, {1, 0.0f}, {2, quieter}, {6, 0.0f}, {8, 0.0f}};
    for (const Case& c : cases) EXPECT_FLOAT_EQ(engine_->TakeLinePeak(c.line), c.peak) << c.line;
    const Engine::StereoPeak master = engine_->TakeMasterPeak();
    EXPECT_FLOAT_EQ(master.left, quieter + leftOfAutoPilot);
    EXPECT_FLOAT_EQ(master.right, quieter + 0.5f);
    // Read means reset: nothing was rendered since.
    EXPECT_EQ(engine_->TakeLinePeak(2), 0.0f);
    EXPECT_EQ(engine_->TakeLinePeak(7), 0.0f);
    Render(512);
    EXPECT_FLOAT_EQ(engine_->TakeLinePeak(7), quieter + 0.5f);
}

}  // namespace
}  // namespace corvane::audio::testing
