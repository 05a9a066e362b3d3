// Headphones on a second device: a lost or missing device is said once and looked for again,
// while the main output carries on.
#include "audio/phones_link.h"

#include <QSignalSpy>
#include <atomic>

#include "audio/mixer.h"
#include "audio_support.h"

namespace corvane::audio::testing {
namespace {

using namespace std::chrono_literals;

class FakeOutput : public AudioOutput {
public:
    explicit FakeOutput(std::atomic<bool>* healthy) : healthy_(healthy) {}
    bool Start(QString*) override { return true; }
    void Stop() override {}
    bool Healthy() override { return healthy_->load(); }

private:
    std::atomic<bool>* healthy_;
};

TEST(PhonesLink, MissingDeviceIsSaidOnceAndLookedForUntilFoundAgain) {
    auto app = StartApplication();
    Mixer mixer({}, 44100);
    std::atomic<int> tries{0};
    std::atomic<int> presentFrom{3};  // the try that finds the device
    std::atomic<bool> healthy{true};
    QString asked;
    PhonesLink link(
        &mixer,
        [&](const DeviceRequest& request) {
            asked = request.device;
            EXPECT_NE(request.pull, nullptr);
            DeviceOpening opening;
            if (++tries >= presentFrom) opening.output = std::make_unique<FakeOutput>(&healthy);
            return opening;
        },
        1ms, 1ms);
    QSignalSpy missing(&link, &PhonesLink::Missing);
    link.Start(QStringLiteral("USB Headset"), 44100, 512, true);
    ASSERT_TRUE(WaitFor([&] { return link.Heard(); }));
    EXPECT_EQ(asked, QStringLiteral("USB Headset"));
    EXPECT_EQ(tries, 3);
    EXPECT_EQ(missing.count(), 1);

    // Unplugged: closed, said once more, and found again once it is back.
    healthy = false;
    presentFrom = 6;
    link.Check();
    EXPECT_FALSE(link.Heard());
    healthy = true;
    ASSERT_TRUE(WaitFor([&] { return link.Heard(); }));
    EXPECT_EQ(tries, 6);
    EXPECT_EQ(missing.count(), 2);

    link.Stop();
    EXPECT_FALSE(link.Heard());
}

}  // namespace
}  // namespace corvane::audio::testing
