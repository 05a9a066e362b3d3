#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace corvane::audio {

// One MIDI event of a Standard MIDI File, placed on the file's merged time line.
struct SmfEvent {
    double seconds = 0.0;  // from the start, through the tempo map
    uint8_t status = 0;    // 0x80..0xEF channel message, 0xF0/0xF7 sysex, 0xFF meta
    uint8_t data1 = 0;     // channel messages: first data byte; meta: type
    uint8_t data2 = 0;
    QByteArray sysex;  // sysex payload without the leading F0 (as the synth wants it)
};

// A parsed Standard MIDI File: all tracks merged in time order, times already in seconds.
struct SmfSong {
    std::vector<SmfEvent> events;  // channel messages and sysex only, time ordered
    double durationSeconds = 0.0;  // time of the last event of any kind (end-of-track included)
};

// Parses a Standard MIDI File held in `bytes`. Tracks that end early are kept up to the
// damage; a file without the "MThd" header, or with nothing usable in it, fails with `error`.
bool ParseSmf(const QByteArray& bytes, SmfSong* song, QString* error);

// `seconds` of the song as a frame count at `rate`, held at the largest 64-bit count: a long
// file with large delta times runs past it, and an overflow would make the song zero length.
long long FramesAt(double seconds, int rate);

}  // namespace corvane::audio
