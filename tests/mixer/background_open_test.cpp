#include "mixer/background_open.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "fake_mixer.h"

namespace corvane::mixer::testing {
namespace {

// The opening runs on a thread of its own while the caller goes on; the first use waits for
// it and then talks to what was opened.
TEST(BackgroundOpen, OpensAwayFromTheCallerAndTheFirstUseWaits) {
    FakeMixerState state;
    state.controls[MixerLine::Master] = {0, 65536};
    state.result = -5;
    state.error = QStringLiteral("no mic");
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::thread::id openedOn;
    auto backend = OpenInBackground([&state, released, &openedOn] {
        openedOn = std::this_thread::get_id();
        released.wait();
        return MakeFake(state);
    });
    // Still opening: the caller was not held up.
    release.set_value();
    const std::optional<ControlBounds> master = backend->FindControl(MixerLine::Master);
    EXPECT_NE(openedOn, std::this_thread::get_id());
    ASSERT_TRUE(master.has_value());
    EXPECT_EQ(master->maximum, 65536);
    EXPECT_FALSE(backend->FindControl(MixerLine::Mic).has_value());
    EXPECT_EQ(backend->SetControl(MixerLine::Master, 300), -5);
    EXPECT_EQ(state.WritesTo(MixerLine::Master), std::vector<long long>{300});
    EXPECT_EQ(backend->ErrorText(), QStringLiteral("no mic"));
}

// Nothing opened is a mixer without controls, as SystemMixer treats a null backend; dropping
// the backend before its first use waits for the opening rather than leave it running.
TEST(BackgroundOpen, NothingOpenedHasNoControlsAndDroppingWaits) {
    SystemMixer mixer(OpenInBackground([] { return std::unique_ptr<MixerBackend>(); }));
    EXPECT_FALSE(mixer.InitMixer());
    EXPECT_FALSE(mixer.MicVolumeAvailable());
    EXPECT_EQ(mixer.ErrorText(), QStringLiteral("No mixer device could be opened."));

    bool opened = false;
    {
        auto backend = OpenInBackground([&opened] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            opened = true;
            return std::unique_ptr<MixerBackend>();
        });
    }
    EXPECT_TRUE(opened);
}

}  // namespace
}  // namespace corvane::mixer::testing
