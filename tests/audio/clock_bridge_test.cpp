// The headphone stream of a second device, kept in step with the main one.
#include <gtest/gtest.h>

#include "support/clock_drift.h"

namespace corvane::testing {
namespace {

TEST(ClockBridge, DelayHoldsForTenMinutesWhateverTheClockDrift) {
    for (const double speed : {1.001, 0.999}) {
        const DriftRun run = SimulateDrift(speed, 600);
        EXPECT_LT(run.maxDeviation, 0.010) << speed;
        EXPECT_LT(std::fabs(run.lastDeviation), 0.001) << speed;  // and it settles back
        EXPECT_EQ(run.dropouts, 0) << speed;
        // A 0.5 peak 440 Hz tone moves at most 0.031 between samples: anything more is a click.
        EXPECT_LT(run.largestStep, 0.033f) << speed;
        EXPECT_NEAR(run.ratio, 1.0 / speed, 2e-4) << speed;
    }
}

TEST(ClockBridge, StartsOverAfterTheProducerStalls) {
    audio::ClockBridge bridge(44100, 32768, 1280);
    std::vector<float> in(1024, 0.25f), out(1024, 1.0f);
    bridge.Pull(out.data(), 512, 0.0);
    EXPECT_EQ(out[0], 0.0f);  // silent until primed
    double t = 0;
    for (int i = 0; i < 4; ++i, t += 512.0 / 44100) bridge.Push(in.data(), 512, t);
    for (int i = 0; i < 8; ++i) bridge.Pull(out.data(), 512, t + i * 512.0 / 44100);
    EXPECT_EQ(bridge.Dropouts(), 1);  // ran dry: nothing was pushed meanwhile
    for (int i = 0; i < 4; ++i, t += 512.0 / 44100) bridge.Push(in.data(), 512, t);
    bridge.Pull(out.data(), 512, t);
    bridge.Pull(out.data(), 512, t + 512.0 / 44100);
    EXPECT_FLOAT_EQ(out[1022], 0.25f);  // primed again and faded in
}

}  // namespace
}  // namespace corvane::testing
