// Checks the files corvane-gen writes: every fixture is there and plays for as long as
// FIXTURES.md says, and our own Layer I encoder makes a tone FFmpeg's decoder plays back right.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const fs::path kDir = fs::path(CORVANE_BINARY_DIR) / "fixtures";

struct Decoded {
    int rate = 0;
    int channels = 0;
    std::vector<float> samples;  // interleaved
    double Seconds() const {
        return rate ? static_cast<double>(samples.size()) / channels / rate : -1.0;
    }
};

float SampleAt(const AVFrame* frame, int channel, int index) {
    const auto format = static_cast<AVSampleFormat>(frame->format);
    const bool planar = av_sample_fmt_is_planar(format);
    const int plane = planar ? channel : 0;
    const int at = planar ? index : index * frame->ch_layout.nb_channels + channel;
    switch (av_get_packed_sample_fmt(format)) {
        case AV_SAMPLE_FMT_FLT:
            return reinterpret_cast<const float*>(frame->data[plane])[at];
        case AV_SAMPLE_FMT_S16:
            return reinterpret_cast<const std::int16_t*>(frame->data[plane])[at] / 32768.0f;
        case AV_SAMPLE_FMT_S32:
            return static_cast<float>(
                reinterpret_cast<const std::int32_t*>(frame->data[plane])[at] / 2147483648.0);
        default:
            ADD_FAILURE() << "sample format " << format;
            return 0.0f;
    }
}

// Plain FFmpeg, independent of the engine's decoder.
Decoded DecodeWithFfmpeg(const fs::path& path) {
    Decoded out;
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) return out;
    std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> input(
        raw, [](AVFormatContext* f) { avformat_close_input(&f); });
    const AVCodec* codec = nullptr;
    if (avformat_find_stream_info(raw, nullptr) < 0) return out;
    const int stream = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (stream < 0) return out;
    std::unique_ptr<AVCodecContext, void (*)(AVCodecContext*)> decoder(
        avcodec_alloc_context3(codec), [](AVCodecContext* c) { avcodec_free_context(&c); });
    if (avcodec_parameters_to_context(decoder.get(), raw->streams[stream]->codecpar) < 0 ||
        avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        return out;
    }
    std::unique_ptr<AVPacket, void (*)(AVPacket*)> packet(av_packet_alloc(),
                                                          [](AVPacket* p) { av_packet_free(&p); });
    std::unique_ptr<AVFrame, void (*)(AVFrame*)> frame(av_frame_alloc(),
                                                       [](AVFrame* f) { av_frame_free(&f); });
    auto drain = [&] {
        while (avcodec_receive_frame(decoder.get(), frame.get()) >= 0) {
            out.rate = frame->sample_rate;
            out.channels = frame->ch_layout.nb_channels;
            for (int i = 0; i < frame->nb_samples; ++i) {
                for (int c = 0; c < out.channels; ++c) {
                    out.samples.push_back(SampleAt(frame.get(), c, i));
                }
            }
        }
    };
    while (av_read_frame(raw, packet.get()) >= 0) {
        if (packet->stream_index == stream) avcodec_send_packet(decoder.get(), packet.get());
        av_packet_unref(packet.get());
        drain();
    }
    avcodec_send_packet(decoder.get(), nullptr);
    drain();
    return out;
}

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Seconds to the last event of a Standard MIDI File, following its tempo map.
double MidiSeconds(const std::vector<std::uint8_t>& d) {
    auto be = [&](std::size_t at, int n) {
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i) v = (v << 8) | d.at(at + static_cast<std::size_t>(i));
        return v;
    };
    const std::uint32_t division = be(12, 2);
    std::map<std::uint32_t, std::uint32_t> tempo{{0, 500000}};
    std::uint32_t lastTick = 0;
    for (std::size_t at = 14; at + 8 <= d.size();) {
        const std::size_t end = at + 8 + be(at + 4, 4);
        std::uint32_t tick = 0;
        std::uint8_t status = 0;
        for (std::size_t p = at + 8; p < end;) {
            std::uint32_t delta = 0;
            do delta = (delta << 7) | (d.at(p) & 0x7F);
            while (d.at(p++) & 0x80);
            tick += delta;
            if (d.at(p) & 0x80) status = d.at(p++);
            if (status == 0xFF) {
                const std::uint8_t type = d.at(p);
                const std::size_t length = d.at(p + 1);
                if (type == 0x51) tempo[tick] = be(p + 2, 3);
                p += 2 + length;
            } else {
                p += (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
            }
        }
        lastTick = std::max(lastTick, tick);
        at = end;
    }
    double seconds = 0.0;
    for (auto it = tempo.begin(); it != tempo.end() && it->first < lastTick; ++it) {
        const auto next = std::next(it);
        const std::uint32_t until =
            next == tempo.end() ? lastTick : std::min(next->first, lastTick);
        seconds += (until - it->first) * (it->second / 1e6) / division;
    }
    return seconds;
}

// FIXTURES.md rows: file name -> stated seconds (-1 for files not meant to play).
std::map<std::string, double> StatedLengths() {
    std::map<std::string, double> rows;
    std::ifstream in(kDir / "FIXTURES.md");
    for (std::string line; std::getline(in, line);) {
        if (!line.starts_with("| `")) continue;
        const std::size_t close = line.find('`', 3);
        const std::string name = line.substr(3, close - 3);
        std::istringstream rest(line.substr(line.find('|', close) + 1));
        std::string seconds;
        rest >> seconds;
        rows[name] = seconds == "-" ? -1.0 : std::stod(seconds);
    }
    return rows;
}

TEST(Fixtures, EveryListedFilePlaysForItsStatedLength) {
    const std::map<std::string, double> stated = StatedLengths();
    // What the tests of the engine rely on, by name and length (0.9 s: about 30 % of 3 s).
    const std::map<std::string, double> nominal = {{"sine1k_44100_stereo_s16.wav", 2},
                                                   {"sine1k_48000_stereo_f32.wav", 2},
                                                   {"sine1k_22050_mono_s16.wav", 2},
                                                   {"sine1k_0.5s_44100_stereo_s16.wav", 0.5},
                                                   {"silence_1s_44100_stereo_s16.wav", 1},
                                                   {"song_8s_a.wav", 8},
                                                   {"song_8s_b.wav", 8},
                                                   {"song_8s_c.wav", 8},
                                                   {"sine440_3s_44100.mp3", 3},
                                                   {"sine440_3s_44100.mp2", 3},
                                                   {"sine440_3s_44100.mp1", 3},
                                                   {"sine440_3s_8000.rm", 3},
                                                   {"sine440_3s_8000.ra", 3},
                                                   {"tempo.mid", 6},
                                                   {"bench_5min.mp3", 300},
                                                   {"bench_60s_1.mp3", 60},
                                                   {"bench_60s_8.mp3", 60},
                                                   {"truncated.mp3", 0.9},
                                                   {"huge_header.wav", 0.1},
                                                   {"random.mp3", -1},
                                                   {"empty.wav", -1},
                                                   {"text.mid", -1},
                                                   {"hls.mp3", -1},
                                                   {"http.ram", -1},
                                                   {"sine440_3s.ram", -1},
                                                   {"sine440_3s_plain.ram", -1}};
    for (const auto& [name, seconds] : nominal) {
        ASSERT_TRUE(stated.contains(name)) << name << " missing from FIXTURES.md";
        const double tolerance = name == "truncated.mp3" ? 0.05 : 0.01;
        EXPECT_NEAR(stated.at(name), seconds, std::abs(seconds) * tolerance) << name;
    }
    for (const auto& [name, seconds] : stated) {
        const fs::path file = kDir / name;
        ASSERT_TRUE(fs::exists(file)) << name;
        if (seconds < 0) continue;
        const double played = file.extension() == ".mid" ? MidiSeconds(ReadBytes(file))
                                                         : DecodeWithFfmpeg(file).Seconds();
        EXPECT_NEAR(played, seconds, seconds * 0.01) << name;
    }
    EXPECT_EQ(fs::file_size(kDir / "empty.wav"), 0u);
    EXPECT_EQ(fs::file_size(kDir / "random.mp3"), 65536u);
}

TEST(Fixtures, MetafilesNameTheRealMediaFileByAbsolutePath) {
    const std::string rm = (kDir / "sine440_3s_8000.rm").string();
    const std::vector<std::uint8_t> url = ReadBytes(kDir / "sine440_3s.ram");
    EXPECT_EQ(std::string(url.begin(), url.end()), "file://" + rm + "\n");
    const std::vector<std::uint8_t> plain = ReadBytes(kDir / "sine440_3s_plain.ram");
    EXPECT_TRUE(std::string(plain.begin(), plain.end()).ends_with("\n\n" + rm + "\n"));
}

TEST(Fixtures, LayerOneToneDecodesAs440HzAtItsLevel) {
    const Decoded tone = DecodeWithFfmpeg(kDir / "sine440_3s_44100.mp1");
    ASSERT_EQ(tone.rate, 44100);
    ASSERT_EQ(tone.channels, 2);
    EXPECT_NEAR(tone.Seconds(), 3.0, 0.03);

    // The middle two seconds, away from the filter bank's run-in and the padded end.
    for (int channel = 0; channel < 2; ++channel) {
        const int from = tone.rate / 2;
        const int count = 2 * tone.rate;
        int rising = 0;
        double energy = 0.0;
        for (int i = from; i < from + count; ++i) {
            const float s = tone.samples[static_cast<std::size_t>(2 * i + channel)];
            const float before = tone.samples[static_cast<std::size_t>(2 * (i - 1) + channel)];
            if (before < 0.0f && s >= 0.0f) ++rising;
            energy += static_cast<double>(s) * s;
        }
        EXPECT_NEAR(rising / 2.0, 440.0, 2.0) << "channel " << channel;
        // Written at -6 dBFS: an RMS of 0.5 / sqrt(2).
        const double rmsDb = 10.0 * std::log10(energy / count);
        EXPECT_NEAR(rmsDb, 20.0 * std::log10(0.5 / std::sqrt(2.0)), 1.0) << "channel " << channel;
    }
}

}  // namespace
