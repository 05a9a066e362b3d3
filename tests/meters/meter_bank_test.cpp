// The meters' logic: the bar's fall, the hold mark, the clip light's latch, and the bank's
// timer that runs only while something can move.
#include "meters/meter_bank.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QSignalSpy>
#include <QTest>

#include "meters/ui/level_meter.h"
#include "support/files.h"

namespace corvane::meters {
namespace {

TEST(MeterChannel, BarFallsAtOnceHoldWaitsThenFalls) {
    MeterChannel channel;
    EXPECT_EQ(channel.Update(0.5f, 34), MeterChannel::Change::kNow);  // -6 dB
    const double peak = ToDb(0.5f);
    struct Case {
        int atMs;
        double level;
        double hold;
    } cases[] = {
        {500, peak - 12, peak},       {1000, peak - 24, peak},
        {1500, peak - 36, peak},       // the hold ends here
        {2000, peak - 48, peak - 12},  // and falls as the bar did
        {2500, kFloorDb, peak - 24},  {5000, kFloorDb, kFloorDb},
    };
    int at = 0;
    for (const Case& c : cases) {
        channel.Update(0.0f, c.atMs - at);
        at = c.atMs;
        EXPECT_NEAR(channel.LevelDb(), c.level, 1e-9) << c.atMs;
        EXPECT_NEAR(channel.HoldDb(), c.hold, 1e-9) << c.atMs;
    }
    EXPECT_TRUE(channel.Resting());
    EXPECT_EQ(channel.Update(0.0f, 34), MeterChannel::Change::kNone);  // nothing to repaint
    // A higher peak raises the hold at once; a lower one leaves it.
    channel.Update(0.1f, 34);
    channel.Update(0.05f, 34);
    EXPECT_NEAR(channel.HoldDb(), -20.0, 1e-5);
}

TEST(MeterChannel, ClipLightStaysLitUntilReset) {
    MeterChannel channel;
    channel.Update(0.999f, 34);
    EXPECT_FALSE(channel.Clipped());
    channel.Update(1.0f, 34);
    for (int i = 0; i < 200; ++i) channel.Update(0.0f, 34);
    EXPECT_TRUE(channel.Clipped());
    EXPECT_TRUE(channel.Resting());
    EXPECT_TRUE(channel.ResetClip());
    EXPECT_FALSE(channel.Clipped());
    EXPECT_FALSE(channel.ResetClip());
}

class MeterBankTest : public ::testing::Test {
protected:
    void SetUp() override {
        app_ = StartApplication<QApplication>();
        mono_ = bank_.Add(1, [this](float* peaks) { peaks[0] = std::exchange(peak_, 0.0f); });
        stereo_ = bank_.Add(2, [this](float* peaks) {
            peaks[0] = std::exchange(left_, 0.0f);
            peaks[1] = 0.0f;
        });
    }

    std::unique_ptr<QCoreApplication> app_;
    bool playing_ = false;
    float peak_ = 0.0f;
    float left_ = 0.0f;
    MeterBank bank_{[this] { return playing_; }};
    int mono_ = -1;
    int stereo_ = -1;
};

TEST_F(MeterBankTest, TimerRunsWhilePlayingOrFallingAndStopsWhenAllIsQuiet) {
    EXPECT_FALSE(bank_.Running());
    peak_ = 0.9f;  // published while asleep: the wake drops it
    playing_ = true;
    bank_.Wake();
    EXPECT_TRUE(bank_.Running());
    bank_.Step(34);  // silent but playing: a quiet passage must not put the meters to sleep
    EXPECT_TRUE(bank_.Running());
    EXPECT_TRUE(bank_.Channel(mono_, 0).Resting());

    QSignalSpy changed(&bank_, &MeterBank::Changed);
    left_ = 0.8f;
    bank_.Step(34);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toInt(), stereo_);
    EXPECT_NEAR(bank_.Channel(stereo_, 0).LevelDb(), ToDb(0.8f), 1e-9);
    EXPECT_TRUE(bank_.Channel(stereo_, 1).Resting());

    // A fall is painted at every third reading, a rise at once.
    changed.clear();
    for (int i = 0; i < 6; ++i) bank_.Step(34);
    EXPECT_EQ(changed.count(), 2);
    left_ = 0.9f;
    bank_.Step(34);
    EXPECT_EQ(changed.count(), 3);

    playing_ = false;
    bank_.Step(34);  // the bar is still falling
    EXPECT_TRUE(bank_.Running());
    bank_.Step(5000);
    EXPECT_FALSE(bank_.Running());
}

TEST_F(MeterBankTest, ClickOnTheMeterPutsItsClipLightOut) {
    LevelMeter meter(bank_, stereo_);
    playing_ = true;
    bank_.Wake();
    left_ = 1.0f;
    bank_.Step(34);
    ASSERT_TRUE(bank_.Channel(stereo_, 0).Clipped());
    QSignalSpy changed(&bank_, &MeterBank::Changed);
    QTest::mouseClick(&meter, Qt::LeftButton);
    EXPECT_FALSE(bank_.Channel(stereo_, 0).Clipped());
    EXPECT_EQ(changed.count(), 1);
}

}  // namespace
}  // namespace corvane::meters
