#include "mixer/alsa_mixer.h"

#include <alsa/asoundlib.h>

#include <array>
#include <cstring>

namespace corvane::mixer {

namespace {

struct MixerCloser {
    void operator()(snd_mixer_t* mixer) const { snd_mixer_close(mixer); }
};
using MixerHandle = std::unique_ptr<snd_mixer_t, MixerCloser>;

bool IsNamed(snd_mixer_elem_t* elem, const char* name) {
    return snd_mixer_selem_get_index(elem) == 0 &&
           std::strcmp(snd_mixer_selem_get_name(elem), name) == 0;
}

class AlsaMixer : public MixerBackend {
public:
    explicit AlsaMixer(const QString& device) : device_(device) { Open(); }

    std::optional<ControlBounds> FindControl(MixerLine line) override {
        snd_mixer_elem_t*& elem = line == MixerLine::Master ? master_ : mic_;
        elem = line == MixerLine::Master ? FindMaster() : FindMic();
        if (elem == nullptr) {
            if (handle_ != nullptr) {
                error_ += line == MixerLine::Master
                              ? QStringLiteral("No \"Master\" playback volume on %1. ").arg(device_)
                              : QStringLiteral("No \"Capture\" or \"Mic\" capture volume on %1. ")
                                    .arg(device_);
            }
            return std::nullopt;
        }
        long minimum = 0;
        long maximum = 0;
        const int result = line == MixerLine::Master
                               ? snd_mixer_selem_get_playback_volume_range(elem, &minimum, &maximum)
                               : snd_mixer_selem_get_capture_volume_range(elem, &minimum, &maximum);
        if (result < 0) {
            Fail("reading a volume range", result);
            elem = nullptr;
            return std::nullopt;
        }
        return ControlBounds{minimum, maximum};
    }

    int SetControl(MixerLine line, long long value) override {
        snd_mixer_elem_t* elem = line == MixerLine::Master ? master_ : mic_;
        if (elem == nullptr) return -ENODEV;
        // The simple mixer skips a write that matches its cached value; bring the cache up to
        // date first, or a level someone changed elsewhere would not be set back.
        snd_mixer_handle_events(handle_.get());
        return line == MixerLine::Master ? snd_mixer_selem_set_playback_volume_all(elem, value)
                                         : snd_mixer_selem_set_capture_volume_all(elem, value);
    }

    std::optional<long long> ReadControl(MixerLine line) override {
        snd_mixer_elem_t* elem = line == MixerLine::Master ? master_ : mic_;
        if (elem == nullptr) return std::nullopt;
        // Someone may have changed the level since the mixer was loaded.
        snd_mixer_handle_events(handle_.get());
        long value = 0;
        const int result =
            line == MixerLine::Master
                ? snd_mixer_selem_get_playback_volume(elem, SND_MIXER_SCHN_FRONT_LEFT, &value)
                : snd_mixer_selem_get_capture_volume(elem, SND_MIXER_SCHN_FRONT_LEFT, &value);
        if (result < 0) return std::nullopt;
        return value;
    }

    QString ErrorText() const override { return error_.trimmed(); }

private:
    void Open() {
        snd_mixer_t* raw = nullptr;
        int result = snd_mixer_open(&raw, 0);
        if (result < 0) {
            Fail("opening the mixer", result);
            return;
        }
        MixerHandle handle(raw);
        const QByteArray name = device_.toLocal8Bit();
        if ((result = snd_mixer_attach(raw, name.constData())) < 0) {
            Fail("attaching the mixer", result);
        } else if ((result = snd_mixer_selem_register(raw, nullptr, nullptr)) < 0) {
            Fail("registering the simple mixer", result);
        } else if ((result = snd_mixer_load(raw)) < 0) {
            Fail("loading the mixer", result);
        } else {
            handle_ = std::move(handle);
        }
    }

    void Fail(const char* step, int code) {
        error_ +=
            QStringLiteral("%1 %2: %3. ")
                .arg(QLatin1String(step), device_, QString::fromLocal8Bit(snd_strerror(code)));
    }

    snd_mixer_elem_t* FindMaster() const {
        for (snd_mixer_elem_t* elem = First(); elem != nullptr; elem = snd_mixer_elem_next(elem)) {
            if (IsNamed(elem, "Master") && snd_mixer_selem_has_playback_volume(elem)) return elem;
        }
        return nullptr;
    }

    snd_mixer_elem_t* FindMic() const {
        for (const char* name : std::array{"Capture", "Mic"}) {
            for (snd_mixer_elem_t* elem = First(); elem != nullptr;
                 elem = snd_mixer_elem_next(elem)) {
                if (IsNamed(elem, name) && snd_mixer_selem_has_capture_volume(elem)) return elem;
            }
        }
        return nullptr;
    }

    snd_mixer_elem_t* First() const {
        return handle_ != nullptr ? snd_mixer_first_elem(handle_.get()) : nullptr;
    }

    QString device_;
    MixerHandle handle_;
    // Owned by the handle.
    snd_mixer_elem_t* master_ = nullptr;
    snd_mixer_elem_t* mic_ = nullptr;
    QString error_;
};

}  // namespace

std::unique_ptr<MixerBackend> OpenAlsaMixer(const QString& device) {
    return std::make_unique<AlsaMixer>(device);
}

}  // namespace corvane::mixer
