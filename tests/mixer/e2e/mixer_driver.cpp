// Drives line 7 and the Mic window of the real main window over ALSA's default mixer, one
// action per run, for mixer_pulse.sh to check with pactl:
//   slider N      line 7's slider to N
//   mute          line 7's mute label pressed and held
//   reassert N    slider to N, the sink changed behind our back, slider to N again
//   mic N         Mic window opened with MicButt, its slider to N
//   micopen       Mic window opened with MicButt, where its slider starts
//   late N        started without a mixer; once the file $CORVANE_E2E_GO exists, line 7's
//                 slider is pressed and set to N
// Every message box is printed as "box: <title>: <text>" instead of shown, and the status line
// as "status: <text>".
#include <QApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <cstdio>

#include "app/desk_label.h"
#include "app/desk_panels.h"
#include "app/line_strip.h"
#include "app/main_form.h"
#include "app/mic_wiring.h"
#include "app/startup.h"
#include "appearance/ui/butt.h"
#include "appearance/ui/minislider.h"
#include "audio/decoder.h"
#include "audio/engine.h"
#include "engine/desk.h"
#include "mixer/alsa_mixer.h"
#include "mixer/system_mixer.h"
#include "mixer/ui/mic_level.h"
#include "playlist/playlist.h"
#include "settings/ini.h"
#include "settings/settings.h"

namespace {

using namespace corvane;

void Print(const QString& line) {
    std::printf("%s\n", line.toLocal8Bit().constData());
    std::fflush(stdout);
}

int Usage() {
    Print(QStringLiteral(
        "usage: corvane-e2e-mixer slider N | mute | reassert N | mic N | micopen | late N"));
    return 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) return Usage();
    const QString action = args[0];
    bool numberOk = false;
    const int value = args.value(1).toInt(&numberOk);
    if (action != QLatin1String("mute") && action != QLatin1String("micopen") && !numberOk)
        return Usage();

    QTemporaryDir dir;
    IniFiles ini;
    Settings settings(ini, dir.filePath(QStringLiteral("Corvane.ini")),
                      keys::DefaultFolders{dir.path() + QLatin1Char('/'), dir.path()});
    Playlist playlist;
    audio::EngineOptions options;
    options.output = audio::OutputKind::Null;
    audio::Engine engine(options, audio::OpenDecoder);
    mixer::SystemMixer systemMixer(mixer::OpenAlsaMixer(), [] { return mixer::OpenAlsaMixer(); });

    // The program's own start-up, with the system mixer as main() gives it.
    app::StartupOptions startupOptions;
    startupOptions.commandLine.debug = true;
    startupOptions.mixer = &systemMixer;
    startupOptions.dialogs.note = [](QWidget*, const QString& title, const QString& text) {
        Print(QStringLiteral("box: %1: %2").arg(title, text));
    };
    startupOptions.dialogs.ask = [](QWidget*, const QString&, const QString&, bool) {
        return false;
    };
    startupOptions.dialogs.tell = startupOptions.dialogs.note;
    startupOptions.formDialogs.chooseFile = [](QWidget*, const OpenDialogRequest&) {
        return QString();
    };
    startupOptions.formDialogs.showMessage = [](QWidget*, const QString& text) {
        Print(QStringLiteral("box: ") + text);
    };
    startupOptions.endProgram = [] {};
    app::Startup startup(engine, settings, ini, playlist, std::move(startupOptions));
    app::MainForm& form = startup.Run();
    app::MicWiring& mic = *startup.Mic();
    Print(QStringLiteral("status: ") + form.Status()->text());
    Print(QString::asprintf("master=%d range=%d min=%d mic=%d micrange=%d micmin=%d",
                            systemMixer.Available(), systemMixer.Range(), systemMixer.Minimum(),
                            systemMixer.MicVolumeAvailable(), systemMixer.MicRange(),
                            systemMixer.MicMinimum()));

    app::LineStrip* line7 = form.Strip(engine::Desk::kMasterLine);
    if (action == QLatin1String("slider")) {
        line7->Slider()->SetValue(value);
    } else if (action == QLatin1String("mute")) {
        QTest::mousePress(line7->Mute(), Qt::LeftButton);
    } else if (action == QLatin1String("reassert")) {
        line7->Slider()->SetValue(value);
        QProcess::execute(QStringLiteral("pactl"),
                          {QStringLiteral("set-sink-volume"), QStringLiteral("@DEFAULT_SINK@"),
                           QStringLiteral("100%")});
        // Let the sound server's change notice arrive.
        QThread::msleep(300);
        line7->Slider()->SetValue(value);
    } else if (action == QLatin1String("mic") || action == QLatin1String("micopen")) {
        QTest::mouseClick(form.Buttons()->Button(app::ButtonRow::MicButt), Qt::LeftButton);
        if (mic.Window() == nullptr) {
            Print(QStringLiteral("no mic window"));
        } else if (action == QLatin1String("mic")) {
            mic.Window()->MicSlider()->SetValue(value);
        } else {
            Print(QStringLiteral("micslider=%1").arg(mic.Window()->MicSlider()->Value()));
        }
    } else if (action == QLatin1String("late")) {
        const QString go = qEnvironmentVariable("CORVANE_E2E_GO");
        Print(QStringLiteral("waiting"));
        const QDeadlineTimer deadline(20000);
        while (!QFileInfo::exists(go) && !deadline.hasExpired()) QThread::msleep(50);
        QTest::mousePress(line7->Slider(), Qt::LeftButton);
        line7->Slider()->SetValue(value);
        QTest::mouseRelease(line7->Slider(), Qt::LeftButton);
        Print(QStringLiteral("after master=%1 status: %2")
                  .arg(systemMixer.Available())
                  .arg(form.Status()->text()));
    } else {
        return Usage();
    }
    Print(QStringLiteral("done result=%1").arg(systemMixer.MixerResult()));
    return 0;
}
