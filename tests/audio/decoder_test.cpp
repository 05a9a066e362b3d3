#include "audio/decoder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDataStream>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <numbers>
#include <vector>

#include "audio_support.h"
#include "playlist/open_dialog.h"

namespace corvane::audio {
namespace {

using testing::PeakOf;
using testing::ReadAll;

std::unique_ptr<Decoder> Open(const QString& path, int rate) {
    QString error;
    auto d = OpenDecoder(path, rate, &error);
    EXPECT_TRUE(d) << path.toStdString() << ": " << error.toStdString();
    return d;
}

// The s16 samples of a full-scale 1 kHz sine, one value per frame.
std::vector<int16_t> Sine(int rate, double seconds) {
    std::vector<int16_t> s(static_cast<size_t>(rate * seconds));
    for (size_t i = 0; i < s.size(); ++i)
        s[i] = static_cast<int16_t>(
            std::lround(32767 * std::sin(2 * std::numbers::pi * 1000 * i / rate)));
    return s;
}

// A canonical PCM wav with every channel carrying `samples`.
void WriteWav(const QString& path, int rate, int channels, const std::vector<int16_t>& samples) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    QDataStream out(&f);
    out.setByteOrder(QDataStream::LittleEndian);
    const quint32 data = static_cast<quint32>(samples.size() * channels * 2);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + data);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(channels) << quint32(rate)
        << quint32(rate * channels * 2) << quint16(channels * 2) << quint16(16);
    out.writeRawData("data", 4);
    out << data;
    for (int16_t s : samples)
        for (int c = 0; c < channels; ++c) out << s;
}

// Estimated from rising zero crossings of the left channel.
double FrequencyOf(const std::vector<float>& stereo, int rate) {
    int crossings = 0;
    const size_t frames = stereo.size() / 2;
    for (size_t i = 1; i < frames; ++i)
        if (stereo[2 * (i - 1)] < 0 && stereo[2 * i] >= 0) ++crossings;
    return crossings * static_cast<double>(rate) / static_cast<double>(frames);
}

void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

double RmsDb(const std::vector<float>& samples) {
    double energy = 0.0;
    for (float v : samples) energy += static_cast<double>(v) * v;
    return 10.0 * std::log10(energy / static_cast<double>(samples.size()));
}

class DecoderTest : public ::testing::Test {
protected:
    QTemporaryDir dir_;
    QString Temp(const char* name) { return dir_.filePath(QLatin1String(name)); }
};

// s16 to float divides by 32768, so full scale comes out as 32767/32768. Mono plays on both
// sides. Length and level of these wavs are checked with every format.
TEST_F(DecoderTest, MatchingRateIsSampleExactAndMonoFillsBothSides) {
    const struct {
        int fileRate, channels, rate;
    } cases[] = {{44100, 2, 44100}, {22050, 1, 22050}, {22050, 1, 44100}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.channels << " channels " << c.fileRate << " @" << c.rate);
        const std::vector<int16_t> sine = Sine(c.fileRate, 0.5);
        WriteWav(Temp("s.wav"), c.fileRate, c.channels, sine);
        auto d = Open(Temp("s.wav"), c.rate);
        ASSERT_TRUE(d);
        const std::vector<float> out = ReadAll(*d);
        ASSERT_EQ(out.size(), static_cast<size_t>(c.rate));  // half a second of stereo frames
        for (size_t i = 0; i < out.size(); i += 2) ASSERT_EQ(out[i], out[i + 1]) << i;
        if (c.fileRate == c.rate) {
            for (size_t i = 0; i < sine.size(); ++i) ASSERT_EQ(out[2 * i], sine[i] / 32768.0f) << i;
        }
        EXPECT_EQ(d->Read(nullptr, 100), 0);
    }
    auto f = Open(Fixture("sine1k_48000_stereo_f32.wav"), 48000);
    ASSERT_TRUE(f);
    EXPECT_FLOAT_EQ(PeakOf(ReadAll(*f)), 1.0f);
}

// corvane-gen's own Layer I encoder writes this tone at -6 dBFS: it must play back as 440 Hz
// at that level, not merely for the right length.
TEST_F(DecoderTest, GeneratedLayerOneToneKeepsPitchAndLevel) {
    auto d = Open(Fixture("sine440_3s_44100.mp1"), 44100);
    ASSERT_TRUE(d);
    const std::vector<float> all = ReadAll(*d);
    ASSERT_GE(all.size(), 2u * 44100 * 5 / 2);
    // The middle two seconds, away from the filter bank's run-in and the padded end.
    const std::vector<float> middle(all.begin() + 44100, all.begin() + 5 * 44100);
    EXPECT_NEAR(FrequencyOf(middle, 44100), 440.0, 1.0);
    EXPECT_NEAR(RmsDb(middle), 20.0 * std::log10(0.5 / std::sqrt(2.0)), 1.0);
}

// Seek-then-read must give the very samples a linear decode gives at that frame.
TEST_F(DecoderTest, SeekStartsAtTheExactFrame) {
    const struct {
        const char* file;
        int rate;
        float tolerance;
    } cases[] = {
        {"sine1k_44100_stereo_s16.wav", 44100, 0}, {"sine1k_44100_stereo_s16.wav", 48000, 1e-6f},
        {"sine440_3s_44100.mp3", 44100, 0},        {"sine440_3s_44100.mp2", 44100, 0},
        {"sine440_3s_44100.mp1", 44100, 0},        {"sine440_3s_8000.rm", 8000, 0},
        {"sine440_3s_8000.rm", 44100, 1e-6f}};
    for (const auto& c : cases) {
        auto d = Open(Fixture(c.file), c.rate);
        ASSERT_TRUE(d);
        const std::vector<float> linear = ReadAll(*d);
        const long long frames = static_cast<long long>(linear.size() / 2);
        for (long long target : {frames / 2 + 7, 1LL, frames - 500, 12345LL, 0LL}) {
            ASSERT_TRUE(d->Seek(target)) << c.file << " @" << target;
            std::vector<float> got(2 * 400);
            ASSERT_EQ(d->Read(got.data(), 400), 400) << c.file << " @" << target;
            for (size_t i = 0; i < got.size(); ++i)
                ASSERT_NEAR(got[i], linear[2 * target + i], c.tolerance)
                    << c.file << " @" << target << " +" << i / 2;
        }
        float scratch[2 * 10];
        EXPECT_FALSE(d->Seek(frames + 10000));
        EXPECT_EQ(d->Read(scratch, 10), 0);
        EXPECT_TRUE(d->Seek(0));  // usable again after a failed seek
        EXPECT_EQ(d->Read(scratch, 10), 10);
    }
}

TEST_F(DecoderTest, BadInputFailsCleanlyAndMetafilesNeverLoop) {
    // Missing, junk, empty and network files are refused with a reason through the player's
    // test. A fifo would block the worker forever on open.
    QString error;
    ASSERT_EQ(mkfifo(Temp("pipe.wav").toLocal8Bit().constData(), 0600), 0);
    EXPECT_FALSE(OpenDecoder(Temp("pipe.wav"), 44100, &error));

    // Plays what it has; the header's 4 GB claim is bounded by the file's size.
    auto huge = Open(Fixture("huge_header.wav"), 44100);
    ASSERT_TRUE(huge);
    EXPECT_LE(huge->LengthFrames(), 4411 * 1.01);
    EXPECT_NEAR(ReadAll(*huge).size() / 2.0, 4410, 10);

    // Cut at 30 %: what is there plays, then the stream ends.
    auto cut = Open(Fixture("truncated.mp3"), 44100);
    ASSERT_TRUE(cut);
    const double frames = ReadAll(*cut).size() / 2.0;
    EXPECT_GT(frames, 0.25 * 3 * 44100);
    EXPECT_LT(frames, 0.35 * 3 * 44100);

    // Metafiles never loop.
    WriteBytes(Temp("self.ram"), (Temp("self.ram") + QLatin1Char('\n')).toUtf8());
    WriteBytes(Temp("chain.ram"), "self.ram\n");
    EXPECT_FALSE(OpenDecoder(Temp("self.ram"), 44100, &error));
    EXPECT_FALSE(OpenDecoder(Temp("chain.ram"), 44100, &error));

    // Only the first 64 KiB are read; a metafile naming a wav beside it plays that wav.
    WriteWav(Temp("near.wav"), 44100, 2, Sine(44100, 0.1));
    WriteBytes(Temp("near.ram"), "near.wav\n");
    WriteBytes(Temp("late.ram"), QByteArray(70 * 1024, '\n') + "near.wav\n");
    EXPECT_TRUE(Open(Temp("near.ram"), 44100));
    EXPECT_FALSE(OpenDecoder(Temp("late.ram"), 44100, &error));
}

TEST_F(DecoderTest, MidiSeekLandsOnTheNoteExactly) {
    const int rate = 44100;
    auto d = Open(Fixture("tempo.mid"), rate);
    ASSERT_TRUE(d);
    EXPECT_GT(PeakOf(ReadAll(*d, 2 * rate)), 0.01f);

    // A seek silences all notes (a faint reverb tail remains). The note at 3.000 s must start
    // half a second after a seek to 2.5 s, as it does right after a seek to 3.0 s, give or take
    // one synth block (events act at the synth's next 64-frame block).
    auto onsetAfterSeek = [&](long long target) {
        EXPECT_TRUE(d->Seek(target));
        std::vector<float> out(2 * rate);
        EXPECT_EQ(d->Read(out.data(), rate), rate);
        const auto first =
            std::find_if(out.begin(), out.end(), [](float v) { return std::fabs(v) > 5e-3f; });
        return (first - out.begin()) / 2;
    };
    const long long attack = onsetAfterSeek(3 * rate);
    EXPECT_LT(attack, rate / 50);
    EXPECT_NEAR(onsetAfterSeek(rate * 5 / 2), attack + rate / 2, 64);
    EXPECT_NEAR(onsetAfterSeek(rate * 5 / 2 + 17), attack + rate / 2 - 17, 64);
    EXPECT_FALSE(d->Seek(d->LengthFrames() + 1));
}

// The two-second 440 Hz tones corvane-gen writes in every further format. `exact`: the file
// says where its audio starts and ends (lossless, or gapless-encoded), so a pass is the tone's
// true length to the frame and a loop of it has no gap.
constexpr const char* kAdts = "sine440_2s_44100.aac";
struct ToneCase {
    const char* file;
    int rate;
    bool exact;
    // AAC restarts its window state on a seek: the first frame after a wrap may differ from
    // the first pass by a rounding's worth, far under what a frame's misalignment makes.
    float wrapTolerance = 0.0f;
};
constexpr ToneCase kTones[] = {
    {"sine440_2s_44100.flac", 44100, true},
    {"sine440_2s_96000.flac", 96000, true},
    {"sine440_2s_44100.ogg", 44100, true},
    {"sine440_2s_44100_mono.ogg", 44100, true},
    {"sine440_2s_44100.oga", 44100, true},
    {"sine440_2s_48000.opus", 48000, true},
    {"sine440_2s_44100.m4a", 44100, true, 1e-3f},
    {"sine440_2s_44100_smpb.m4a", 44100, true, 1e-3f},
    {"sine440_2s_44100_alac.m4a", 44100, true},
    {"sine440_2s_44100.mp4", 44100, true, 1e-3f},
    {kAdts, 44100, false, 1e-3f},
    {"sine440_2s_44100.aif", 44100, true},
    {"sine440_2s_44100.aifc", 44100, true},
    {"sine440_2s_44100.wv", 44100, true},
};

// Longest run of frames whose left sample is near zero: a gap in a steady tone.
size_t LongestQuietRun(const std::vector<float>& stereo) {
    size_t longest = 0;
    size_t run = 0;
    for (size_t i = 0; i < stereo.size(); i += 2) {
        run = std::fabs(stereo[i]) < 0.02f ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

// Length at open and as read, and pitch, at the two usual device rates, so also resampled.
// `pitch` 0: not a steady tone. `fullScale`: a sine at full scale, which must keep its level.
TEST_F(DecoderTest, EveryFormatKeepsLengthPitchAndLevel) {
    // A FLAC whose STREAMINFO leaves the total at 0 ("unknown", as a live encoder writes it).
    QByteArray flac = ReadBytes(Fixture("sine440_2s_44100.flac"));
    ASSERT_GT(flac.size(), 26);
    flac[21] = static_cast<char>(flac[21] & 0xF0);
    for (int i = 22; i < 26; ++i) flac[i] = 0;
    WriteBytes(Temp("no_total.flac"), flac);

    struct Case {
        QString path;
        double seconds, pitch;
        bool fullScale = false;
    };
    std::vector<Case> cases = {{Fixture("sine1k_44100_stereo_s16.wav"), 2, 1000, true},
                               {Fixture("sine1k_48000_stereo_f32.wav"), 2, 1000, true},
                               {Fixture("sine1k_22050_mono_s16.wav"), 2, 1000, true},
                               {Fixture("sine1k_0.5s_44100_stereo_s16.wav"), 0.5, 0},
                               {Fixture("silence_1s_44100_stereo_s16.wav"), 1, 0},
                               {Fixture("song_8s_a.wav"), 8, 0},
                               {Fixture("bench_5min.mp3"), 300, 0},
                               {Fixture("tempo.mid"), 6, 0},
                               {Temp("no_total.flac"), 2, 440}};
    for (const char* file :
         {"sine440_3s_44100.mp3", "sine440_3s_44100.mp2", "sine440_3s_44100.mp1",
          "sine440_3s_8000.rm", "sine440_3s_8000.ra", "sine440_3s.ram", "sine440_3s_plain.ram"})
        cases.push_back({Fixture(file), 3, 440});
    for (const ToneCase& t : kTones) cases.push_back({Fixture(t.file), 2, 440});
    for (const int rate : {44100, 48000}) {
        for (const Case& c : cases) {
            const QString name = c.path.section(QLatin1Char('/'), -1);
            SCOPED_TRACE(name.toStdString() + " @" + std::to_string(rate));
            auto d = Open(c.path, rate);
            ASSERT_TRUE(d);
            EXPECT_EQ(d->Rate(), rate);
            const double expected = c.seconds * rate;
            // Raw AAC cannot mark the padding of its last frame: up to one frame more.
            const double slack =
                c.fullScale ? 2.0
                            : expected * (name.endsWith(QLatin1String(".mid")) ? 0.02 : 0.01) +
                                  (name == QLatin1String(kAdts) ? 1024.0 * rate / 44100 : 0.0);
            EXPECT_NEAR(d->LengthFrames(), expected, c.fullScale ? 0.0 : slack);
            if (c.seconds > 10) continue;
            const std::vector<float> all = ReadAll(*d);
            EXPECT_NEAR(all.size() / 2.0, expected, slack);
            const std::vector<float> middle(all.begin() + all.size() / 4,
                                            all.end() - all.size() / 4);
            if (c.pitch > 0) {
                EXPECT_NEAR(FrequencyOf(middle, rate), c.pitch, c.fullScale ? 1.0 : 2.0);
            }
            if (c.fullScale) {
                EXPECT_NEAR(PeakOf(middle), 1.0, 0.01);
            }
        }
    }
}

// A loop is Seek(0) at the end of a pass: the pass must hold the tone and nothing else, and
// the seek must bring back the very first samples.
TEST_F(DecoderTest, LoopWrapsAtTheSample) {
    std::vector<ToneCase> cases(std::begin(kTones), std::end(kTones));
    cases.push_back({"sine440_3s_44100.mp3", 44100, true});  // LAME tag: delay and padding
    for (const ToneCase& t : cases) {
        auto d = Open(Fixture(t.file), t.rate);
        ASSERT_TRUE(d) << t.file;
        const std::vector<float> pass = ReadAll(*d);
        ASSERT_TRUE(d->Seek(0)) << t.file;
        std::vector<float> again(2 * 2000);
        ASSERT_EQ(d->Read(again.data(), 2000), 2000) << t.file;
        float worst = 0.0f;
        for (size_t i = 0; i < again.size(); ++i)
            worst = std::max(worst, std::fabs(again[i] - pass[i]));
        EXPECT_LE(worst, t.wrapTolerance) << t.file;
        if (!t.exact) continue;
        const long long seconds =
            std::string_view(t.file).find("_3s_") != std::string_view::npos ? 3 : 2;
        EXPECT_NEAR(static_cast<double>(pass.size() / 2), seconds * t.rate, 1) << t.file;
        std::vector<float> wrap(pass.end() - 2 * 2000, pass.end());
        wrap.insert(wrap.end(), again.begin(), again.end());
        EXPECT_LT(LongestQuietRun(wrap), 8u) << t.file;
    }
}

// A gapless tag that does not parse or does not fit the file is ignored: the file plays what
// its 88 AAC frames hold (less the priming, when FFmpeg drops it itself).
TEST_F(DecoderTest, ImplausibleGaplessTagIsIgnored) {
    const QByteArray file = ReadBytes(Fixture("sine440_2s_44100_smpb.m4a"));
    const QByteArray stated = " 00000000 00000400 00000378 0000000000015888 ";
    const qsizetype at = file.indexOf(stated);
    ASSERT_GE(at, 0);
    const char* const tags[] = {
        " 00000000 0000zz00 00000378 0000000000015888 ",  // not hex
        " 00000000 00000400 00000378 0000000000000000 ",  // nothing to play
        " 00000000 00000400 00000378 0000000000016000 ",  // more than the packets hold
        " 00000000 7FFFFFFF 00000378 0000000000015888 ",  // hours of priming
        " 00000000 00000400                           ",  // too few fields
    };
    for (const char* tag : tags) {
        QByteArray bytes = file;
        WriteBytes(Temp("tag.m4a"), bytes.replace(at, stated.size(), tag));
        auto d = Open(Temp("tag.m4a"), 44100);
        ASSERT_TRUE(d) << tag;
        const double played = ReadAll(*d).size() / 2.0;
        EXPECT_GE(played, 87 * 1024) << tag;
        EXPECT_LE(played, 88 * 1024) << tag;
        EXPECT_NEAR(d->LengthFrames(), played, played * 0.01) << tag;
    }
}

// Each either fails to open with a reason or plays what it holds and ends, within bounds, and
// never follows a name inside the file to another file.
TEST_F(DecoderTest, DamagedAndDisguisedFilesFailCleanlyOrPlayShort) {
    enum Outcome { Refused, Short, Plays };
    const auto cut = [](const char* name, double fraction) {
        const QByteArray whole = ReadBytes(Fixture(name));
        return whole.left(static_cast<qsizetype>(whole.size() * fraction));
    };
    QByteArray hugeMoov = ReadBytes(Fixture("sine440_2s_44100.m4a"));
    const qsizetype moov = hugeMoov.indexOf("moov");
    ASSERT_GE(moov, 4);
    hugeMoov.replace(moov - 4, 4, QByteArray("\x7f\xff\xff\xf0", 4));
    // A wav whose format tag names TrueSpeech: FFmpeg could decode it, we must not.
    QByteArray trueSpeech = ReadBytes(Fixture("sine1k_0.5s_44100_stereo_s16.wav"));
    trueSpeech[20] = 0x22;
    WriteWav(Temp("near.wav"), 44100, 2, Sine(44100, 0.5));
    const struct {
        const char* name;
        QByteArray bytes;
        Outcome outcome;
    } cases[] = {
        {"cut.flac", cut("sine440_2s_44100.flac", 0.4), Short},
        {"cut.ogg", cut("sine440_2s_44100.ogg", 0.85), Short},
        {"cut.opus", cut("sine440_2s_48000.opus", 0.6), Short},
        {"cut.m4a", cut("sine440_2s_44100.m4a", 0.4), Refused},  // its moov comes last
        {"huge_moov.m4a", hugeMoov, Short},
        {"no_audio.mp4", ReadBytes(Fixture("video_only.mp4")), Refused},
        {"no_audio.ogg", ReadBytes(Fixture("video_only.ogg")), Refused},
        {"hls.flac", "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\nnear.wav\n#EXT-X-ENDLIST\n",
         Refused},
        {"concat.flac", "ffconcat version 1.0\nfile near.wav\nfile near.wav\n", Refused},
        {"truespeech.wav", trueSpeech, Refused},
        {"flac_named.mp3", ReadBytes(Fixture("sine440_2s_44100.flac")), Plays},
        {"ogg_named.wav", ReadBytes(Fixture("sine440_2s_44100.ogg")), Plays},
        {"m4a_named.mid", ReadBytes(Fixture("sine440_2s_44100.m4a")), Plays},
    };
    for (const auto& c : cases) {
        WriteBytes(Temp(c.name), c.bytes);
        QString error;
        auto d = OpenDecoder(Temp(c.name), 44100, &error);
        if (c.outcome == Refused) {
            EXPECT_FALSE(d) << c.name;
            EXPECT_FALSE(error.isEmpty()) << c.name;
            continue;
        }
        ASSERT_TRUE(d) << c.name << ": " << error.toStdString();
        const double seconds = ReadAll(*d, 2LL * 44100 * 10).size() / 2.0 / 44100;
        if (c.outcome == Plays) {
            EXPECT_NEAR(seconds, 2.0, 0.02) << c.name;
        } else {
            EXPECT_GT(seconds, 0.1) << c.name;
            EXPECT_LE(seconds, 2.0) << c.name;
        }
    }
}

// General MIDI through the synthesizer should sit beside recorded music: -20 to -12 dBFS RMS
// while it plays, never over full scale.
TEST_F(DecoderTest, MidiPlaysAtTheLevelOfRecordedMusic) {
    for (const QString& path :
         {Fixture("band_20s.mid"), QStringLiteral(CORVANE_BINARY_DIR "/share/corvane/Demo/") +
                                       QStringLiteral("07 Garden Waltz.mid")}) {
        auto d = Open(path, 22050);  // half the rate, half the rendering; the same level
        ASSERT_TRUE(d) << path.toStdString();
        const std::vector<float> all = ReadAll(*d);
        EXPECT_GE(RmsDb(all), -20.0) << path.toStdString();
        EXPECT_LE(RmsDb(all), -12.0) << path.toStdString();
        EXPECT_LE(PeakOf(all), 1.0f) << path.toStdString();
    }
}

// The desktop file and the manual name every kind of sound file the program recognises.
TEST(SoundFileKinds, DesktopFileAndManualFollowTheList) {
    const QString desktop = QString::fromUtf8(
        ReadBytes(QStringLiteral(CORVANE_SOURCE_DIR "/packaging/corvane.desktop")));
    const QString manual =
        QString::fromUtf8(ReadBytes(QStringLiteral(CORVANE_SOURCE_DIR "/data/share/cvnhelp.html")));
    const QString mimeLine =
        desktop.section(QStringLiteral("MimeType="), 1).section(QLatin1Char('\n'), 0, 0);
    const QStringList mimeTypes = mimeLine.split(QLatin1Char(';'));
    for (const SoundFileKind& kind : SoundFileKinds()) {
        for (const QString& type : QString(kind.mimeTypes).split(QLatin1Char(';')))
            EXPECT_TRUE(mimeTypes.contains(type)) << type.toStdString();
        EXPECT_TRUE(
            manual.contains(QStringLiteral("<code>") + kind.ending + QStringLiteral("</code>")))
            << kind.ending.data();
    }
}

}  // namespace
}  // namespace corvane::audio
