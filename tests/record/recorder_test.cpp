#include "record/recorder.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include "audio/engine.h"
#include "audio/media_player.h"
#include "record/wav_writer.h"
#include "record_support.h"
#include "support/files.h"

namespace corvane::record {
namespace {

constexpr int kRate = 44100;

class RecorderTest : public ::testing::Test {
protected:
    void SetUp() override {
        app_ = StartApplication();
        audio::EngineOptions options;
        options.output = audio::OutputKind::Offline;
        engine_ = std::make_unique<audio::Engine>(options, testing::ToneFactory(30));
        recorder_ = std::make_unique<Recorder>(engine_.get(), testing::TitleOf);
        recorder_->SetClock([] { return QDateTime({2026, 12, 6}, {21, 30, 0}); });
    }

    // Renders `seconds` of the mix in buffers, keeping what came out, and lets the recorder's
    // worker catch up after every tenth of a second so nothing is dropped however slow it is.
    void Render(double seconds) {
        const int frames = static_cast<int>(seconds * kRate);
        for (int done = 0; done < frames;) {
            const int n = std::min(512, frames - done);
            const size_t at = mix_.size();
            mix_.resize(at + 2 * static_cast<size_t>(n));
            engine_->RenderOffline(mix_.data() + at, n);
            done += n;
            if (done % 4096 < 512 || done == frames) {
                recorder_->Poll();
                WaitFor([this] { return recorder_->PendingFrames() == 0; }, 10000);
            }
        }
    }
    // Opens a tone song on `player` and starts it; returns the master frame it starts at.
    int64_t PlaySong(audio::MediaPlayer* player, const char* name) {
        player->OpenFile(QStringLiteral("/songs/") + QLatin1String(name) + QStringLiteral(".tone"));
        EXPECT_TRUE(WaitFor([&] { return player->OpenState() == audio::MediaPlayer::kOpen; }));
        player->Play();
        return engine_->MasterFrames();
    }
    RecordSettings Settings(Format format) const { return {dir_.path(), format, 192}; }

    // Declared in the order they are made, so they go in the reverse.
    QTemporaryDir dir_;
    std::unique_ptr<QCoreApplication> app_;
    std::unique_ptr<audio::Engine> engine_;
    std::unique_ptr<Recorder> recorder_;
    std::vector<float> mix_;
};

class RecordFormats : public RecorderTest, public ::testing::WithParamInterface<Format> {};

// Twenty seconds of a mix with songs starting on a line, another line and the AutoPilot, written
// and flushed twice a second: the file holds exactly the mix (lossless) or its tone and length
// (lossy), and the track list has each start where it was mixed.
TEST_P(RecordFormats, RecordsTheMixWithItsTrackList) {
    const Format format = GetParam();
    Render(0.3);  // the recording starts into a running mix
    const int64_t recordStart = engine_->MasterFrames();
    QString error;
    ASSERT_TRUE(recorder_->Start(Settings(format), &error)) << error.toStdString();
    Render(0.5);
    std::vector<int64_t> starts{PlaySong(engine_->Player(1), "Song A-440")};
    Render(6.0);
    starts.push_back(PlaySong(engine_->Player(2), "Song B-660"));
    Render(6.37);
    starts.push_back(PlaySong(engine_->AP(0), "Song C-880"));
    Render(7.13);
    recorder_->Stop();
    EXPECT_EQ(recorder_->DroppedFrames(), 0);
    const QString path = recorder_->FilePath();
    EXPECT_EQ(QFileInfo(path).fileName(),
              QStringLiteral("2026-12-06 21-30-00.") + FormatSuffix(format));
    EXPECT_EQ(recorder_->FileBytes(), QFileInfo(path).size());

    const std::vector<float> recorded(mix_.begin() + 2 * recordStart, mix_.end());
    if (format == Format::Wav16 || format == Format::Wav24 || format == Format::Flac) {
        const int bits = format == Format::Wav24 ? 24 : 16;
        const auto decoded = testing::Samples<int32_t>(testing::DecodeWithFfmpeg(path, "s32le"));
        ASSERT_EQ(decoded.size(), recorded.size());
        for (size_t i = 0; i < recorded.size(); ++i)
            ASSERT_EQ(decoded[i], QuantiseSample(recorded[i], bits) * (1 << (32 - bits))) << i;
    } else {
        const auto decoded = testing::Samples<float>(testing::DecodeWithFfmpeg(path, "f32le"));
        EXPECT_NEAR(decoded.size() / 2.0, recorded.size() / 2.0, 0.1 * kRate);
        // Only song A plays from 1 s to 6 s of the recording.
        const std::vector<float> songA(decoded.begin() + 2 * kRate, decoded.begin() + 12 * kRate);
        EXPECT_NEAR(testing::ToneHz(songA, kRate), 440.0, 5.0);
    }

    const QString cue = QString::fromUtf8(ReadBytes(recorder_->CuePath()));
    EXPECT_TRUE(cue.contains(QStringLiteral("FILE \"") + QFileInfo(path).fileName()));
    const QStringList titles{QStringLiteral("Song A-440"), QStringLiteral("Song B-660"),
                             QStringLiteral("Song C-880")};
    QRegularExpression track(
        QStringLiteral("TITLE \"([^\"]*)\"\\s*REM SAMPLE (\\d+)\\s*INDEX 01 (\\d+):(\\d+):(\\d+)"));
    auto it = track.globalMatch(cue);
    for (size_t i = 0; i < starts.size(); ++i) {
        ASSERT_TRUE(it.hasNext()) << cue.toStdString();
        const auto m = it.next();
        const int64_t expected = starts[i] - recordStart;
        EXPECT_EQ(m.captured(1), titles[static_cast<qsizetype>(i)]);
        EXPECT_EQ(m.captured(2).toLongLong(), expected);
        const double index =
            m.captured(3).toInt() * 60 + m.captured(4).toInt() + m.captured(5).toInt() / 75.0;
        EXPECT_LE(std::abs(index - static_cast<double>(expected) / kRate), 1.0 / 75);
    }
    EXPECT_FALSE(it.hasNext());
}

INSTANTIATE_TEST_SUITE_P(All, RecordFormats,
                         ::testing::Values(Format::Wav16, Format::Wav24, Format::Flac, Format::Mp3,
                                           Format::Vorbis, Format::Opus),
                         [](const auto& info) { return FormatName(info.param).toStdString(); });

// A full disk (a file size limit here) ends the recording with one message; what was written
// stays playable and the mix goes on.
TEST_F(RecorderTest, FullDiskEndsTheRecordingOnceAndKeepsWhatWasWritten) {
    constexpr rlim_t kLimit = 400000;
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    QSignalSpy stopped(recorder_.get(), &Recorder::Stopped);
    ASSERT_TRUE(recorder_->Start(Settings(Format::Wav16), nullptr));
    rlimit limited = old;
    limited.rlim_cur = kLimit;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    PlaySong(engine_->Player(1), "Song A-440");
    for (int i = 0; i < 50 && recorder_->Recording(); ++i) Render(0.1);
    Render(1.0);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(recorder_->Recording());
    ASSERT_EQ(stopped.count(), 1);
    const QString message = stopped.at(0).at(1).toString();
    EXPECT_TRUE(message.contains(QStringLiteral("File too large"))) << message.toStdString();

    const auto decoded =
        testing::Samples<int16_t>(testing::DecodeWithFfmpeg(recorder_->FilePath(), "s16le"));
    EXPECT_GE(decoded.size() * 2, kLimit - 44 - 4096 * 4);
    ASSERT_LE(decoded.size(), mix_.size());
    for (size_t i = 0; i < decoded.size(); ++i)
        ASSERT_EQ(decoded[i], QuantiseSample(mix_[i], 16)) << i;
}

// A program killed mid-recording leaves a WAV that plays to within a second of the kill; the
// next start repairs it to all the data that reached the disk.
TEST(RecorderKill, KilledRecordingPlaysAndIsRepaired) {
    QTemporaryDir dir;
    QProcess child;
    child.start(QStringLiteral(CORVANE_RECORD_CHILD), {dir.path()});
    ASSERT_TRUE(child.waitForStarted(10000));
    QByteArray said;
    QElapsedTimer wait;
    wait.start();
    while (!said.contains('\n') && wait.elapsed() < 20000 && child.state() == QProcess::Running)
        if (child.waitForReadyRead(1000)) said += child.readAllStandardOutput();
    ASSERT_TRUE(said.startsWith("recording ")) << said.toStdString();
    const QString path = QString::fromLocal8Bit(said.mid(10).trimmed());
    QElapsedTimer recording;
    recording.start();
    QThread::msleep(2600);
    child.kill();
    const double secondsBeforeKill = recording.elapsed() / 1000.0;
    ASSERT_TRUE(child.waitForFinished(10000));

    const auto asLeft = testing::DecodeWithFfmpeg(path, "s16le");
    EXPECT_GE(asLeft.size() / 4.0 / kRate, secondsBeforeKill - 1.0);
    EXPECT_EQ(Recorder::RepairInterrupted(dir.path()), QStringList{QFileInfo(path).fileName()});
    EXPECT_GE(testing::DecodeWithFfmpeg(path, "s16le").size(), asLeft.size());
    EXPECT_EQ(RepairWav(path, nullptr), WavRepair::Intact);
}

}  // namespace
}  // namespace corvane::record
