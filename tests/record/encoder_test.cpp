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

struct FormatCase {
    Format format;
    bool lossless;
};

class EncoderFormats : public ::testing::TestWithParam<FormatCase> {};

// Each format written to a file in one-second steps with a flush after each, as the recorder
// does: lossless ones decode to exactly the quantised input, lossy ones to the tone and length.
TEST_P(EncoderFormats, FileDecodesToTheInput) {
    const FormatCase c = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.") + FormatSuffix(c.format));
    const std::vector<float> input = testing::Sine(3 * kRate, 440.0, kRate);
    QString error;
    auto encoder = OpenFileEncoder({c.format, kRate, 192}, path, &error);
    ASSERT_NE(encoder, nullptr) << error.toStdString();
    for (int second = 0; second < 3; ++second) {
        ASSERT_TRUE(encoder->Write(input.data() + 2L * second * kRate, kRate));
        ASSERT_TRUE(encoder->Flush());
    }
    ASSERT_TRUE(encoder->Finish());
    EXPECT_EQ(encoder->Bytes(), QFile(path).size());

    if (c.lossless) {
        const int bits = c.format == Format::Wav24 ? 24 : 16;
        const auto decoded = Samples<int32_t>(DecodeWithFfmpeg(path, "s32le"));
        ASSERT_EQ(decoded.size(), input.size());
        for (size_t i = 0; i < input.size(); ++i)
            ASSERT_EQ(decoded[i], QuantiseSample(input[i], bits) * (1 << (32 - bits))) << i;
    } else {
        const auto decoded = Samples<float>(DecodeWithFfmpeg(path, "f32le"));
        EXPECT_NEAR(decoded.size() / 2.0, 3.0 * kRate, 0.05 * kRate);
        EXPECT_NEAR(testing::ToneHz(decoded, kRate), 440.0, 5.0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    All, EncoderFormats,
    ::testing::Values(FormatCase{Format::Wav16, true}, FormatCase{Format::Wav24, true},
                      FormatCase{Format::Flac, true}, FormatCase{Format::Mp3, false},
                      FormatCase{Format::Vorbis, false}, FormatCase{Format::Opus, false}));

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
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
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
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write("RIFF....WAVEjunk");
    other.close();
    EXPECT_EQ(RepairWav(other.fileName(), nullptr), WavRepair::NotOurs);
}

}  // namespace
}  // namespace corvane::record
