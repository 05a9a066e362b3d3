#include "demo.h"

#include <algorithm>
#include <cmath>

#include "compose.h"
#include "encode.h"
#include "smf_writer.h"
#include "synth.h"

namespace corvane::gen {

namespace {

constexpr double kPieceSeconds = 60.0;

// Each piece has its own key, pace and feel; the titles are the file names.
std::vector<Style> DemoStyles() {
    return {
        {"01 Harbour Lights", 48, false, 96, 4, {0, 4, 5, 3}, 1, 2, 1, 11},
        {"02 Slow Tide", 45, true, 72, 4, {0, 5, 2, 6}, 2, 2, 0, 12},
        {"03 Copper Avenue", 53, false, 112, 4, {1, 4, 0, 5}, 1, 4, 2, 13},
        {"04 Night Ferry", 50, true, 84, 4, {0, 3, 6, 2}, 1, 2, 1, 14},
        {"05 Paper Kites", 43, false, 120, 4, {0, 3, 5, 4}, 1, 4, 2, 15},
        {"06 Lantern Walk", 51, false, 90, 4, {0, 5, 1, 4}, 1, 2, 1, 16},
    };
}

const Style kWaltz = {"07 Garden Waltz", 55, false, 108, 3, {0, 3, 4, 0, 5, 1, 4, 4}, 1, 2, 1, 17};

int BarsFor(const Style& style, double seconds) {
    return static_cast<int>(std::ceil(seconds * style.bpm / 60.0 / style.beatsPerBar));
}

Pcm RenderStyle(const Style& style, double seconds) {
    return Render(Compose(style, BarsFor(style, seconds)), style.bpm, seconds, style.seed);
}

// General MIDI: the same arrangement, played by a soundfont instead of our instruments.
std::vector<std::uint8_t> MidiPiece(const Style& style, double seconds) {
    constexpr int kDivision = 480;
    struct Voice {
        Part part;
        int channel;
        int program;
        const char* name;
    };
    static constexpr Voice kVoices[] = {
        {Part::Pad, 0, 48, "Strings"}, {Part::Bass, 1, 32, "Bass"}, {Part::Arp, 2, 46, "Harp"},
        {Part::Lead, 3, 73, "Flute"},  {Part::Kick, 9, 0, "Drums"},
    };
    std::vector<MidiTrack> tracks(1);
    tracks[0].Name(0, style.title.c_str());
    tracks[0].Tempo(0, style.bpm);
    const std::vector<NoteEvent> notes = Compose(style, BarsFor(style, seconds));
    for (const Voice& voice : kVoices) {
        MidiTrack track;
        track.Name(0, voice.name);
        if (voice.channel != 9) track.Program(0, voice.channel, voice.program);
        track.Controller(0, voice.channel, 7, voice.part == Part::Pad ? 70 : 90);
        for (const NoteEvent& n : notes) {
            const bool drum = n.part == Part::Kick || n.part == Part::Hat || n.part == Part::Snare;
            if (drum ? voice.channel != 9 : n.part != voice.part) continue;
            const auto tick = static_cast<std::uint32_t>(std::lround(n.beat * kDivision));
            const auto length = static_cast<std::uint32_t>(std::lround(n.length * kDivision));
            track.Note(tick, std::max<std::uint32_t>(length, 1), voice.channel, n.key,
                       static_cast<int>(n.velocity * 100));
        }
        tracks.push_back(std::move(track));
    }
    return SmfBytes(kDivision, tracks);
}

EncodeSettings Mp3For(const std::string& title) {
    const std::string name = title.substr(3);  // without the track number
    return {"libmp3lame",
            "mp3",
            160000,
            7,
            {{"title", name},
             {"artist", "Corvane"},
             {"album", "Corvane Demo"},
             {"track", title.substr(0, 2)}}};
}

}  // namespace

Pcm MusicPiece(int variant, double seconds) {
    const std::vector<Style> styles = DemoStyles();
    Style style = styles[static_cast<std::size_t>(variant) % styles.size()];
    // Other keys and seeds than the demo pieces, so no two pieces are alike.
    style.tonic = 43 + (variant * 5) % 12;
    style.seed = 100 + static_cast<std::uint64_t>(variant);
    // Long pieces repeat a 16-bar loop: cheaper to make, and just as good to decode.
    style.steady = true;
    const int bars = std::min(16, BarsFor(style, seconds));
    const double loopSeconds = bars * style.beatsPerBar * 60.0 / style.bpm;
    return RenderLooped(Compose(style, bars), style.bpm, std::min(loopSeconds, seconds), seconds,
                        style.seed);
}

std::vector<std::uint8_t> GeneralMidiPiece(int variant, double seconds) {
    const std::vector<Style> styles = DemoStyles();
    return MidiPiece(styles[static_cast<std::size_t>(variant) % styles.size()], seconds);
}

std::vector<Job> DemoJobs(const std::filesystem::path& dir) {
    std::vector<Job> jobs;
    std::string playlist;
    for (const Style& style : DemoStyles()) {
        const bool wav = style.title.starts_with("06");
        const std::string file = style.title + (wav ? ".wav" : ".mp3");
        playlist += file + "\r\n";
        jobs.push_back([dir, style, file, wav] {
            const Pcm pcm = RenderStyle(style, kPieceSeconds);
            if (wav) {
                WriteFile(dir / file, WavBytes(pcm, WavSample::S16));
            } else {
                EncodeFile(dir / file, pcm, Mp3For(style.title));
            }
        });
    }
    const std::string midi = kWaltz.title + ".mid";
    playlist += midi + "\r\n";
    jobs.push_back([dir, midi] { WriteFile(dir / midi, MidiPiece(kWaltz, 48.0)); });
    jobs.push_back([dir, playlist] { WriteFile(dir / "Demo.m3u", playlist); });
    return jobs;
}

}  // namespace corvane::gen
