#include "fixtures.h"

#include <cstdio>
#include <fstream>
#include <iterator>

#include "demo.h"
#include "encode.h"
#include "layer1.h"
#include "smf_writer.h"
#include "tones.h"

namespace corvane::gen {

namespace {

namespace fs = std::filesystem;

const EncodeSettings kMp3 = {"libmp3lame", "mp3", 128000, 7, {}};
const EncodeSettings kMp2 = {"mp2", "mp2", 128000, -1, {}};
const EncodeSettings kReal = {"real_144", "rm", 0, -1, {}};

// A two-second 440 Hz tone in each further format the engine plays, all through FFmpeg's own
// encoders: lossless ones decode to the very samples, lossy ones keep length and pitch. The
// m4a files (an edit list or an iTunSMPB tag over the AAC priming) and the mp3 above (a LAME
// tag) are encoded gapless.
struct ToneFile {
    const char* name;
    const char* content;
    int rate;
    int channels;
    EncodeSettings settings;
};
const ToneFile kToneFiles[] = {
    {"sine440_2s_44100.flac", "FLAC", 44100, 2, {"flac", "flac", 0, -1, {}}},
    {"sine440_2s_96000.flac", "FLAC at 96 kHz", 96000, 2, {"flac", "flac", 0, -1, {}}},
    {"sine440_2s_44100.ogg", "Ogg Vorbis", 44100, 2, {"libvorbis", "ogg", 128000, -1, {}}},
    {"sine440_2s_44100_mono.ogg",
     "Ogg Vorbis, mono",
     44100,
     1,
     {"libvorbis", "ogg", 64000, -1, {}}},
    {"sine440_2s_44100.oga", "FLAC in Ogg", 44100, 2, {"flac", "ogg", 0, -1, {}}},
    {"sine440_2s_48000.opus", "Opus in Ogg", 48000, 2, {"libopus", "ogg", 96000, -1, {}}},
    {"sine440_2s_44100.m4a",
     "AAC in MP4, gapless (edit list)",
     44100,
     2,
     {"aac", "ipod", 128000, -1, {}}},
    {"sine440_2s_44100_smpb.m4a",
     "AAC in MP4, gapless (iTunSMPB, no edit list)",
     44100,
     2,
     {"aac", "ipod", 128000, -1, {}, true}},
    {"sine440_2s_44100_alac.m4a", "ALAC in MP4", 44100, 2, {"alac", "ipod", 0, -1, {}}},
    {"sine440_2s_44100.mp4", "AAC in MP4 (.mp4)", 44100, 2, {"aac", "mp4", 128000, -1, {}}},
    {"sine440_2s_44100.aac", "AAC in ADTS", 44100, 2, {"aac", "adts", 128000, -1, {}}},
    {"sine440_2s_44100.aif", "AIFF, 16-bit", 44100, 2, {"pcm_s16be", "aiff", 0, -1, {}}},
    {"sine440_2s_44100.aifc", "AIFC, 32-bit float", 44100, 2, {"pcm_f32be", "aiff", 0, -1, {}}},
    {"sine440_2s_44100.wv", "WavPack", 44100, 2, {"wavpack", "wv", 0, -1, {}}},
};

Fixture Wav(std::string name, std::string content, Pcm pcm, WavSample format) {
    return {std::move(name), std::move(content), [pcm = std::move(pcm), format](const fs::path& f) {
                WriteFile(f, WavBytes(pcm, format));
                return pcm.Seconds();
            }};
}

Fixture Encoded(std::string name, std::string content, std::function<Pcm()> source,
                EncodeSettings settings) {
    return {std::move(name), std::move(content), [source, settings](const fs::path& f) {
                EncodeFile(f, source(), settings);
                return DecodedSeconds(f);
            }};
}

Fixture Text(std::string name, std::string content, std::string text) {
    return {std::move(name), std::move(content), [text](const fs::path& f) {
                WriteFile(f, text);
                return -1.0;
            }};
}

Pcm Tone440(int rate, int channels) { return Sine(440.0, 3.0, rate, channels, 0.5); }

// 4 quarter notes at 120 bpm, then 4 at 60 bpm: 2 s + 4 s, ending at the last note-off.
std::vector<std::uint8_t> TempoMidi() {
    constexpr std::uint32_t kQuarter = 480;
    std::vector<MidiTrack> tracks(2);
    tracks[0].Tempo(0, 120.0);
    tracks[0].Tempo(4 * kQuarter, 60.0);
    tracks[0].EndAt(8 * kQuarter);
    tracks[1].Program(0, 0, 0);
    static constexpr int kKeys[] = {60, 62, 64, 65, 67, 65, 64, 62};
    for (std::uint32_t i = 0; i < 8; ++i) tracks[1].Note(i * kQuarter, kQuarter, 0, kKeys[i], 96);
    tracks[1].EndAt(8 * kQuarter);
    return SmfBytes(kQuarter, tracks);
}

std::vector<std::uint8_t> RandomBytes(std::size_t count, std::uint64_t seed) {
    Rng rng(seed);
    std::vector<std::uint8_t> bytes(count);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(rng.Next() >> 56);
    return bytes;
}

std::vector<std::uint8_t> FirstPart(const fs::path& file, double fraction) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    bytes.resize(static_cast<std::size_t>(static_cast<double>(bytes.size()) * fraction));
    return bytes;
}

}  // namespace

std::vector<Fixture> Fixtures(const fs::path& dir) {
    std::vector<Fixture> list;
    // The long ones first: they set the pace when the jobs run in parallel.
    list.push_back(Encoded(
        "bench_5min.mp3", "music-like piece, stereo 44.1 kHz, 128 kbit/s",
        [] { return MusicPiece(8, 300.0); }, kMp3));
    for (int i = 1; i <= 8; ++i) {
        list.push_back(Encoded(
            "bench_60s_" + std::to_string(i) + ".mp3",
            "music-like piece, stereo 44.1 kHz, 128 kbit/s",
            [i] { return MusicPiece(i - 1, 60.0); }, kMp3));
    }
    list.push_back(Wav("sine1k_44100_stereo_s16.wav", "1 kHz sine, full scale",
                       Sine(1000.0, 2.0, 44100, 2, 1.0), WavSample::S16));
    list.push_back(Wav("sine1k_48000_stereo_f32.wav", "1 kHz sine, peak 1.0, 32-bit float",
                       Sine(1000.0, 2.0, 48000, 2, 1.0), WavSample::F32));
    list.push_back(Wav("sine1k_22050_mono_s16.wav", "1 kHz sine, full scale, mono",
                       Sine(1000.0, 2.0, 22050, 1, 1.0), WavSample::S16));
    list.push_back(Wav("sine1k_0.5s_44100_stereo_s16.wav", "1 kHz sine, full scale",
                       Sine(1000.0, 0.5, 44100, 2, 1.0), WavSample::S16));
    list.push_back(Wav("silence_1s_44100_stereo_s16.wav", "digital silence", Silence(1.0, 44100, 2),
                       WavSample::S16));
    const double kSongTones[] = {440.0, 660.0, 880.0};
    for (int i = 0; i < 3; ++i) {
        const std::string letter(1, static_cast<char>('a' + i));
        list.push_back(Wav("song_8s_" + letter + ".wav",
                           std::to_string(static_cast<int>(kSongTones[i])) + " Hz at -6 dBFS",
                           Sine(kSongTones[i], 8.0, 44100, 2, 0.5), WavSample::S16));
    }
    list.push_back(Encoded(
        "sine440_3s_44100.mp3", "440 Hz at -6 dBFS, 128 kbit/s", [] { return Tone440(44100, 2); },
        kMp3));
    list.push_back(Encoded(
        "sine440_3s_44100.mp2", "440 Hz at -6 dBFS, MPEG-1 Layer II",
        [] { return Tone440(44100, 2); }, kMp2));
    list.push_back({"sine440_3s_44100.mp1", "440 Hz at -6 dBFS, MPEG-1 Layer I, 128 kbit/s",
                    [](const fs::path& f) {
                        WriteFile(f, EncodeLayer1(Tone440(44100, 2), 128000));
                        return DecodedSeconds(f);
                    }});
    for (const ToneFile& tone : kToneFiles) {
        list.push_back(Encoded(
            tone.name, std::string("440 Hz at -6 dBFS, ") + tone.content,
            [tone] { return Sine(440.0, 2.0, tone.rate, tone.channels, 0.5); }, tone.settings));
    }
    list.push_back({"video_only.ogg", "five grey Theora frames, no sound", [](const fs::path& f) {
                        EncodeSilentVideo(f, "libtheora", "ogg");
                        return -1.0;
                    }});
    list.push_back({"video_only.mp4", "five grey MPEG-4 frames, no sound", [](const fs::path& f) {
                        EncodeSilentVideo(f, "mpeg4", "mp4");
                        return -1.0;
                    }});
    for (const char* ext : {"rm", "ra"}) {
        list.push_back(Encoded(
            std::string("sine440_3s_8000.") + ext,
            "440 Hz at -6 dBFS, mono, RealAudio 1.0 (real_144)", [] { return Tone440(8000, 1); },
            kReal));
    }
    const std::string rm = (dir / "sine440_3s_8000.rm").string();
    list.push_back(
        Text("sine440_3s.ram", "metafile naming the .rm as a file:// URL", "file://" + rm + "\n"));
    list.push_back(Text("sine440_3s_plain.ram", "metafile: a comment, a blank line, the path",
                        "# Corvane test metafile\n\n" + rm + "\n"));
    list.push_back(
        {"tempo.mid", "SMF format 1: 4 quarters at 120 bpm, 4 at 60 bpm", [](const fs::path& f) {
             WriteFile(f, TempoMidi());
             return 6.0;
         }});
    list.push_back(
        {"truncated.mp3", "the first 30 % of sine440_3s_44100.mp3", [](const fs::path& f) {
             const fs::path whole = f.parent_path() / "truncated.whole.mp3";
             EncodeFile(whole, Tone440(44100, 2), kMp3);
             WriteFile(f, FirstPart(whole, 0.3));
             fs::remove(whole);
             return DecodedSeconds(f);
         }});
    list.push_back({"random.mp3", "64 KiB of pseudo-random bytes", [](const fs::path& f) {
                        WriteFile(f, RandomBytes(65536, 0xC0FFEE));
                        return -1.0;
                    }});
    list.push_back(Text("empty.wav", "0 bytes", ""));
    list.push_back({"huge_header.wav", "header claims ~4 GB of data; 0.1 s of samples follow",
                    [](const fs::path& f) {
                        const Pcm pcm = Sine(1000.0, 0.1, 44100, 2, 0.5);
                        WriteFile(f, WavBytesClaiming(pcm, 0xFFFFFF00u));
                        return pcm.Seconds();
                    }});
    list.push_back({"band_20s.mid", "General MIDI: strings, bass, harp, flute and full drums",
                    [](const fs::path& f) {
                        WriteFile(f, GeneralMidiPiece(2, 20.0));
                        return -1.0;
                    }});
    list.push_back(Text("text.mid", "plain prose, not MIDI",
                        "This is not a MIDI file.\nIt is a few lines of plain text,\n"
                        "saved with a .mid name to see what a player makes of it.\n"));
    list.push_back(Text("hls.mp3", "an HLS playlist naming local files",
                        "#EXTM3U\n#EXTINF:10,\nfile:///etc/passwd\n/etc/passwd\n"));
    list.push_back(
        Text("http.ram", "metafile naming a network stream", "http://stream.invalid/live.rm\n"));
    return list;
}

std::string FixturesMarkdown(const std::vector<Fixture>& fixtures,
                             const std::vector<double>& seconds) {
    std::string text =
        "# Test fixtures\n\nWritten by corvane-gen. Lengths are what FFmpeg decodes (wav and mid: "
        "exact).\n\n| file | seconds | content |\n|---|---|---|\n";
    for (std::size_t i = 0; i < fixtures.size(); ++i) {
        char length[32] = "-";
        if (seconds[i] >= 0) std::snprintf(length, sizeof length, "%.3f", seconds[i]);
        text += "| `" + fixtures[i].name + "` | " + length + " | " + fixtures[i].content + " |\n";
    }
    return text;
}

}  // namespace corvane::gen
