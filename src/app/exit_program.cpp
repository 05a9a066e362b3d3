#include <QApplication>

#include "app/shown_report.h"
#include "app/single_instance.h"
#include "app/startup.h"
#include "engine/decoder.h"
#include "engine/desk.h"
#include "engine/engine.h"
#include "engine/media_player.h"
#include "playlist/playlist.h"
#include "settings/appdirs.h"
#include "settings/ini.h"
#include "settings/keys.h"
#include "settings/settings.h"

namespace corvane::app {

bool Startup::ExitProgram(bool confirm) {
    if (closing_) return true;
    if (confirm) {
        // Waits for the Mic Level window (src/mixer/ui): hidden while the question shows.
        if (!options_.dialogs.ask(form_.get(), QApplication::applicationName(),
                                  QLatin1String(kExitQuestion), true))
            return false;
    }
    // Song logging off and AutoPilotOn cleared: wait for the song log (src/songlog) and the
    // AutoPilot (src/autopilot).
    for (int line = 1; line <= 6; ++line) form_->Desk().Stop(line);
    for (int ap = 0; ap < 2; ++ap) engine_.AP(ap)->Stop();
    closing_ = true;
    // "ShowMic" waits for MicOpen (src/mixer/ui).
    SaveWindowPosition();
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

void Startup::SaveWindowPosition() {
    const QPoint place = form_->pos();
    ini_.WriteIni({{keys::kSection, keys::kMainTop, QString::number(ToTwips(place.y()))},
                   {keys::kSection, keys::kMainLeft, QString::number(ToTwips(place.x()))}},
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

int RunProgram(const CommandLine& commandLine) {
    SingleInstance instance(SingleInstance::NameFor(SettingsFile()));
    if (!instance.Claim()) return 0;

    IniFiles ini;
    Settings settings(ini, SettingsFile());
    Playlist playlist;

    engine::EngineOptions engineOptions;
    engineOptions.output = engine::OutputKind::Device;
    engineOptions.device = settings.GetText(keys::kAudioDevice);
    const int buffer = settings.GetInt(keys::kAudioBuffer);
    if (buffer > 0) engineOptions.bufferFrames = buffer;
    // Without a usable device the engine plays silently and says so on the status line.
    engine::Engine engine(engineOptions, engine::OpenDecoder);

    StartupOptions options;
    options.commandLine = commandLine;
    options.appFolder = AppFolder();
    Startup startup(engine, settings, ini, playlist, std::move(options));
    QObject::connect(&instance, &SingleInstance::ActivationRequested, &startup, &Startup::Activate);
    startup.Run();
    if (qEnvironmentVariableIsSet("CORVANE_EXIT_WHEN_SHOWN"))
        new ShownReport(startup.Form(), [&startup] { startup.ExitProgram(false); });
    return QApplication::exec();
}

}  // namespace corvane::app
