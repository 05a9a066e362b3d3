#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "app/main_form.h"
#include "app/mic_wiring.h"
#include "settings/command_line.h"

class QWidget;

namespace corvane {
class IniFiles;
class Settings;
struct Playlist;
}  // namespace corvane

namespace corvane::audio {
class Engine;
}

namespace corvane::mixer {
class SystemMixer;
}

namespace corvane::app {

class Splash;

// The message boxes of start-up and exit; tests put in their own so nothing blocks.
struct StartupDialogs {
    // A Yes/No question; true for Yes. `questionIcon` adds the question mark.
    std::function<bool(QWidget* parent, const QString& title, const QString& text,
                       bool questionIcon)>
        ask;
    // A message with an OK button.
    std::function<void(QWidget* parent, const QString& title, const QString& text)> tell;
    // A message that does not wait for its OK: start-up goes on while it shows.
    std::function<void(QWidget* parent, const QString& title, const QString& text)> note;

    static StartupDialogs Standard();
};

// What start-up is given besides the program's parts.
struct StartupOptions {
    CommandLine commandLine;
    QString appFolder;  // read-only program data: the faces, the demo set
    StartupDialogs dialogs = StartupDialogs::Standard();
    FormDialogs formDialogs = FormDialogs::Standard();
    // Ends the program once the exit sequence is done; null quits the application's loop.
    std::function<void()> endProgram;
    // The system mixer behind line 7 and the Mic Level window; null leaves both out.
    mixer::SystemMixer* mixer = nullptr;
};

// The program from its start to its end: the entry sequence with the splash, the settings
// load that restores the whole desk, the one-time import of 1.30's settings, and the one exit
// sequence every way of leaving goes through. It owns the main window.
class Startup : public QObject {
    Q_OBJECT

public:
    static constexpr char kFirstStartKey[] = "Installed";
    static constexpr char kExitQuestion[] = "Are you sure you want to exit Corvane?";
    static constexpr char kDebugTitle[] = "Debug Error Message - ";

    Startup(audio::Engine& engine, Settings& settings, IniFiles& ini, Playlist& playlist,
            StartupOptions options, QObject* parent = nullptr);
    ~Startup() override;

    // The entry sequence from the splash to the running main tick. The single-instance check
    // comes before, in main().
    MainForm& Run();
    // Restores every line, the colours, the options, the playlist, the face and the window's
    // place from the settings.
    void LoadSettings();
    // The one-time import of 1.30's settings (first start only).
    void UpgradeImport();
    // The one exit: false when the user declined (everything keeps running); otherwise the
    // players are stopped, the window positions saved, every window closed and the program
    // ended.
    bool ExitProgram(bool confirm);

    // Brings the main window to the front (a second start asked for it).
    void Activate();

    bool DebugMode() const { return debugMode_; }
    bool Closing() const { return closing_; }
    bool FirstStart() const { return firstStart_; }
    MainForm* Form() const { return form_.get(); }
    MicWiring* Mic() const { return mic_.get(); }
    Splash* SP2() const;

Q_SIGNALS:
    // The splash was made, before it shows its first text.
    void SplashShown(corvane::app::Splash* splash);

public:
private:
    void Yield();
    // With the debug switch on: the error's text on stderr and in a box titled after the
    // place that does not hold up the start.
    void ReportError(const QString& place, const QString& text);
    // A stored value that should be a number or a Boolean and is not.
    void CheckStored(const QString& key, bool boolean);
    void RestoreWindowPosition();
    void SaveWindowPosition(bool micOpen);
    void UnloadWindows();
    bool MainFormClosing();

    audio::Engine& engine_;
    Settings& settings_;
    IniFiles& ini_;
    Playlist& playlist_;
    StartupOptions options_;
    std::unique_ptr<MainForm> form_;
    std::unique_ptr<MicWiring> mic_;
    QPointer<Splash> splash_;
    static constexpr int kSplashFrameMs = 16;
    QElapsedTimer splashPainted_;
    bool debugMode_ = false;
    bool closing_ = false;
    bool firstStart_ = false;
    bool line1FromCommandLine_ = false;
    bool playlistFromCommandLine_ = false;
};

class SingleInstance;

// Before the application object: the program already running gets the command line's files
// (the exit status is returned), or `instance` holds the lock.
std::optional<int> HandToRunning(SingleInstance& instance, const CommandLine& commandLine);
// main()'s work after that: the entry sequence and the event loop. Returns the exit code.
int RunProgram(const CommandLine& commandLine, SingleInstance& instance);

}  // namespace corvane::app
