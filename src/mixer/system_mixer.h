#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "engine/line_player.h"

namespace corvane::mixer {

// The two controls of the system mixer the program drives.
enum class MixerLine { Master, Mic };

// A control's bounds as the sound system reports them; wider than ours, checked on arrival.
struct ControlBounds {
    long long minimum = 0;
    long long maximum = 0;
};

// What the system mixer talks to: ALSA in the program (alsa_mixer.h), a fake in tests.
class MixerBackend {
public:
    virtual ~MixerBackend() = default;

    // Looks the control up; nothing when the device or the control is missing.
    virtual std::optional<ControlBounds> FindControl(MixerLine line) = 0;
    // Writes an absolute value to every channel of a control found before. 0 on success,
    // otherwise the sound system's (negative) error code.
    virtual int SetControl(MixerLine line, long long value) = 0;
    // The control's current value (the first channel's); nothing when it cannot be read.
    virtual std::optional<long long> ReadControl(MixerLine line) = 0;
    // Why the device or a control could not be used; empty when all went well.
    virtual QString ErrorText() const = 0;
};

// Why there are no controls when no mixer device could be opened at all.
inline constexpr char kNoMixerDevice[] = "No mixer device could be opened.";

// The notice for controls that are missing, for the status line and the greyed controls'
// tooltips; empty when both are there.
QString MissingControlsText(bool masterAvailable, bool micAvailable);

using MixerOpener = std::function<std::unique_ptr<MixerBackend>()>;

// The master and microphone volume controls, found at start-up. Line 7 of the desk drives the
// master through the MasterVolume interface; the Mic Level window drives the microphone and
// starts from its current level.
class SystemMixer : public engine::MasterVolume {
public:
    // A null backend (no mixer could be opened) leaves both controls unavailable. `reopen`,
    // when given, opens the mixer anew for Retry.
    explicit SystemMixer(std::unique_ptr<MixerBackend> backend, MixerOpener reopen = {});
    ~SystemMixer() override;

    // Looks up both controls with their bounds. False when the master control is missing; a
    // missing microphone alone is silent.
    bool InitMixer();
    // A control is missing: opens the mixer again (a sound server may have started since) and
    // takes the new one when it has more controls. True when a control became available.
    bool Retry();

    bool MasterVolumeAvailable() const { return master_.has_value(); }
    bool MicVolumeAvailable() const { return mic_.has_value(); }

    // engine::MasterVolume, for line 7.
    bool Available() const override { return MasterVolumeAvailable(); }
    int Minimum() const override;
    int Range() const override;
    void SetRaw(int value) override;

    // The Mic window's slider (0 to 100), scaled onto the microphone control's own range.
    void SetMicLevel(int sliderValue);
    // The slider position last written or read; kept for the run only, 0 at first.
    int MicLevelValue() const { return micLevelValue_; }
    // The microphone's current level as a slider position (0 to 100), read from the system;
    // MicLevelValue when it cannot be read. Writes nothing.
    int ReadMicLevel();
    int MicMinimum() const;
    int MicRange() const;

    // The sound system's code of the last write (0 = success).
    int MixerResult() const { return mixerResult_; }
    // What went wrong while initialising, for the debug message; empty when nothing did.
    QString ErrorText() const;

private:
    // Bounds that fit the desk's 32-bit arithmetic, maximum above minimum.
    struct Control {
        int minimum = 0;
        int range = 0;
    };
    std::optional<Control> Find(MixerLine line);
    void Write(MixerLine line, const std::optional<Control>& control, int value);

    std::unique_ptr<MixerBackend> backend_;
    MixerOpener reopen_;
    std::optional<Control> master_;
    std::optional<Control> mic_;
    int micLevelValue_ = 0;
    int mixerResult_ = 0;
    QString rangeError_;
};

}  // namespace corvane::mixer
