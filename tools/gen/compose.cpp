#include "compose.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>

#include "tones.h"

namespace corvane::gen {

namespace {

constexpr std::array<int, 7> kMajor = {0, 2, 4, 5, 7, 9, 11};
constexpr std::array<int, 7> kMinor = {0, 2, 3, 5, 7, 8, 10};

// MIDI key of scale step `step` (0 = tonic; may be negative or above an octave).
int KeyOf(const Style& style, int step) {
    const auto& scale = style.minor ? kMinor : kMajor;
    const int octave = step >= 0 ? step / 7 : -((-step + 6) / 7);
    return style.tonic + 12 * octave + scale[static_cast<std::size_t>(step - 7 * octave)];
}

// The chord's tones moved into one octave window, so that chord changes move by small steps.
std::vector<int> Voicing(const Style& style, int degree, int low) {
    std::vector<int> keys;
    for (int i = 0; i < 4; ++i) {
        int key = KeyOf(style, degree + 2 * i);
        while (key < low) key += 12;
        while (key >= low + 12) key -= 12;
        keys.push_back(key);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

class Composer {
public:
    Composer(const Style& style, int bars) : style_(style), bars_(bars), rng_(style.seed) {}

    std::vector<NoteEvent> Run() {
        for (int bar = 0; bar < bars_; ++bar) {
            const int chord =
                (bar / style_.barsPerChord) % static_cast<int>(style_.progression.size());
            const int degree = style_.progression[static_cast<std::size_t>(chord)];
            const double start = bar * style_.beatsPerBar;
            // A part enters `in` bars after the start and stops `out` bars before the end.
            auto plays = [&](int in, int out) {
                return style_.steady || (bar >= in && bar < bars_ - out);
            };
            if (bar % style_.barsPerChord == 0) Pad(degree, start);
            if (plays(1, 1)) Arp(degree, start);
            if (plays(2, 1)) Bass(degree, start);
            if (style_.drums && plays(4, 2)) Drums(start, bar);
            if (plays(6, 3)) Lead(degree, start);
        }
        return std::move(notes_);
    }

private:
    void Add(Part part, double beat, double length, int key, float velocity) {
        notes_.push_back({part, beat, length, key, velocity});
    }

    void Pad(int degree, double start) {
        const double length = style_.barsPerChord * style_.beatsPerBar;
        for (int key : Voicing(style_, degree, style_.tonic + 7)) {
            Add(Part::Pad, start, length, key, 0.8f);
        }
    }

    void Arp(int degree, double start) {
        if (style_.arpPerBeat == 0) return;
        std::vector<int> keys = Voicing(style_, degree, style_.tonic + 12);
        keys.push_back(keys.front() + 12);
        static constexpr std::array<int, 8> kShape = {0, 1, 2, 3, 4, 3, 2, 1};
        const double step = 1.0 / style_.arpPerBeat;
        const int count = style_.beatsPerBar * style_.arpPerBeat;
        for (int i = 0; i < count; ++i) {
            const int key = keys[static_cast<std::size_t>(kShape[static_cast<std::size_t>(i % 8)])];
            const float accent = (i % style_.arpPerBeat == 0) ? 0.75f : 0.55f;
            Add(Part::Arp, start + i * step, step * 1.5, key, accent);
        }
    }

    void Bass(int degree, double start) {
        const int root = KeyOf(style_, degree) - 12;
        const int fifth = KeyOf(style_, degree + 4) - 12;
        Add(Part::Bass, start, 1.6, root, 0.9f);
        if (style_.beatsPerBar == 4) {
            Add(Part::Bass, start + 2, 1.2, root, 0.75f);
            Add(Part::Bass, start + 3.5, 0.45, fifth, 0.6f);
        } else {
            Add(Part::Bass, start + 2, 0.9, fifth, 0.6f);
        }
    }

    void Drums(double start, int bar) {
        for (int beat = 0; beat < style_.beatsPerBar; ++beat) {
            const double at = start + beat;
            if (beat % 2 == 0 || style_.drums == 2) Add(Part::Kick, at, 0.5, 36, 1.0f);
            if (style_.drums == 2 && beat % 2 == 1) Add(Part::Snare, at, 0.5, 38, 0.8f);
            Add(Part::Hat, at + 0.5, 0.25, 42, 0.8f);
            if (style_.drums == 2 || bar % 2) Add(Part::Hat, at, 0.25, 42, 0.35f);
        }
    }

    // A gentle random walk on the scale that lands on a chord tone at each bar line.
    void Lead(int degree, double start) {
        if (!leadStep_) leadStep_ = degree + 7;
        int step = *leadStep_;
        const int target = degree + 2 * rng_.Below(3) + 7;
        step = target + 7 * ((step - target + 3) / 7);  // nearest octave of a chord tone
        step = std::clamp(step, 5, 14);
        double beat = 0;
        while (beat < style_.beatsPerBar) {
            const double length = rng_.Below(3) == 0 ? 2.0 : (rng_.Below(2) ? 1.0 : 0.5);
            const double clipped = std::min(length, style_.beatsPerBar - beat);
            if (beat == 0 || rng_.Below(4) != 0) {
                Add(Part::Lead, start + beat, clipped * 0.9, KeyOf(style_, step) + 12, 0.7f);
            }
            step = std::clamp(step + rng_.Below(5) - 2, 5, 14);
            beat += clipped;
        }
        leadStep_ = step;
    }

    const Style& style_;
    int bars_;
    Rng rng_;
    std::optional<int> leadStep_;
    std::vector<NoteEvent> notes_;
};

}  // namespace

std::vector<NoteEvent> Compose(const Style& style, int bars) { return Composer(style, bars).Run(); }

}  // namespace corvane::gen
