#pragma once

#include <QDateTime>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

#include "app/color_scheme.h"
#include "engine/key_map.h"
#include "playlist/open_dialog.h"
#include "version.h"

class QLabel;
class QMenu;

namespace corvane {
class Settings;
class SongLog;
struct Playlist;
class SongFinder;
}  // namespace corvane

namespace corvane::autopilot {
class AutoPilot;
enum class StartupFileKind;
}  // namespace corvane::autopilot

namespace corvane::audio {
class Engine;
}

namespace corvane::engine {
class CrossfaderModel;
class Desk;
class MediaPlayerLine;
}  // namespace corvane::engine

namespace corvane::appearance {
class PictureButton;
}

namespace corvane::app {

class Appearance;
class AutoPilotPanel;
class AutoPilotWiring;
class WindowWiring;
class LogWiring;
class OptionsWiring;
class BroadcastWiring;
class SeekWiring;
class RecordWiring;
class ButtonRow;
class CrossfaderPanel;
class CueButtons;
class LineStrip;
class MeterWiring;

// The modal dialogs the main window shows; tests put their own in so nothing blocks.
struct FormDialogs {
    // The path the user chose in an open dialog; empty when they cancelled.
    std::function<QString(QWidget* parent, const OpenDialogRequest& request)> chooseFile;
    // A message box with an OK button, titled with the application's name.
    std::function<void(QWidget* parent, const QString& text)> showMessage;

    static FormDialogs Standard();
};

// The main window: the mixing desk of eight line strips, the AutoPilot's panel, the
// crossfader, the button row and the status-help line. It owns the desk logic and drives the
// engine's eight players through it; the main tick Timer1, the keyboard and the pop-up menu
// live here.
class MainForm : public QWidget {
    Q_OBJECT

public:
    static constexpr char kTitlePrefix[] = "CVN v." CORVANE_VERSION " - ";
    static constexpr int kTickMs = 300;
    static constexpr int kHighPriorityTickMs = 1;

    MainForm(audio::Engine& engine, Settings& settings, Playlist& playlist,
             FormDialogs dialogs = FormDialogs::Standard(), QWidget* parent = nullptr);
    ~MainForm() override;

    // Start-up's restore of the window (Startup::LoadSettings runs them with its progress in
    // between): "StatHelp", "Priority" and "ToolTips"; the saved playlist; the stored colours.
    void LoadPreferences();
    void RestorePlaylist();
    void ApplyStoredColors();
    // Draws the window in the current scheme (Look().Colors()); windows of their own and the
    // buttons that show them follow through ColorsApplied.
    void ColorChange();
    // The colour scheme, the face and the dividing lines.
    Appearance& Look() const { return *look_; }
    const QList<QWidget*>& Dividers() const { return dividers_; }
    // Asked before the window closes; false keeps it open (the user declined to exit).
    void SetCloseHandler(std::function<bool()> handler) { closeHandler_ = std::move(handler); }
    // Timer1 runs from here on.
    void StartTimer();
    // The file named on the command line, before the settings are restored: a sound file
    // plays on line 1, a playlist becomes the AutoPilot's list and it starts playing.
    autopilot::StartupFileKind OpenStartupFile(const QString& path);

    void ToolsOn();
    void ToolsOff();
    bool HighPriority() const { return highPriority_; }
    // "Priority": Timer1 every 1 ms when high, else every 300 ms.
    void SetHighPriority(bool on);
    // The line's open dialog; a cancelled dialog leaves the line as it was.
    void FileOpen(int line);
    // Shows RCMenu at the pointer.
    void ShowMenu();
    // The main tick: time displays, clock, then the AutoPilot's step.
    void Timer1Tick();
    // A message box with an OK button, titled with the application's name.
    void ShowMessage(const QString& text) { dialogs_.showMessage(this, text); }
    // "CVN v.1.40 - " and the playlist's name.
    void UpdateTitle();

    engine::Desk& Desk() const { return *desk_; }
    engine::CrossfaderModel& CrossfaderModel() const { return *crossfader_; }
    LineStrip* Strip(int line) const { return strips_.at(line); }
    CueButtons* Cues() const { return cueButtons_; }
    AutoPilotPanel* AutoPilot() const { return autoPilot_; }
    CrossfaderPanel* CrossfaderArea() const { return crossfaderPanel_; }
    ButtonRow* Buttons() const { return buttons_; }
    QLabel* Status() const { return status_; }
    QMenu* RCMenu() const { return menu_; }
    const QTimer& Timer1() const { return timer1_; }
    autopilot::AutoPilot& Pilot() const;
    // Finds songs whose files have moved, for the AutoPilot and the Playlist Editor.
    SongFinder& Finder() const { return *finder_; }
    SongLog& Log() const;
    // The Playlist Editor, the About box and the help.
    WindowWiring& Windows() const { return *windowWiring_; }
    // The log viewer.
    LogWiring& LogViewer() const { return *logWiring_; }
    // The Options dialog.
    OptionsWiring& OptionsWindow() const { return *optionsWiring_; }
    SeekWiring& PositionBars() const { return *seekWiring_; }

    // The level meters.
    MeterWiring& Meters() const { return *meterWiring_; }
    // The recorder and its controls on the master strip.
    RecordWiring& Recording() const { return *recordWiring_; }
    // The broadcaster and its Connect button.
    BroadcastWiring& Broadcasting() const { return *broadcastWiring_; }

Q_SIGNALS:
    // After the desk took on a colour scheme; windows of their own follow it from here.
    void ColorsApplied(const corvane::app::ColorScheme& scheme);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildDesk();
    QMenu* BuildMenu();
    void ConnectDesk();
    void RunKey(const engine::KeyAction& action);
    void ApplyToolTips(bool on);
    void ApplyColors(const ColorScheme& scheme);
    bool LoadPlaylistFile(const QString& directory, const QString& fileName);

    audio::Engine& engine_;
    Settings& settings_;
    Playlist& playlist_;
    FormDialogs dialogs_;
    std::array<std::unique_ptr<engine::MediaPlayerLine>, 7> linePlayers_;  // [0] unused
    std::array<std::unique_ptr<engine::MediaPlayerLine>, 2> apPlayers_;
    std::unique_ptr<engine::CrossfaderModel> crossfader_;
    std::unique_ptr<engine::Desk> desk_;
    std::unique_ptr<SongFinder> finder_;
    std::unique_ptr<AutoPilotWiring> autoPilotWiring_;
    std::unique_ptr<WindowWiring> windowWiring_;
    std::unique_ptr<LogWiring> logWiring_;
    std::unique_ptr<OptionsWiring> optionsWiring_;
    std::unique_ptr<SeekWiring> seekWiring_;
    std::unique_ptr<MeterWiring> meterWiring_;
    std::unique_ptr<RecordWiring> recordWiring_;
    std::unique_ptr<BroadcastWiring> broadcastWiring_;
    std::unique_ptr<Appearance> look_;
    engine::KeyMap keys_;
    QTimer timer1_;
    bool highPriority_ = false;
    long long tickSecond_ = -1;  // the second tickNow_ was read in
    QDateTime tickNow_;

    std::array<LineStrip*, 8> strips_{};
    CueButtons* cueButtons_ = nullptr;
    AutoPilotPanel* autoPilot_ = nullptr;
    CrossfaderPanel* crossfaderPanel_ = nullptr;
    ButtonRow* buttons_ = nullptr;
    QLabel* status_ = nullptr;
    QMenu* menu_ = nullptr;
    QList<QWidget*> dividers_;
    std::function<bool()> closeHandler_;
};

}  // namespace corvane::app
