#include <QApplication>

#include "app/demo_set.h"
#include "app/main_form.h"
#include "engine/decoder.h"
#include "engine/engine.h"
#include "playlist/playlist.h"
#include "settings/appdirs.h"
#include "settings/ini.h"
#include "settings/settings.h"

int main(int argc, char* argv[]) {
    using namespace corvane;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setApplicationVersion(QStringLiteral("1.40"));

    IniFiles ini;
    Settings settings(ini, SettingsFile());
    Playlist playlist;

    engine::EngineOptions options;
    options.output = engine::OutputKind::Device;
    options.device = settings.GetText(keys::kAudioDevice);
    const int buffer = settings.GetInt(keys::kAudioBuffer);
    if (buffer > 0) options.bufferFrames = buffer;
    // Without a usable device the engine plays silently and says so on the status line.
    engine::Engine engine(options, engine::OpenDecoder);

    OfferDemoSet(settings, AppFolder() + QStringLiteral("/Demo"));
    app::MainForm form(engine, settings, playlist);
    form.LoadSettings();
    form.show();
    form.StartTimer();
    return app.exec();
}
