#include <QApplication>

#include "app/headphone_wiring.h"
#include "app/remote_wiring.h"
#include "app/shown_report.h"
#include "app/single_instance.h"
#include "app/startup.h"
#include "app/stats_report.h"
#include "app/window_wiring.h"
#include "appearance/ui/units.h"
#include "audio/decoder.h"
#include "audio/engine.h"
#include "audio/media_player.h"
#include "autopilot/autopilot.h"
#include "engine/desk.h"
#include "mixer/alsa_mixer.h"
#include "mixer/background_open.h"
#include "mixer/system_mixer.h"
#include "mixer/ui/mic_level.h"
#include "playlist/list_editing.h"
#include "playlist/playlist.h"
#include "playlist/ui/list_editor.h"
#include "remote/forward_request.h"
#include "settings/appdirs.h"
#include "settings/convert.h"
#include "settings/ini.h"
#include "settings/keys.h"
#include "settings/settings.h"
#include "songlog/songlog.h"

namespace corvane::app {

bool Startup::ExitProgram(bool confirm) {
    if (closing_) return true;
    QWidget* mic = mic_ && mic_->MicOpen() ? static_cast<QWidget*>(mic_->Window()) : nullptr;
    if (confirm) {
        // The Mic window stays on top: out of the question's way.
        if (mic != nullptr) mic->hide();
        const bool yes = options_.dialogs.ask(form_.get(), QApplication::applicationName(),
                                              QLatin1String(kExitQuestion), true);
        if (mic != nullptr) mic->show();
        if (!yes) return false;
    }
    // Unsaved edits in the Playlist Editor are settled before anything stops: Cancel to its
    // "Save Changes to …?" declines the exit, which would otherwise end with the list unsaved.
    WindowWiring& windows = form_->Windows();
    if (windows.EditorOpen() && !windows.Editor().Editing().MayClose()) return false;
    // Songs that started in the last half second are written now rather than lost; nothing
    // starts after this, so nothing more is logged.
    if (form_->Log().PendingCount() > 0) form_->Log().LogTimer_Timer();
    for (int line = 1; line <= 6; ++line) form_->Desk().Stop(line);
    for (int ap = 0; ap < 2; ++ap) engine_.AP(ap)->Stop();
    form_->Pilot().AutoPilotStopped();
    closing_ = true;
    SaveWindowPosition(mic != nullptr);
    UnloadWindows();
    if (options_.endProgram) {
        options_.endProgram();
    } else {
        QCoreApplication::quit();
    }
    return true;
}

bool Startup::MainFormClosing() {
    // Closed by the exit sequence itself, or by the user: then it asks first.
    return closing_ || ExitProgram(true);
}

void Startup::SaveWindowPosition(bool micOpen) {
    const QPoint place = form_->pos();
    ini_.WriteIni(
        {{keys::kSection, keys::kShowMic, BoolToText(micOpen)},
         {keys::kSection, keys::kMainTop, QString::number(appearance::PixelsToTwips(place.y()))},
         {keys::kSection, keys::kMainLeft, QString::number(appearance::PixelsToTwips(place.x()))}},
        settings_.File());
}

void Startup::UnloadWindows() {
    // The other windows first, the main window last.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
        if (window != form_.get() && window->isVisible()) window->close();
    }
    form_->close();
}

std::optional<int> HandToRunning(SingleInstance& instance, const CommandLine& commandLine) {
    // A later start hands its files to the running program, or says why it cannot.
    const remote::ForwardRequest request = remote::PrepareForward(commandLine.paths);
    if (instance.Lock(request.error.isEmpty() ? request.message : QByteArray())) return {};
    return EndLaterStart(request, !commandLine.paths.isEmpty(), instance.Delivered());
}

int RunProgram(const CommandLine& commandLine, SingleInstance& instance) {
    instance.Listen();

    // The system mixer opens while the splash and the main window are made; it is opened
    // again when line 7 or the Mic window is used while a control is missing.
    mixer::SystemMixer mixer(mixer::OpenInBackground([] { return mixer::OpenAlsaMixer(); }),
                             [] { return mixer::OpenAlsaMixer(); });
    IniFiles ini;
    Settings settings(ini, SettingsFile());
    Playlist playlist;

    audio::EngineOptions engineOptions;
    engineOptions.output = audio::OutputKind::Device;
    engineOptions.device = settings.GetText(keys::kAudioDevice);
    const int buffer = settings.GetInt(keys::kAudioBuffer);
    if (buffer > 0) engineOptions.bufferFrames = buffer;
    engineOptions.deviceOnRequest = true;  // opened once the window has shown
    HeadphoneWiring::Read(settings, &engineOptions);
    // Without a usable device the engine plays silently and says so on the status line.
    audio::Engine engine(engineOptions, audio::OpenDecoder);

    StartupOptions options;
    options.mixer = &mixer;
    options.commandLine = commandLine;
    options.appFolder = AppFolder();
    Startup startup(engine, settings, ini, playlist, std::move(options));
    QObject::connect(&instance, &SingleInstance::ActivationRequested, &startup, &Startup::Activate);
    // Files handed over while a start-up question was open wait for the window.
    QStringList early = commandLine.paths.mid(1);
    const QMetaObject::Connection waiting =
        QObject::connect(&instance, &SingleInstance::PathsReceived,
                         [&early](const QStringList& paths) { early += paths; });
    startup.Run();
    QObject::disconnect(waiting);
    RemoteWiring remote(startup, engine, playlist);
    QObject::connect(&instance, &SingleInstance::PathsReceived, &remote, &RemoteWiring::OpenPaths);
    remote.Start(early);
    if (qEnvironmentVariableIsSet("CORVANE_EXIT_WHEN_SHOWN"))
        new ShownReport(startup.Form(), [&startup] { startup.ExitProgram(false); });
    if (const int every = qEnvironmentVariableIntValue("CORVANE_STATS_MS"); every > 0)
        new StatsReport(engine, every, &startup);
    return QApplication::exec();
}

}  // namespace corvane::app
