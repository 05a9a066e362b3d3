#include "record/encoder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "record/wav_writer.h"
#include "record_support.h"

namespace corvane::record {
namespace {

using testing::DecodeWithFfmpeg;
using testing::Samples;

constexpr int kRate = 44100;

// A stream gets its bytes through the sink, and they make a playable stream.
TEST(Encoder, StreamGoesToTheSink) {
    QByteArray bytes;
    QString error;
    auto encoder = OpenStreamEncoder(
        {Format::Mp3, kRate, 128},
        [&](const uint8_t* data, int size) {
            bytes.append(reinterpret_cast<const char*>(data), size);
            return true;
        },
        &error);
    ASSERT_NE(encoder, nullptr) << error.toStdString();
    const std::vector<float> input = testing::Sine(2 * kRate, 1000.0, kRate);
    ASSERT_TRUE(encoder->Write(input.data(), 2 * kRate));
    ASSERT_TRUE(encoder->Finish());
    EXPECT_EQ(encoder->Bytes(), bytes.size());
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("stream.mp3")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    file.close();
    const auto decoded = Samples<float>(DecodeWithFfmpeg(file.fileName(), "f32le"));
    EXPECT_NEAR(testing::ToneHz(decoded, kRate), 1000.0, 10.0);

    // A sink that refuses ends the stream with an error instead of blocking or crashing.
    auto refused = OpenStreamEncoder(
        {Format::Vorbis, kRate, 128}, [](const uint8_t*, int) { return false; }, &error);
    bool ok = refused != nullptr;
    for (int i = 0; ok && i < 20; ++i) ok = refused->Write(input.data(), kRate / 10);
    ok = ok && refused->Flush();
    EXPECT_FALSE(ok);
    if (refused != nullptr) {
        EXPECT_FALSE(refused->Error().isEmpty());
    }
}

// A writer that died leaves sizes behind the data; repair makes them whole frames of what is
// there, and leaves a complete file alone.
TEST(WavRepairTest, FixesSizesFromTheDataPresent) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cut.wav"));
    const std::vector<float> input = testing::Sine(kRate, 440.0, kRate);
    {
        auto wav = OpenFileEncoder({Format::Wav16, kRate, 0}, path, nullptr);
        ASSERT_NE(wav, nullptr);
        ASSERT_TRUE(wav->Write(input.data(), kRate));
        ASSERT_TRUE(wav->Finish());
    }
    {
        // As a kill leaves it: the header as of an earlier flush, a torn frame at the end.
        QFile raw(path);
        ASSERT_TRUE(raw.open(QIODevice::ReadWrite));
        const char halfSecond[] = {'\x88', '\x58', '\x01', '\x00'};  // 88200 bytes
        raw.seek(40);
        raw.write(halfSecond, 4);
        raw.seek(raw.size());
        raw.write("\x01\x02", 2);
    }
    EXPECT_EQ(RepairWav(path, nullptr), WavRepair::Repaired);
    EXPECT_EQ(DecodeWithFfmpeg(path, "s16le").size(), kRate * 4);
    EXPECT_EQ(RepairWav(path, nullptr), WavRepair::Intact);
    QFile other(dir.filePath(QStringLiteral("other.wav")));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly) && other.write("RIFF....WAVEjunk") == 16);
    other.close();
    EXPECT_EQ(RepairWav(other.fileName(), nullptr), WavRepair::NotOurs);
}

}  // namespace
}  // namespace corvane::record
