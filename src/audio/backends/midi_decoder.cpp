#include <fluidsynth.h>

#include <QFile>
#include <algorithm>
#include <cmath>
#include <vector>

#include "audio/backends/decoders.h"
#include "audio/smf.h"

namespace corvane::audio {

namespace {

constexpr const char* kSoundFont = "/usr/share/sounds/sf2/default-GM.sf2";
// FluidSynth renders in blocks of this many frames and hands out the rest of a block later;
// events take effect at the next block, so they land up to one block late.
constexpr int kSynthBlock = 64;
// Far above any real song; keeps a hostile file from filling memory.
constexpr qint64 kMaxMidiBytes = 4 * 1024 * 1024;
// FluidSynth's default gain (0.2) leaves a General MIDI song 15 to 35 dB under recorded music;
// this one puts a full arrangement near -16 dBFS RMS, where mastered songs sit.
constexpr double kSynthGain = 0.9;
// Above this level peaks bend smoothly toward full scale instead of clipping.
constexpr float kLimiterKnee = 0.8f;

struct SettingsFreer {
    void operator()(fluid_settings_t* s) const { delete_fluid_settings(s); }
};
struct SynthFreer {
    void operator()(fluid_synth_t* s) const { delete_fluid_synth(s); }
};

struct TimedEvent {
    long long frame = 0;
    SmfEvent event;
};

bool IsNote(const SmfEvent& e) {
    const uint8_t kind = e.status & 0xF0;
    return kind == 0x80 || kind == 0x90 || kind == 0xA0;
}

// Renders the song with our own event timing: every event lands on its exact output frame,
// and a seek rebuilds the controller state instead of replaying the notes before it.
class MidiDecoder final : public Decoder {
public:
    explicit MidiDecoder(int outputRate) : outputRate_(outputRate) {}

    bool Open(const QString& path, QString* error);
    int Read(float* out, int frames) override;
    bool Seek(long long frame) override;
    long long LengthFrames() const override { return lengthFrames_; }
    int Rate() const override { return outputRate_; }

private:
    void Send(const SmfEvent& e);
    void Render(float* out, int frames);

    const int outputRate_;
    std::unique_ptr<fluid_settings_t, SettingsFreer> settings_;
    // Declared after the settings: the synth must go first.
    std::unique_ptr<fluid_synth_t, SynthFreer> synth_;
    std::vector<TimedEvent> events_;
    size_t next_ = 0;
    long long position_ = 0;
    long long lengthFrames_ = 0;
    long long rendered_ = 0;  // frames taken from the synth; tells where its block stands
};

bool MidiDecoder::Open(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the file");
        return false;
    }
    if (file.size() > kMaxMidiBytes) {
        *error = QStringLiteral("MIDI file too large");
        return false;
    }
    SmfSong song;
    if (!ParseSmf(file.readAll(), &song, error)) return false;

    settings_.reset(new_fluid_settings());
    if (!settings_) {
        *error = QStringLiteral("cannot start the synthesizer");
        return false;
    }
    if (fluid_settings_setnum(settings_.get(), "synth.sample-rate", outputRate_) != FLUID_OK) {
        *error = QStringLiteral("the synthesizer cannot run at %1 Hz").arg(outputRate_);
        return false;
    }
    fluid_settings_setint(settings_.get(), "synth.threadsafe-api", 0);  // one worker uses it
    fluid_settings_setnum(settings_.get(), "synth.gain", kSynthGain);
    synth_.reset(new_fluid_synth(settings_.get()));
    if (!synth_) {
        *error = QStringLiteral("cannot start the synthesizer");
        return false;
    }
    if (fluid_synth_sfload(synth_.get(), kSoundFont, 1) == FLUID_FAILED) {
        *error = QStringLiteral("cannot load the General MIDI sound font");
        return false;
    }

    events_.reserve(song.events.size());
    for (SmfEvent& e : song.events)
        events_.push_back({FramesAt(e.seconds, outputRate_), std::move(e)});
    lengthFrames_ = FramesAt(song.durationSeconds, outputRate_);
    return true;
}

void MidiDecoder::Send(const SmfEvent& e) {
    fluid_synth_t* s = synth_.get();
    const int channel = e.status & 0x0F;
    switch (e.status & 0xF0) {
        case 0x80:
            fluid_synth_noteoff(s, channel, e.data1);
            break;
        case 0x90:
            if (e.data2 == 0)
                fluid_synth_noteoff(s, channel, e.data1);
            else
                fluid_synth_noteon(s, channel, e.data1, e.data2);
            break;
        case 0xA0:
            fluid_synth_key_pressure(s, channel, e.data1, e.data2);
            break;
        case 0xB0:
            fluid_synth_cc(s, channel, e.data1, e.data2);
            break;
        case 0xC0:
            fluid_synth_program_change(s, channel, e.data1);
            break;
        case 0xD0:
            fluid_synth_channel_pressure(s, channel, e.data1);
            break;
        case 0xE0:
            fluid_synth_pitch_bend(s, channel, e.data1 | (e.data2 << 7));
            break;
        case 0xF0:
            if (!e.sysex.isEmpty())
                fluid_synth_sysex(s, e.sysex.constData(), static_cast<int>(e.sysex.size()), nullptr,
                                  nullptr, nullptr, 0);
            break;
        default:
            break;
    }
}

// Soft knee: the same below kLimiterKnee, then a tanh curve that never reaches full scale, so
// a dense passage at the louder gain does not clip.
float Limit(float v) {
    const float size = std::fabs(v);
    if (size <= kLimiterKnee) return v;
    constexpr float kRoom = 1.0f - kLimiterKnee;
    const float bent = kLimiterKnee + kRoom * std::tanh((size - kLimiterKnee) / kRoom);
    return std::copysign(std::min(bent, 0.999f), v);
}

void MidiDecoder::Render(float* out, int frames) {
    fluid_synth_write_float(synth_.get(), frames, out, 0, 2, out, 1, 2);
    for (int i = 0; i < 2 * frames; ++i) out[i] = Limit(out[i]);
    rendered_ += frames;
}

int MidiDecoder::Read(float* out, int frames) {
    const long long want = std::min<long long>(frames, lengthFrames_ - position_);
    long long done = 0;
    while (done < want) {
        while (next_ < events_.size() && events_[next_].frame <= position_)
            Send(events_[next_++].event);
        long long run = want - done;
        if (next_ < events_.size()) run = std::min(run, events_[next_].frame - position_);
        Render(out + done * 2, static_cast<int>(run));
        done += run;
        position_ += run;
    }
    return static_cast<int>(std::max<long long>(done, 0));
}

bool MidiDecoder::Seek(long long frame) {
    if (frame < 0 || frame > lengthFrames_) return false;
    // Silence everything, then bring programs, controllers and bends to where the song has
    // them at `frame`; notes sounding across the target are not restarted.
    fluid_synth_system_reset(synth_.get());
    fluid_synth_all_sounds_off(synth_.get(), -1);
    // The rest of the synth's current block was rendered before the reset: throw it away.
    float stale[2 * kSynthBlock];
    Render(stale, static_cast<int>((kSynthBlock - rendered_ % kSynthBlock) % kSynthBlock));
    next_ = 0;
    for (; next_ < events_.size() && events_[next_].frame < frame; ++next_)
        if (!IsNote(events_[next_].event)) Send(events_[next_].event);
    position_ = frame;
    return true;
}

}  // namespace

std::unique_ptr<Decoder> OpenMidiDecoder(const QString& path, int outputRate, QString* error) {
    auto decoder = std::make_unique<MidiDecoder>(outputRate);
    if (!decoder->Open(path, error)) return nullptr;
    return decoder;
}

}  // namespace corvane::audio
