#include "audio/smf.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace corvane::audio {

namespace {

// Bounds the work a hostile file can cause; real songs stay far below it.
constexpr size_t kMaxEvents = 1'000'000;
constexpr uint32_t kDefaultTempo = 500'000;  // microseconds per quarter note (120 bpm)

struct RawEvent {
    uint64_t tick = 0;
    SmfEvent event;
    bool isTempo = false;
    uint32_t tempo = 0;
    bool playable = false;  // channel message or sysex
};

class Reader {
public:
    Reader(const char* data, size_t size) : data_(data), size_(size) {}
    bool AtEnd() const { return pos_ >= size_; }
    size_t Pos() const { return pos_; }
    size_t Left() const { return size_ - pos_; }
    bool Byte(uint8_t* b) {
        if (AtEnd()) return false;
        *b = static_cast<uint8_t>(data_[pos_++]);
        return true;
    }
    bool Peek(uint8_t* b) const {
        if (AtEnd()) return false;
        *b = static_cast<uint8_t>(data_[pos_]);
        return true;
    }
    bool Fixed(int bytes, uint32_t* v) {
        if (Left() < static_cast<size_t>(bytes)) return false;
        uint32_t r = 0;
        for (int i = 0; i < bytes; ++i) r = (r << 8) | static_cast<uint8_t>(data_[pos_++]);
        *v = r;
        return true;
    }
    // Variable-length quantity: at most four bytes of seven bits.
    bool VarLen(uint32_t* v) {
        uint32_t r = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t b = 0;
            if (!Byte(&b)) return false;
            r = (r << 7) | (b & 0x7F);
            if (!(b & 0x80)) {
                *v = r;
                return true;
            }
        }
        return false;
    }
    bool Bytes(uint32_t n, QByteArray* out) {
        if (Left() < n) return false;
        *out = QByteArray(data_ + pos_, static_cast<qsizetype>(n));
        pos_ += n;
        return true;
    }
    bool Skip(uint32_t n) {
        if (Left() < n) return false;
        pos_ += n;
        return true;
    }

private:
    const char* data_;
    size_t size_;
    size_t pos_ = 0;
};

int ChannelDataBytes(uint8_t status) {
    const uint8_t kind = status & 0xF0;
    return (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
}

// Reads one track's events into `out`; stops quietly at the first damage, keeping what came
// before it, as players do with slightly broken files.
void ParseTrack(Reader r, std::vector<RawEvent>* out, uint64_t* lastTick) {
    uint64_t tick = 0;
    uint8_t running = 0;
    while (!r.AtEnd() && out->size() < kMaxEvents) {
        uint32_t delta = 0;
        uint8_t first = 0;
        if (!r.VarLen(&delta) || !r.Peek(&first)) return;
        tick += delta;
        RawEvent raw;
        raw.tick = tick;
        uint8_t status = running;
        if (first & 0x80) {
            r.Byte(&status);
        }
        if (status < 0x80) return;  // data byte with no running status
        raw.event.status = status;
        if (status < 0xF0) {
            running = status;
            uint8_t d1 = 0;
            uint8_t d2 = 0;
            if (!r.Byte(&d1)) return;
            if (ChannelDataBytes(status) == 2 && !r.Byte(&d2)) return;
            raw.event.data1 = d1 & 0x7F;
            raw.event.data2 = d2 & 0x7F;
            raw.playable = true;
        } else if (status == 0xF0 || status == 0xF7) {
            running = 0;
            uint32_t len = 0;
            QByteArray payload;
            if (!r.VarLen(&len) || !r.Bytes(len, &payload)) return;
            if (status == 0xF7) continue;  // escaped packet or continuation: not replayed
            if (payload.endsWith('\xF7')) payload.chop(1);
            raw.event.sysex = payload;
            raw.playable = true;
        } else if (status == 0xFF) {
            running = 0;
            uint8_t type = 0;
            uint32_t len = 0;
            if (!r.Byte(&type) || !r.VarLen(&len)) return;
            raw.event.data1 = type;
            if (type == 0x51 && len == 3) {
                uint32_t tempo = 0;
                if (!r.Fixed(3, &tempo)) return;
                raw.isTempo = tempo > 0;
                raw.tempo = tempo;
            } else if (!r.Skip(len)) {
                return;
            }
        } else {
            return;  // system real-time bytes do not belong in a file
        }
        *lastTick = std::max(*lastTick, tick);
        const bool endOfTrack = status == 0xFF && raw.event.data1 == 0x2F;
        out->push_back(std::move(raw));
        if (endOfTrack) return;
    }
}

}  // namespace

bool ParseSmf(const QByteArray& bytes, SmfSong* song, QString* error) {
    *song = SmfSong{};
    Reader r(bytes.constData(), static_cast<size_t>(bytes.size()));
    QByteArray id;
    uint32_t headerLen = 0;
    uint32_t format = 0;
    uint32_t tracks = 0;
    uint32_t division = 0;
    if (!r.Bytes(4, &id) || id != QByteArrayLiteral("MThd") || !r.Fixed(4, &headerLen) ||
        headerLen < 6 || !r.Fixed(2, &format) || !r.Fixed(2, &tracks) || !r.Fixed(2, &division) ||
        !r.Skip(headerLen - 6)) {
        *error = QStringLiteral("not a Standard MIDI File");
        return false;
    }
    if (division == 0) {
        *error = QStringLiteral("MIDI file has no time division");
        return false;
    }

    std::vector<RawEvent> raw;
    uint64_t lastTick = 0;
    for (uint32_t t = 0; t < tracks && !r.AtEnd(); ++t) {
        QByteArray chunkId;
        uint32_t len = 0;
        if (!r.Bytes(4, &chunkId) || !r.Fixed(4, &len)) break;
        const uint32_t avail = static_cast<uint32_t>(std::min<size_t>(len, r.Left()));
        QByteArray body;
        r.Bytes(avail, &body);
        if (chunkId != QByteArrayLiteral("MTrk")) {
            --t;  // unknown chunks do not count as tracks
            continue;
        }
        ParseTrack(Reader(body.constData(), static_cast<size_t>(body.size())), &raw, &lastTick);
    }
    std::stable_sort(raw.begin(), raw.end(),
                     [](const RawEvent& a, const RawEvent& b) { return a.tick < b.tick; });

    // Ticks become seconds through the tempo map; SMPTE division has a fixed tick length.
    const bool smpte = (division & 0x8000) != 0;
    double secondsPerTick = 0.0;
    if (smpte) {
        const int fps = -static_cast<int8_t>(division >> 8);
        const double frameRate = fps == 29 ? 29.97 : fps;
        const int ticksPerFrame = static_cast<int>(division & 0xFF);
        if (fps <= 0 || ticksPerFrame == 0) {
            *error = QStringLiteral("MIDI file has a bad time division");
            return false;
        }
        secondsPerTick = 1.0 / (frameRate * ticksPerFrame);
    } else {
        secondsPerTick = kDefaultTempo / 1e6 / division;
    }
    uint64_t segmentTick = 0;
    double segmentSeconds = 0.0;
    auto toSeconds = [&](uint64_t tick) {
        return segmentSeconds + static_cast<double>(tick - segmentTick) * secondsPerTick;
    };
    for (RawEvent& e : raw) {
        e.event.seconds = toSeconds(e.tick);
        if (e.isTempo && !smpte) {
            segmentSeconds = e.event.seconds;
            segmentTick = e.tick;
            secondsPerTick = e.tempo / 1e6 / division;
        }
        if (e.playable) song->events.push_back(std::move(e.event));
    }
    song->durationSeconds = toSeconds(lastTick);
    if (song->events.empty()) {
        *error = QStringLiteral("MIDI file has no notes to play");
        return false;
    }
    return true;
}

long long FramesAt(double seconds, int rate) {
    const double frames = std::round(seconds * rate);
    if (!(frames > 0.0)) return 0;
    constexpr long long kMax = std::numeric_limits<long long>::max();
    if (frames >= static_cast<double>(kMax)) return kMax;
    return static_cast<long long>(frames);
}

}  // namespace corvane::audio
