// Pre-listen: the cue bus taken before the line's levels, blended with the master for the
// headphones, heard through the offline renderer.
#include "audio_support.h"

namespace corvane::audio::testing {
namespace {

class EngineCue : public OfflineEngineTest {
protected:
    void SetUp() override {
        OfflineEngineTest::SetUp();
        engine_->SetHeadphones({HeadphoneTarget::MainChannels, {}});
    }
    // Renders `frames` frames of master and headphones; returns the last frame of each, left.
    std::pair<float, float> Last(int frames = 4096) {
        master_.assign(2 * static_cast<size_t>(frames), 0.0f);
        phones_.assign(2 * static_cast<size_t>(frames), 7.0f);
        for (int done = 0; done < frames; done += 512)
            engine_->RenderOffline(master_.data() + 2 * done, 512, phones_.data() + 2 * done);
        return {master_[2 * frames - 2], phones_[2 * frames - 2]};
    }

    std::vector<float> master_;
    std::vector<float> phones_;
};

TEST_F(EngineCue, CueIsHeardBeforeTheFaderAndBlendsWithTheMaster) {
    MediaPlayer* player = engine_->Player(2);
    ASSERT_TRUE(Open(player, QStringLiteral("dc:10000000")));  // 0.5 left, -0.5 right
    player->SetVolume(-10000);
    engine_->SetCue(2, true);
    player->Play();
    struct Case {
        int volume;
        bool cue;
        float mix, level;
        float master, phones;  // left, once settled
    };
    const Case cases[] = {
        {-10000, true, 0.0f, 1.0f, 0.0f, 0.5f},  // fader down, cued: headphones only
        {0, false, 0.0f, 1.0f, 0.5f, 0.0f},      // fader up, not cued: the room only
        {0, true, 0.5f, 1.0f, 0.5f, 0.5f},       // half and half of the same signal
        {-10000, true, 0.5f, 0.5f, 0.0f, 0.125f},
        {0, false, 1.0f, 0.5f, 0.5f, 0.25f},  // the master alone, at half level
    };
    for (const Case& c : cases) {
        player->SetVolume(c.volume);
        engine_->SetCue(2, c.cue);
        engine_->SetHeadphoneMix(c.mix);
        engine_->SetHeadphoneLevel(c.level);
        const auto [master, phones] = Last();
        EXPECT_FLOAT_EQ(master, c.master) << c.volume << " " << c.cue << " " << c.mix;
        EXPECT_FLOAT_EQ(phones, c.phones) << c.volume << " " << c.cue << " " << c.mix;
        EXPECT_FLOAT_EQ(phones_[phones_.size() - 1], -c.phones);
    }
    EXPECT_FALSE(engine_->Cue(7));  // no such line

    // Without headphones the cue bus is not made.
    engine_->SetCue(2, true);
    engine_->SetHeadphones({});
    const auto [master, phones] = Last();
    EXPECT_FLOAT_EQ(master, 0.5f);
    EXPECT_EQ(phones, 7.0f);  // untouched
}

TEST_F(EngineCue, CueStartsWithTheMasterAndAutoPilotLineCuesBothPlayers) {
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(Open(engine_->AP(i), QStringLiteral("dc:10000000")));
        engine_->AP(i)->SetVolume(-10000);
    }
    engine_->SetCue(0, true);
    engine_->AP(0)->Play();
    engine_->AP(1)->Play();
    Last(1024);
    // Delayed as the limiter delays the master, so the two line up in a blend.
    for (int i = 0; i < delay_; ++i) ASSERT_EQ(phones_[2 * i], 0.0f) << i;
    EXPECT_FLOAT_EQ(phones_[2 * delay_], 1.0f);  // both players, the sum clipped to full scale
}

TEST(HeadphoneTarget, SettingTextRoundTrips) {
    const HeadphoneTarget targets[] = {{},
                                       {HeadphoneTarget::MainChannels, {}},
                                       {HeadphoneTarget::Device, QStringLiteral("USB Audio")}};
    for (const HeadphoneTarget& t : targets)
        EXPECT_EQ(HeadphoneTarget::FromSetting(t.ToSetting()), t) << t.ToSetting().toStdString();
}

}  // namespace
}  // namespace corvane::audio::testing
