#pragma once

#include <QObject>
#include <QPointer>

#include "app/color_scheme.h"
#include "app/headphone_wiring.h"
#include "options/ui/options_dialog.h"

namespace corvane {
class Settings;
}

namespace corvane::audio {
class Engine;
}

namespace corvane::app {

class MainForm;

// The Options dialog on the main window: Options1 and the menu's "mnuOps" open it on
// "&General", the log viewer's "&Options" on "&Logging" alone; Options1 shows in "Hilite Color"
// while it is open. The dialog's changes reach the window, the crossfader, the AutoPilot, the
// face and the engine through here.
class OptionsWiring : public QObject, public options::OptionsHost {
    Q_OBJECT

public:
    OptionsWiring(MainForm& form, audio::Engine& engine, Settings& settings);
    ~OptionsWiring() override;

    // Opens the dialog (application-modal), or raises it when it is open already.
    void Open(bool allTabs = true);
    // OptionsOpen: true while the dialog is loaded.
    bool OptionsOpen() const { return !dialog_.isNull(); }
    options::Options* Dialog() const { return dialog_.data(); }
    void SetLogFileChooser(options::ChooseLogFile choose) { chooseLogFile_ = std::move(choose); }

    // OptionsHost
    int FadeSpeed() const override;
    void SetFadeSpeed(int speed) override;
    void SetMusicFolder(const QString& folder) override;
    void SetLimiter(bool on) override;
    void SetRemain(bool on) override;
    bool AutoStop() const override;
    void SetAutoStop(bool on) override;
    bool AutoReset() const override;
    void SetAutoReset(bool on) override;
    LogSettings LogOptions() const override;
    void SetLogOptions(const LogSettings& options) override;
    bool StatusHelpShown() const override;
    void ShowStatusHelp(bool on) override;
    void SetToolTips(bool on) override;
    bool HighPriority() const override;
    void SetHighPriority(bool on) override;
    void SetNumber(const options::NumberField& field, int value) override;
    appearance::SchemeColors Colors() const override;
    void SetColors(const appearance::SchemeColors& colors) override;
    bool LinesVisible() const override;
    void ShowLines(bool on) override;
    QStringList FaceNames() const override;
    void ChooseFace(const QString& name) override;
    void LoadFace(bool on) override;
    void SaveColors(QWidget* parent) override;
    QStringList OutputDevices() const override;
    int AudioRate() const override;
    int AudioBufferFrames() const override;
    void SetAudioOutput(const QString& device, int bufferFrames,
                        std::function<void()> done) override;
    long long Underruns() const override;
    options::HeadphoneHost* Headphones() override { return &headphones_; }

private:
    void Light(bool lit);

    MainForm& form_;
    audio::Engine& engine_;
    Settings& settings_;
    options::ChooseLogFile chooseLogFile_;
    ColorScheme scheme_;
    QPointer<options::Options> dialog_;
    HeadphoneWiring headphones_{engine_};
};

}  // namespace corvane::app
