#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "engine/overview_cache.h"
#include "engine/overview_service.h"
#include "support/files.h"
#include "support/signal_decoder.h"

namespace corvane::engine {
namespace {

using audio::kOverviewBins;
using audio::OverviewPeaks;

// Quiet (0.1) for the first half, loud (0.9) for the second; the quick seek only when asked.
class HalvesDecoder : public corvane::testing::SignalDecoder {
public:
    HalvesDecoder(long long frames, bool quickSeek)
        : SignalDecoder(frames, [frames](long long i) { return i < frames / 2 ? 0.1f : -0.9f; }),
          quickSeek_(quickSeek) {}
    bool SeekNear(long long frame) override { return quickSeek_ && Seek(frame); }

private:
    bool quickSeek_;
};

TEST(Overview, QuietAndLoudHalvesShowWhetherSampledOrDecodedWhole) {
    const struct {
        long long frames;
        bool quickSeek;
    } cases[] = {{44100 * 30, true}, {44100 * 300, true}, {44100 * 300, false}};
    for (const auto& c : cases) {
        HalvesDecoder decoder(c.frames, c.quickSeek);
        const OverviewPeaks peaks = audio::ComputeOverview(decoder);
        ASSERT_EQ(peaks.size(), static_cast<size_t>(kOverviewBins)) << c.frames;
        EXPECT_EQ(peaks.front(), 26) << c.frames;
        EXPECT_EQ(peaks[kOverviewBins / 2 - 2], 26) << c.frames;
        EXPECT_EQ(peaks[kOverviewBins / 2 + 1], 230) << c.frames;
        EXPECT_EQ(peaks.back(), 230) << c.frames;
    }
    HalvesDecoder empty(0, true);
    EXPECT_TRUE(audio::ComputeOverview(empty).empty());
}

OverviewPeaks Ramp() {
    OverviewPeaks peaks(kOverviewBins);
    for (int i = 0; i < kOverviewBins; ++i) peaks[i] = static_cast<uint8_t>(i);
    return peaks;
}

TEST(OverviewCache, KeyedByPathSizeAndTimeAndDamageReadsAsNothing) {
    QTemporaryDir dir;
    const OverviewCache cache(dir.path() + QStringLiteral("/overviews"));
    const OverviewKey key{QStringLiteral("/music/a.mp3"), 1000, 5};
    ASSERT_TRUE(cache.Store(key, Ramp()));
    EXPECT_EQ(cache.Load(key), Ramp());
    for (const OverviewKey& other : {OverviewKey{key.path, 1001, 5}, OverviewKey{key.path, 1000, 6},
                                     OverviewKey{QStringLiteral("/music/b.mp3"), 1000, 5}})
        EXPECT_FALSE(cache.Load(other).has_value()) << other.Text().toStdString();

    const QByteArray good = EncodeOverview(key, Ramp());
    QByteArray flipped = good;
    flipped[40] = static_cast<char>(flipped[40] ^ 1);
    for (const QByteArray& bad : {good.left(good.size() - 1), flipped, QByteArray("CVNOVW1\n"),
                                  QByteArray(), QByteArray(3000, '\xff')})
        EXPECT_FALSE(DecodeOverview(bad, key).has_value()) << bad.size();
    // A cache file under another key's name.
    EXPECT_FALSE(DecodeOverview(good, OverviewKey{key.path, 1000, 7}).has_value());
}

class OverviewServiceTest : public ::testing::Test {
protected:
    void SetUp() override { app_ = StartApplication(); }
    // Asks for the overview of the fixture and waits for it.
    OverviewPeaks Made(OverviewService& service) {
        QSignalSpy ready(&service, &OverviewService::Ready);
        service.Request(path_);
        EXPECT_TRUE(WaitFor([&] { return ready.count() > 0; }));
        return service.Find(path_);
    }

    std::unique_ptr<QCoreApplication> app_;
    QString path_ = Fixture("sine1k_44100_stereo_s16.wav");
    int opens_ = 0;
    audio::DecoderFactory counting_ = [this](const QString& path, int rate, QString* error) {
        ++opens_;
        return audio::OpenDecoder(path, rate, error);
    };
};

TEST_F(OverviewServiceTest, MadeOnceThenReadFromTheCacheAndADamagedFileIsRebuilt) {
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/cache");
    OverviewPeaks first;
    {
        OverviewService service(folder, 44100, counting_);
        first = Made(service);
        ASSERT_EQ(first.size(), static_cast<size_t>(kOverviewBins));
        EXPECT_GT(first[kOverviewBins / 2], 250);
        EXPECT_EQ(Made(service), first);  // asked again: from memory
    }
    EXPECT_EQ(opens_, 1);
    {
        OverviewService service(folder, 44100, counting_);
        EXPECT_EQ(Made(service), first);
    }
    EXPECT_EQ(opens_, 1);  // from the disk cache

    const QString file = OverviewCache(folder).FileFor(*OverviewKeyOf(path_));
    QFile damaged(file);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("CVNOVW1\n garbage");
    damaged.close();
    {
        OverviewService service(folder, 44100, counting_);
        EXPECT_EQ(Made(service), first);
    }
    EXPECT_EQ(opens_, 2);
    EXPECT_EQ(OverviewCache(folder).Load(*OverviewKeyOf(path_)), first);
}

TEST_F(OverviewServiceTest, UnwritableFolderStillShowsTheOverview) {
    QTemporaryDir dir;
    // A folder that cannot be made, whoever runs the test: its parent is a file.
    const QString blocker = dir.path() + QStringLiteral("/file");
    QFile file(blocker);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    OverviewService service(blocker + QStringLiteral("/overviews"), 44100, counting_);
    EXPECT_EQ(Made(service).size(), static_cast<size_t>(kOverviewBins));
    EXPECT_FALSE(QFileInfo::exists(blocker + QStringLiteral("/overviews")));

    // Nothing to make for a file that is not there.
    QSignalSpy ready(&service, &OverviewService::Ready);
    service.Request(dir.path() + QStringLiteral("/missing.mp3"));
    EXPECT_FALSE(ready.wait(50));
}

}  // namespace
}  // namespace corvane::engine
