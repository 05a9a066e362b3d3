#include <QSignalSpy>

#include "audio_support.h"

namespace corvane::audio::testing {
namespace {

using EnginePlayer = OfflineEngineTest;

int CountSound(const std::vector<float>& out) {
    int last = -1;
    for (size_t i = 0; i < out.size(); ++i)
        if (out[i] != 0.0f) last = static_cast<int>(i / 2);
    return last + 1;
}

TEST_F(EnginePlayer, RepeatCountPlaysTheFileThatOftenThenStopsOnce) {
    MediaPlayer* p = engine_->Player(1);
    QSignalSpy states(p, &MediaPlayer::PlayStateChanged);
    ASSERT_TRUE(Open(p, Fixture("sine1k_0.5s_44100_stereo_s16.wav")));
    p->SetRepeatCount(3);
    engine_->SetLimiter(false);  // a full-scale file, compared sample for sample
    p->Play();
    const std::vector<float> first = Render(26460);  // 0.6 s: into the second pass
    EXPECT_NEAR(p->Position(), 0.1, 1e-9);
    std::vector<float> out = Render(66150 - 26460 + 4410);
    out.insert(out.begin(), first.begin(), first.end());
    ASSERT_TRUE(WaitFor([&] { return states.count() == 2; }));
    EXPECT_EQ(CountSound(out), 66150 + delay_);
    // Gapless: pass 2 begins with the same samples as pass 1.
    for (int i = 0; i < 200; ++i) ASSERT_EQ(out[2 * (22050 + delay_) + i], out[2 * delay_ + i]);
    EXPECT_EQ(states.at(0), (QList<QVariant>{1, 0, 2}));
    EXPECT_EQ(states.at(1), (QList<QVariant>{1, 2, 0}));
    Render(4410);
    QCoreApplication::processEvents();
    EXPECT_EQ(states.count(), 2);
    EXPECT_EQ(p->PlayState(), 0);
}

TEST_F(EnginePlayer, LoopTurnedOnNearTheEndStillLoops) {
    MediaPlayer* p = engine_->Player(2);
    ASSERT_TRUE(Open(p, QStringLiteral("dc:4410")));  // all of it is decoded at once
    p->Play();
    Render(2048);
    p->SetRepeatCount(999999);
    Render(44100);
    EXPECT_EQ(p->PlayState(), 2);
    // Taken back: the pass being heard is the last, although the worker decoded further ones.
    const double position = p->Position();
    p->SetRepeatCount(1);
    const std::vector<float> out = Render(44100);
    EXPECT_NEAR(CountSound(out), 4410 - position * 44100, 512);
    ASSERT_TRUE(WaitFor([p] { return p->PlayState() == 0; }));
}

TEST_F(EnginePlayer, OpenStatesAndAutoStart) {
    MediaPlayer* p = engine_->AP(0);
    QSignalSpy opens(p, &MediaPlayer::OpenStateChanged);
    QSignalSpy plays(p, &MediaPlayer::PlayStateChanged);
    p->SetAutoStart(true);
    p->OpenFile(Fixture("sine440_3s_44100.mp3"));
    EXPECT_EQ(p->FileName(), Fixture("sine440_3s_44100.mp3"));
    ASSERT_TRUE(WaitFor([&] { return plays.count() == 1; }));
    EXPECT_EQ(opens.at(0), (QList<QVariant>{0, 0, 1}));
    EXPECT_EQ(opens.at(1), (QList<QVariant>{0, 1, 6}));
    EXPECT_EQ(p->PlayState(), 2);
    // Every format's length is checked on the decoders; this one through FFmpeg and the next
    // through the synth show the player reports it.
    EXPECT_NEAR(p->Duration(), 3.0, 0.03);
    // Opening another file stops the first.
    p->SetAutoStart(false);
    ASSERT_TRUE(Open(p, Fixture("tempo.mid"))) << p->LastError().toStdString();
    EXPECT_NEAR(p->Duration(), 6.0, 0.12);
    EXPECT_EQ(plays.count(), 2);
    EXPECT_EQ(p->PlayState(), 0);
}

TEST_F(EnginePlayer, BadFilesFailToOpenAndDamagedOnesPlayWhatTheyHold) {
    MediaPlayer* p = engine_->Player(5);
    const char* bad[] = {
        "truncated_missing.mp3", "random.mp3", "empty.wav", "text.mid", "hls.mp3", "http.ram"};
    for (const char* name : bad) {
        QSignalSpy opens(p, &MediaPlayer::OpenStateChanged);
        EXPECT_FALSE(Open(p, Fixture(name))) << name;
        EXPECT_EQ(opens.last(), (QList<QVariant>{5, 1, 0})) << name;
        EXPECT_TRUE(p->FileName().isEmpty());
        EXPECT_FALSE(p->LastError().isEmpty());
        p->Play();
        p->SetPosition(1.0);
        EXPECT_EQ(p->PlayState(), 0);
        EXPECT_EQ(p->Duration(), 0.0);
        const std::vector<float> out = Render(2048);
        EXPECT_EQ(CountSound(out), 0) << name;
    }
    // Still usable; the damaged files that open play what they hold and end, without a crash.
    for (const char* name :
         {"sine1k_0.5s_44100_stereo_s16.wav", "truncated.mp3", "huge_header.wav"}) {
        ASSERT_TRUE(Open(p, Fixture(name))) << name;
        p->Play();
        EXPECT_GT(CountSound(Render(44100 * 4)), 0) << name;
        EXPECT_TRUE(WaitFor([p] { return p->PlayState() == 0; })) << name;
    }
}

TEST_F(EnginePlayer, MissingPlayerAndClosedPlayerIgnoreCalls) {
    for (MediaPlayer* p : {engine_->Player(0), engine_->Player(7), engine_->AP(2)}) {
        p->OpenFile(Fixture("sine1k_0.5s_44100_stereo_s16.wav"));
        p->Play();
        p->SetPosition(1.0);
        p->SetVolume(-100);
        EXPECT_EQ(p->OpenState(), 0);
        EXPECT_EQ(p->PlayState(), 0);
        EXPECT_EQ(p->Position(), 0.0);
    }
    MediaPlayer* closed = engine_->Player(1);
    closed->Play();
    closed->Stop();
    closed->SetPosition(3.0);
    EXPECT_EQ(closed->PlayState(), 0);
    EXPECT_EQ(closed->Position(), 0.0);
}

TEST_F(EnginePlayer, PlayAfterTheEndStartsOver) {
    MediaPlayer* p = engine_->Player(3);
    ASSERT_TRUE(Open(p, QStringLiteral("counter:1000")));
    p->Play();
    Render(2048);
    ASSERT_TRUE(WaitFor([p] { return p->PlayState() == 0; }));
    EXPECT_DOUBLE_EQ(p->Position(), 1000 / 44100.0);
    p->Play();
    const std::vector<float> out = Render(512);
    EXPECT_EQ(out[2 * delay_], 0.0f);
    EXPECT_FLOAT_EQ(out[2 * (delay_ + 1)], 1e-6f);
}

}  // namespace
}  // namespace corvane::audio::testing
