#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvane::gen {

enum class Part { Pad, Bass, Arp, Lead, Kick, Hat, Snare };

// One note of a piece, in beats from the start; `key` is a MIDI key number.
struct NoteEvent {
    Part part;
    double beat;
    double length;
    int key;
    float velocity;  // 0..1
};

// The character of a piece: key, pace, harmony and how busy each part is.
struct Style {
    std::string title;
    int tonic = 48;  // MIDI key of the tonic, in the pad's octave minus one
    bool minor = false;
    double bpm = 96.0;
    int beatsPerBar = 4;
    std::vector<int> progression;  // scale degrees (0 = tonic), one chord per `barsPerChord`
    int barsPerChord = 1;
    int arpPerBeat = 2;  // arpeggio notes per beat; 0 for none
    int drums = 1;       // 0 none, 1 light (kick and hats), 2 full (adds a snare)
    std::uint64_t seed = 1;
    bool steady = false;  // every part plays every bar (for pieces made to loop)
};

// A whole arrangement for `bars` bars: pads from the start, then bass, drums and a lead
// melody entering one after another, thinning out again in the last bars (unless steady).
std::vector<NoteEvent> Compose(const Style& style, int bars);

}  // namespace corvane::gen
