#include <gtest/gtest.h>

#include "overlap_render.h"

namespace corvane::autopilot::testing {
namespace {

class AutoPilotEngine : public ::testing::Test {
protected:
    void SetUp() override {
        if (QCoreApplication::instance() == nullptr) {
            static int argc = 1;
            static char name[] = "autopilot_tests";
            static char* argv[] = {name, nullptr};
            app_ = std::make_unique<QCoreApplication>(argc, argv);
        }
    }
    std::unique_ptr<QCoreApplication> app_;
};

// Three 8-second tones with FadeSeconds 3: each next song starts exactly 3 s before the
// previous one ends, heard in the mix.
TEST_F(AutoPilotEngine, EightSecondSongsOverlapByThreeSecondsInTheMix) {
    const QStringList songs{FixturePath("song_8s_a.wav"), FixturePath("song_8s_b.wav"),
                            FixturePath("song_8s_c.wav")};
    const std::vector<float> mix = RenderAutoPilot(songs, false, 3, 20.0);
    std::vector<ToneSpan> spans;
    for (double f : {440.0, 660.0, 880.0}) {
        const std::vector<ToneSpan> found = FindTone(mix, f, 0.5);
        ASSERT_EQ(found.size(), 1u) << f;
        spans.push_back(found[0]);
    }
    for (const ToneSpan& span : spans) EXPECT_NEAR(span.end - span.start, 8.0, 0.01);
    EXPECT_NEAR(spans[0].start, kLeadIn, 0.01);
    for (size_t i = 1; i < spans.size(); ++i) {
        EXPECT_NEAR(spans[i - 1].end - spans[i].start, 3.0, 0.01) << i;
        EXPECT_NEAR(spans[i].start - spans[i - 1].start, 5.0, 0.01) << i;
    }
    // Nothing follows the last entry without the loop.
    const auto after = mix.begin() + static_cast<long>((spans[2].end + 0.05) * 44100);
    EXPECT_TRUE(std::all_of(after, mix.end(), [](float v) { return v == 0.0f; }));
}

}  // namespace
}  // namespace corvane::autopilot::testing
