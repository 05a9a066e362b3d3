// Standard MIDI File reader and its tempo map: events in time order, finite times inside the
// song, no more events than the file has bytes.
#include <cmath>

#include "audio/smf.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = corvane::fuzz::Bytes(data, size);
    corvane::audio::SmfSong song;
    QString error;
    if (!corvane::audio::ParseSmf(bytes, &song, &error)) {
        FUZZ_CHECK(!error.isEmpty());
        return 0;
    }
    FUZZ_CHECK(std::isfinite(song.durationSeconds) && song.durationSeconds >= 0.0);
    FUZZ_CHECK(song.events.size() <= size);
    double last = 0.0;
    for (const auto& event : song.events) {
        FUZZ_CHECK(std::isfinite(event.seconds) && event.seconds >= last);
        FUZZ_CHECK(event.seconds <= song.durationSeconds);
        FUZZ_CHECK(event.status >= 0x80 && event.status != 0xFF);
        FUZZ_CHECK(event.sysex.size() <= bytes.size());
        last = event.seconds;
    }
    FUZZ_CHECK(corvane::audio::FramesAt(song.durationSeconds, 48000) >= 0);
    return 0;
}
