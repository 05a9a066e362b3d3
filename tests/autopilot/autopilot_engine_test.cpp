#include <gtest/gtest.h>

#include "overlap_render.h"
#include "support/files.h"

namespace corvane::autopilot::testing {
namespace {

class AutoPilotEngine : public ::testing::Test {
protected:
    void SetUp() override { app_ = StartApplication(); }
    std::unique_ptr<QCoreApplication> app_;
};

// Three 8-second tones with FadeSeconds 3: each next song starts exactly 3 s before the
// previous one ends, heard in the mix.
TEST_F(AutoPilotEngine, EightSecondSongsOverlapByThreeSecondsInTheMix) {
    const QStringList songs{Fixture("song_8s_a.wav"), Fixture("song_8s_b.wav"),
                            Fixture("song_8s_c.wav")};
    const std::vector<float> mix = RenderAutoPilot(songs, false, 3, 20.0);
    std::vector<ToneSpan> spans;
    for (double f : {440.0, 660.0, 880.0}) {
        const std::vector<ToneSpan> found = FindTone(mix, f, 0.5);
        ASSERT_EQ(found.size(), 1u) << f;
        spans.push_back(found[0]);
    }
    for (const ToneSpan& span : spans) EXPECT_NEAR(span.end - span.start, 8.0, 0.01);
    EXPECT_NEAR(spans[0].start, kLeadIn, 0.01);
    for (size_t i = 1; i < spans.size(); ++i)
        EXPECT_NEAR(spans[i - 1].end - spans[i].start, 3.0, 0.01) << i;
    // Nothing follows the last entry without the loop.
    const auto after = mix.begin() + static_cast<long>((spans[2].end + 0.05) * 44100);
    EXPECT_TRUE(std::all_of(after, mix.end(), [](float v) { return v == 0.0f; }));
}

// A scheduled start is exact on its own, and Stop before it is reached cancels it.
TEST_F(AutoPilotEngine, ScheduledStartIsExactAndStopCancelsIt) {
    for (const bool cancel : {false, true}) {
        audio::EngineOptions options;
        options.output = audio::OutputKind::Offline;
        audio::Engine engine(options, audio::OpenDecoder);
        audio::MediaPlayer* first = engine.AP(0);
        audio::MediaPlayer* second = engine.AP(1);
        first->OpenFile(Fixture("song_8s_a.wav"));
        second->OpenFile(Fixture("song_8s_b.wav"));
        ASSERT_TRUE(WaitFor([&] {
            return first->OpenState() == audio::MediaPlayer::kOpen &&
                   second->OpenState() == audio::MediaPlayer::kOpen;
        }));
        first->Play();
        ASSERT_TRUE(second->PlayAfter(*first, 3.0));
        EXPECT_FALSE(second->PlayAfter(*second, 3.0));
        if (cancel) second->Stop();
        std::vector<float> mix(static_cast<size_t>(44100 * 0.1));
        std::vector<float> block(2 * 1000);
        for (int i = 0; i < 441; ++i) {
            engine.RenderOffline(block.data(), 1000);
            for (int k = 0; k < 1000; ++k) mix.push_back(block[2 * k]);
        }
        const std::vector<ToneSpan> b = FindTone(mix, 660.0, 0.5);
        if (cancel) {
            EXPECT_TRUE(b.empty());
        } else {
            ASSERT_EQ(b.size(), 1u);
            EXPECT_NEAR(b[0].start, kLeadIn + 5.0, 0.002);
            EXPECT_EQ(second->PlayState(), audio::MediaPlayer::kStopped);
        }
    }
}

}  // namespace
}  // namespace corvane::autopilot::testing
