#pragma once

#include <cstdint>
#include <vector>

namespace corvane::gen {

// One track of a Standard MIDI File, built from events at absolute tick times.
class MidiTrack {
public:
    void NoteOn(std::uint32_t tick, int channel, int key, int velocity);
    void NoteOff(std::uint32_t tick, int channel, int key);
    void Note(std::uint32_t tick, std::uint32_t length, int channel, int key, int velocity);
    void Program(std::uint32_t tick, int channel, int program);
    void Controller(std::uint32_t tick, int channel, int controller, int value);
    void Tempo(std::uint32_t tick, double beatsPerMinute);
    void Name(std::uint32_t tick, const char* text);
    // The track ends at this tick, or at its last event if that is later.
    void EndAt(std::uint32_t tick) { end_ = tick; }

    // Track chunk bytes ("MTrk", length, delta-timed events, end of track).
    std::vector<std::uint8_t> Chunk() const;

private:
    struct Event {
        std::uint32_t tick;
        int order;  // keeps note-offs before note-ons at the same tick
        std::vector<std::uint8_t> bytes;
    };
    void Add(std::uint32_t tick, int order, std::vector<std::uint8_t> bytes);

    std::vector<Event> events_;
    std::uint32_t end_ = 0;
};

// A format 1 file with `division` ticks per quarter note.
std::vector<std::uint8_t> SmfBytes(int division, const std::vector<MidiTrack>& tracks);

}  // namespace corvane::gen
