// What the engine does while nothing plays: the null output and the decoder workers sleep,
// the device is looked for on a thread of its own; none of it may lose a start or an end.
#include <QSignalSpy>
#include <atomic>
#include <future>
#include <mutex>
#include <vector>

#include "audio/device_probe.h"
#include "audio/master_tap.h"
#include "audio_support.h"

namespace corvane::audio::testing {
namespace {

using namespace std::chrono_literals;

// An output that counts how often the engine rests it and wakes it for a player.
struct Calls {
    std::atomic<int> rests{0};
    std::atomic<int> starts{0};
};
class CountedOutput : public AudioOutput {
public:
    explicit CountedOutput(Calls* calls) : calls_(calls) {}
    bool Start(QString*) override { return true; }
    void Stop() override {}
    void Rest() override { ++calls_->rests; }
    void PlayerStarted() override { ++calls_->starts; }

private:
    Calls* calls_;
};

struct ProbeLog {
    std::atomic<int> tries{0};
    std::atomic<bool> busy{false};
    std::atomic<int> succeedAt{-1};  // the try that finds the device
    Calls calls;
};

std::unique_ptr<DeviceProbe> MakeProbe(ProbeLog& log, std::chrono::milliseconds idle,
                                       bool tryNow = false,
                                       std::function<void(bool)> tried = nullptr) {
    return std::make_unique<DeviceProbe>(
        [&log]() -> std::unique_ptr<AudioOutput> {
            const int n = ++log.tries;
            return n == log.succeedAt ? std::make_unique<CountedOutput>(&log.calls) : nullptr;
        },
        [&log] { return log.busy.load(); }, 1ms, idle, tryNow, std::move(tried));
}

TEST(DeviceProbe, WaitsOutTheIdlePeriodUntilSomethingPlaysThenHandsOverTheFirstFound) {
    ProbeLog log;
    log.succeedAt = 3;
    auto probe = MakeProbe(log, 1h);
    QThread::msleep(30);
    EXPECT_EQ(log.tries, 0);
    EXPECT_EQ(probe->TakeFound(), nullptr);

    log.busy = true;
    ASSERT_TRUE(WaitFor([&] { return log.tries >= 3; }));
    std::unique_ptr<AudioOutput> found;
    ASSERT_TRUE(WaitFor([&] {
        if (found == nullptr) found = probe->TakeFound();
        return found != nullptr;
    }));
    QThread::msleep(20);
    EXPECT_EQ(log.tries, 3);  // no scans once found
    EXPECT_EQ(probe->TakeFound(), nullptr);
}

TEST(DeviceProbe, TriesWhileIdleAfterTheIdlePeriodAndStopsWhenGone) {
    ProbeLog log;
    auto probe = MakeProbe(log, 5ms);
    ASSERT_TRUE(WaitFor([&] { return log.tries >= 2; }));
    probe.reset();
    const int tries = log.tries;
    QThread::msleep(20);
    EXPECT_EQ(log.tries, tries);
}

// The engine's start: the device is tried at once, and each try is reported once a found
// output can be taken.
TEST(DeviceProbe, TriesAtOnceWhenAskedAndReportsEachTry) {
    ProbeLog log;
    log.succeedAt = 2;
    std::mutex mutex;
    std::vector<bool> reports;
    std::unique_ptr<AudioOutput> takenWhenReported;
    std::unique_ptr<DeviceProbe> probe;
    probe = MakeProbe(log, 1h, true, [&](bool found) {
        std::lock_guard lock(mutex);
        reports.push_back(found);
        if (found) takenWhenReported = probe->TakeFound();
    });
    // Idle with an hour to wait, yet the first try comes at once.
    ASSERT_TRUE(WaitFor([&] { return log.tries >= 1; }));
    log.busy = true;
    ASSERT_TRUE(WaitFor([&] {
        std::lock_guard lock(mutex);
        return reports.size() == 2;
    }));
    std::lock_guard lock(mutex);
    EXPECT_EQ(reports, (std::vector<bool>{false, true}));
    EXPECT_NE(takenWhenReported, nullptr);
}

// The null output sleeps while nothing plays and the workers of stopped players sleep: each
// start must still wake them, and each end must still be reported.
TEST_F(OfflineEngineTest, NullOutputPlaysAndEndsAgainAfterSleeping) {
    Restart(OutputKind::Null);
    MediaPlayer* p = engine_->Player(3);
    QSignalSpy states(p, &MediaPlayer::PlayStateChanged);
    ASSERT_TRUE(Open(p, QStringLiteral("dc:4410")));
    for (int round = 1; round <= 3; ++round) {
        QThread::msleep(50);
        QCoreApplication::processEvents();
        EXPECT_EQ(p->Position(), 0.0);
        p->Play();
        ASSERT_TRUE(WaitFor([p] { return p->PlayState() == MediaPlayer::kStopped; }))
            << "round " << round;
        EXPECT_DOUBLE_EQ(p->Position(), 0.1);
        EXPECT_EQ(states.count(), 2 * round);
        p->SetPosition(0.0);
        WaitFor([p] { return p->Position() == 0.0; });
    }
    // A stopped player keeps its place while the output sleeps.
    ASSERT_TRUE(Open(p, QStringLiteral("dc:441000")));
    p->Play();
    ASSERT_TRUE(WaitFor([p] { return p->Position() > 0.05; }));
    p->Stop();
    const double stoppedAt = p->Position();
    QThread::msleep(50);
    EXPECT_EQ(p->Position(), stoppedAt);
}

// The program's start: the device is held back until asked for, a song started meanwhile plays
// on in time, and only a failed first try turns the status silent (a device that is not there).
TEST_F(OfflineEngineTest, DeviceHeldUntilAskedThenSilentAfterAFailedTryWhilePlayingOn) {
    EngineOptions options;
    options.output = OutputKind::Device;
    options.device = QStringLiteral("no such device here");
    options.deviceOnRequest = true;
    Engine engine(options, TestFactory);
    QSignalSpy missing(&engine, &Engine::NoSoundDevice);
    MediaPlayer* p = engine.Player(1);
    ASSERT_TRUE(Open(p, QStringLiteral("dc:441000")));
    p->Play();
    ASSERT_TRUE(WaitFor([p] { return p->Position() > 0.05; }));
    EXPECT_FALSE(engine.PlayingSilently());
    EXPECT_TRUE(engine.OutputDevices().isEmpty());  // no scan yet

    engine.OpenDevice();
    ASSERT_TRUE(WaitFor([&] { return missing.count() == 1; }, 15000));
    EXPECT_TRUE(engine.PlayingSilently());
    EXPECT_EQ(engine.StatusText(), QLatin1String(Engine::kSilentText));
    EXPECT_EQ(p->PlayState(), MediaPlayer::kPlaying);
    const double before = p->Position();
    ASSERT_TRUE(WaitFor([&] { return p->Position() > before + 0.05; }));
}

// Switching outputs never waits for a device scan in progress: the request returns at once,
// the old output plays on, and the switch is reported once the scan has ended.
TEST_F(OfflineEngineTest, SwitchingOutputsDoesNotWaitForADeviceScan) {
    std::promise<void> release;
    const std::shared_future<void> scanEnds = release.get_future().share();
    std::atomic<bool> scanning{false};
    EngineOptions options;
    options.output = OutputKind::Device;
    options.openDevice = [&scanning, scanEnds](const DeviceRequest&) {
        scanning = true;
        scanEnds.wait_for(10s);
        return DeviceOpening{};
    };
    Engine engine(options, TestFactory);
    MediaPlayer* p = engine.Player(2);
    ASSERT_TRUE(Open(p, QStringLiteral("dc:441000")));
    p->Play();
    ASSERT_TRUE(WaitFor([&] { return scanning.load(); }));

    int switched = 0;
    engine.SetOutput(OutputKind::Null, QString(), 0, [&] { ++switched; });
    EXPECT_TRUE(engine.Switching());
    const double before = p->Position();
    ASSERT_TRUE(WaitFor([&] { return p->Position() > before + 0.05; }));
    EXPECT_EQ(switched, 0);

    release.set_value();
    ASSERT_TRUE(WaitFor([&] { return switched == 1; }));
    EXPECT_FALSE(engine.Switching());
    EXPECT_EQ(engine.RequestedOutput(), OutputKind::Null);
    EXPECT_EQ(p->PlayState(), MediaPlayer::kPlaying);
}

// A device that nothing plays through for a second rests (stops pulling) and is started again
// by the next Play, inside it, so the start is not delayed.
TEST_F(OfflineEngineTest, DeviceRestsWhileNothingPlaysAndPlayStartsIt) {
    Calls calls;
    EngineOptions options;
    options.output = OutputKind::Device;
    options.openDevice = [&](const DeviceRequest&) {
        DeviceOpening opening;
        opening.output = std::make_unique<CountedOutput>(&calls);
        return opening;
    };
    Engine engine(options, TestFactory);
    MediaPlayer* p = engine.Player(1);
    ASSERT_TRUE(Open(p, QStringLiteral("dc:4410000")));
    ASSERT_TRUE(WaitFor([&] { return calls.rests > 0; }, 10000));
    EXPECT_EQ(calls.starts, 0);
    p->Play();
    EXPECT_EQ(calls.starts, 1);
    const int rests = calls.rests;
    QSignalSpy never(&engine, &Engine::OutputChanged);
    never.wait(1500);  // three checks of the engine's while playing
    EXPECT_EQ(calls.rests, rests);

    // A recorder listening keeps the device awake through silence, so its clock runs on.
    p->Stop();
    MasterTap tap(4096);
    engine.AttachTap(kRecordTap, &tap);
    EXPECT_EQ(calls.starts, 2);
    never.wait(1500);
    EXPECT_EQ(calls.rests, rests);
    engine.DetachTap(kRecordTap);
    ASSERT_TRUE(WaitFor([&] { return calls.rests > rests; }, 10000));
}

}  // namespace
}  // namespace corvane::audio::testing
