#pragma once

#include <QObject>
#include <QPointer>

#include "app/color_scheme.h"
#include "app/mixer_notice.h"

namespace corvane {
class Settings;
}

namespace corvane::engine {
class Desk;
}

namespace corvane::mixer {
class MicLevel;
class SystemMixer;
}  // namespace corvane::mixer

namespace corvane::app {

class MainForm;

// The start-up step of the system mixer: finds its controls and hands the master to line 7.
// Must run before the desk restores line 7's slider. True when the master control is there.
bool AttachMixer(mixer::SystemMixer& mixer, engine::Desk& desk);

// The Mic Level window's side of the main window: MicButt and the menu's "Mic Level" open it,
// MicButt is highlighted while it is open, and it follows colour changes; the notice shows
// which of the mixer's controls are missing. Make it before the main window's settings load,
// so it sees the scheme that load applies.
class MicWiring : public QObject {
    Q_OBJECT

public:
    MicWiring(MainForm& form, mixer::SystemMixer& mixer, Settings& settings);

    // Opens the window, or raises it when it is open already. Without a microphone control
    // the mixer is opened again first; when it is still missing the window never shows.
    void OpenMic();
    // Reopens the window at start-up when it was open at the last exit ("ShowMic").
    void RestoreAtStart();
    // MicOpen: true while the window is open.
    bool MicOpen() const { return !window_.isNull(); }
    mixer::MicLevel* Window() const;
    MixerNotice& Notice() { return notice_; }

private:
    void Colors(const ColorScheme& scheme);
    void Unloaded();

    MainForm& form_;
    mixer::SystemMixer& mixer_;
    Settings& settings_;
    // The desk's scheme as last applied (a face may have replaced the stored one).
    ColorScheme scheme_;
    QPointer<mixer::MicLevel> window_;
    MixerNotice notice_;
};

}  // namespace corvane::app
