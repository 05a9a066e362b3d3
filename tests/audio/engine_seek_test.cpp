#include <QSignalSpy>
#include <cmath>

#include "audio/channel.h"
#include "audio_support.h"

namespace corvane::audio::testing {
namespace {

constexpr int kFade = kSeekFadeFrames;
constexpr float kCounterStep = 1e-6f;  // "counter:" frame i carries i * 1e-6

// A file that claims twice the length it holds, as a header can; seeks past what it holds fail.
class OverclaimingDecoder : public SignalDecoder {
public:
    explicit OverclaimingDecoder(long long frames)
        : SignalDecoder(frames, [](long long) { return 0.5f; }), claimed_(2 * frames) {}
    long long LengthFrames() const override { return claimed_; }

private:
    long long claimed_;
};

class EngineSeek : public OfflineEngineTest {
protected:
    void SetUp() override {
        OfflineEngineTest::SetUp();
        Restart(OutputKind::Offline, [](const QString& path, int rate, QString* error) {
            if (!path.startsWith(QLatin1String("overclaim:")))
                return TestFactory(path, rate, error);
            return std::unique_ptr<Decoder>(std::make_unique<OverclaimingDecoder>(
                path.section(QLatin1Char(':'), 1).toLongLong()));
        });
        engine_->SetLimiter(false);  // the delay stays
    }
    long long Frame(const MediaPlayer* p) const { return std::llround(p->Position() * 44100); }
};

float MaxStep(const std::vector<float>& v, size_t from, size_t to) {
    float step = 0.0f;
    for (size_t i = from + 1; i < to && i < v.size(); ++i)
        step = std::max(step, std::fabs(v[i] - v[i - 1]));
    return step;
}

TEST_F(EngineSeek, SeekWhilePlayingFadesAcrossAndLandsOnTheFrame) {
    MediaPlayer* p = engine_->Player(1);
    ASSERT_TRUE(Open(p, QStringLiteral("counter:441000")));
    p->Play();
    Render(10000 + delay_);
    ASSERT_EQ(Frame(p), 10000 + delay_);
    const long long from = Frame(p);
    const long long target = 400000;
    p->SetPosition(target / 44100.0);
    // The time display follows at once, before anything of the new place is heard.
    EXPECT_EQ(Frame(p), target);

    // Render past the fades; left[delay_ + i] is mixed frame from + i.
    const std::vector<float> out = Render(4096);
    std::vector<float> left;
    for (size_t i = 0; i < out.size(); i += 2) left.push_back(out[i]);
    for (int i = 0; i < kFade; ++i) {
        const float envelope = 1.0f - static_cast<float>(i + 1) / kFade;
        ASSERT_NEAR(left[delay_ + i], (from + i) * kCounterStep * envelope, 1e-6) << i;
    }
    for (int i = 0; i < kFade; ++i) {
        const float envelope = static_cast<float>(i + 1) / kFade;
        ASSERT_NEAR(left[delay_ + kFade + i], (target + i) * kCounterStep * envelope, 1e-6) << i;
    }
    for (int i = 2 * kFade; i + delay_ < 4096; ++i)
        ASSERT_EQ(left[delay_ + i], (target + i - kFade) * kCounterStep) << i;
    // A jump of 0.39 without the fade; the fades step by a 128th of it at most.
    EXPECT_LT(MaxStep(left, 0, left.size()), 0.004f);
    EXPECT_EQ(Frame(p), target + 4096 - kFade);
}

TEST_F(EngineSeek, PauseHoldsThePositionAndResumesFromIt) {
    MediaPlayer* p = engine_->Player(2);
    ASSERT_TRUE(Open(p, QStringLiteral("counter:441000")));
    QSignalSpy states(p, &MediaPlayer::PlayStateChanged);
    p->Play();
    Render(5000);
    p->Pause();
    EXPECT_EQ(p->PlayState(), MediaPlayer::kPaused);
    Render(4096);
    const long long held = Frame(p);
    EXPECT_EQ(held, 5000 + kFade);
    const std::vector<float> silent = Render(8192);
    EXPECT_EQ(Frame(p), held);
    for (size_t i = 2 * static_cast<size_t>(delay_); i < silent.size(); ++i)
        ASSERT_EQ(silent[i], 0.0f) << i;

    // A seek while paused moves the held place; Play carries on from it with a fade-in.
    p->SetPosition(2.0);
    Render(512);
    EXPECT_EQ(Frame(p), 88200);
    p->Play();
    EXPECT_EQ(p->PlayState(), MediaPlayer::kPlaying);
    const std::vector<float> out = Render(2048);
    EXPECT_EQ(Frame(p), 88200 + 2048);
    EXPECT_NEAR(out[2 * (delay_ + kFade - 1)], (88200 + kFade - 1) * kCounterStep, 1e-6);
    EXPECT_LT(out[2 * delay_], 88200 * kCounterStep / 64);

    p->Pause();
    p->Stop();
    EXPECT_EQ(p->PlayState(), MediaPlayer::kStopped);
    const QList<int> expected = {2, 1, 2, 1, 0};
    QList<int> seen;
    for (const QList<QVariant>& change : states) seen.append(change.at(2).toInt());
    EXPECT_EQ(seen, expected);
}

TEST_F(EngineSeek, SeekBeyondTheEndEndsThePlayAsItsEndDoes) {
    // A truthful length (the seek lands on the end) and one that overshoots the file (the
    // decoder cannot get there).
    const struct {
        const char* path;
        double seconds;
    } cases[] = {{"dc:441000", 60.0}, {"overclaim:441000", 20.0}};
    for (const auto& c : cases) {
        MediaPlayer* p = engine_->Player(3);
        ASSERT_TRUE(Open(p, QLatin1String(c.path))) << c.path;
        QSignalSpy states(p, &MediaPlayer::PlayStateChanged);
        p->Play();
        Render(4096);
        p->SetPosition(c.seconds);
        Render(4096);
        ASSERT_TRUE(WaitFor([p] { return p->PlayState() == MediaPlayer::kStopped; }, 2000))
            << c.path;
        EXPECT_EQ(states.count(), 2) << c.path;
        // As after any end, Play starts the song over.
        p->Play();
        Render(1024);
        EXPECT_EQ(Frame(p), 1024) << c.path;
        p->Stop();
    }
}

TEST_F(EngineSeek, ScheduledOverlapFollowsTheLeadersSeek) {
    MediaPlayer* current = engine_->AP(0);
    MediaPlayer* next = engine_->AP(1);
    ASSERT_TRUE(Open(current, QStringLiteral("dc:441000")));
    ASSERT_TRUE(Open(next, QStringLiteral("dc:441000")));
    current->Play();
    Render(4096);
    ASSERT_TRUE(next->PlayAfter(*current, 1.0));
    // From 1 s in to 2 s before the end: the next song starts when 1 s is left, 1 s from now.
    current->SetPosition(8.0);
    Render(22050);
    EXPECT_EQ(Frame(next), 0);
    Render(44100);
    EXPECT_EQ(Frame(next), Frame(current) - 396900);
    EXPECT_GT(Frame(next), 0);
}

}  // namespace
}  // namespace corvane::audio::testing
