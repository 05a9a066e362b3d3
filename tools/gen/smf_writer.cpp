#include "smf_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace corvane::gen {

namespace {

void PutBig(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutVariable(std::vector<std::uint8_t>& out, std::uint32_t value) {
    std::uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
    } while (value);
    while (n-- > 0) out.push_back(static_cast<std::uint8_t>(groups[n] | (n ? 0x80 : 0)));
}

std::uint8_t Status(int kind, int channel) {
    return static_cast<std::uint8_t>(kind | (channel & 0x0F));
}

std::uint8_t Data(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 127)); }

}  // namespace

void MidiTrack::Add(std::uint32_t tick, int order, std::vector<std::uint8_t> bytes) {
    events_.push_back({tick, order, std::move(bytes)});
}

void MidiTrack::NoteOn(std::uint32_t tick, int channel, int key, int velocity) {
    Add(tick, 2, {Status(0x90, channel), Data(key), Data(velocity)});
}

void MidiTrack::NoteOff(std::uint32_t tick, int channel, int key) {
    Add(tick, 0, {Status(0x80, channel), Data(key), 64});
}

void MidiTrack::Note(std::uint32_t tick, std::uint32_t length, int channel, int key, int velocity) {
    NoteOn(tick, channel, key, velocity);
    NoteOff(tick + length, channel, key);
}

void MidiTrack::Program(std::uint32_t tick, int channel, int program) {
    Add(tick, 1, {Status(0xC0, channel), Data(program)});
}

void MidiTrack::Controller(std::uint32_t tick, int channel, int controller, int value) {
    Add(tick, 1, {Status(0xB0, channel), Data(controller), Data(value)});
}

void MidiTrack::Tempo(std::uint32_t tick, double beatsPerMinute) {
    const auto micros = static_cast<std::uint32_t>(std::lround(60'000'000.0 / beatsPerMinute));
    std::vector<std::uint8_t> bytes{0xFF, 0x51, 0x03};
    PutBig(bytes, micros, 3);
    Add(tick, 1, std::move(bytes));
}

void MidiTrack::Name(std::uint32_t tick, const char* text) {
    const auto length = static_cast<std::uint32_t>(std::strlen(text));
    std::vector<std::uint8_t> bytes{0xFF, 0x03};
    PutVariable(bytes, length);
    bytes.insert(bytes.end(), text, text + length);
    Add(tick, 1, std::move(bytes));
}

std::vector<std::uint8_t> MidiTrack::Chunk() const {
    std::vector<Event> sorted = events_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    std::vector<std::uint8_t> body;
    std::uint32_t now = 0;
    for (const Event& e : sorted) {
        PutVariable(body, e.tick - now);
        now = e.tick;
        body.insert(body.end(), e.bytes.begin(), e.bytes.end());
    }
    PutVariable(body, std::max(end_, now) - now);
    body.insert(body.end(), {0xFF, 0x2F, 0x00});

    std::vector<std::uint8_t> chunk{'M', 'T', 'r', 'k'};
    PutBig(chunk, static_cast<std::uint32_t>(body.size()), 4);
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

std::vector<std::uint8_t> SmfBytes(int division, const std::vector<MidiTrack>& tracks) {
    std::vector<std::uint8_t> out{'M', 'T', 'h', 'd'};
    PutBig(out, 6, 4);
    PutBig(out, 1, 2);
    PutBig(out, static_cast<std::uint32_t>(tracks.size()), 2);
    PutBig(out, static_cast<std::uint32_t>(division), 2);
    for (const MidiTrack& track : tracks) {
        const std::vector<std::uint8_t> chunk = track.Chunk();
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

}  // namespace corvane::gen
