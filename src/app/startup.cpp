#include "app/startup.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <cmath>
#include <cstdio>
#include <exception>
#include <optional>

#include "app/appearance_wiring.h"
#include "app/demo_set.h"
#include "app/first_paint.h"
#include "app/program_icon.h"
#include "app/splash.h"
#include "appearance/ui/units.h"
#include "audio/engine.h"
#include "autopilot/autopilot.h"
#include "engine/desk.h"
#include "mixer/system_mixer.h"
#include "playlist/playlist.h"
#include "settings/convert.h"
#include "settings/ini.h"
#include "settings/keys.h"
#include "settings/settings.h"
#include "settings/upgrade_import.h"
#include "songlog/songlog.h"

namespace corvane::app {

namespace {

const QString kMainPlace = QStringLiteral("Main");
const QString kDefaultsPlace = QStringLiteral("Get Defaults");

// The keys of the settings load that must hold a number or a Boolean.
struct TypedKey {
    QString key;
    bool boolean;
};

QList<TypedKey> LineKeys(int line) {
    QList<TypedKey> keys{{keys::SliderKey(line), false}};
    if (line >= 1 && line <= 6) keys.append({keys::LoopKey(line), true});
    if (line <= 6) keys.append({keys::FadeModeKey(line), false});
    return keys;
}

}  // namespace

StartupDialogs StartupDialogs::Standard() {
    StartupDialogs dialogs;
    dialogs.ask = [](QWidget* parent, const QString& title, const QString& text, bool icon) {
        QMessageBox box(icon ? QMessageBox::Question : QMessageBox::NoIcon, title, text,
                        QMessageBox::Yes | QMessageBox::No, parent);
        return box.exec() == QMessageBox::Yes;
    };
    dialogs.tell = [](QWidget* parent, const QString& title, const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
        box.exec();
    };
    dialogs.note = [](QWidget* parent, const QString& title, const QString& text) {
        auto* box = new QMessageBox(QMessageBox::Critical, title, text, QMessageBox::Ok, parent);
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->setModal(false);
        box->show();
    };
    return dialogs;
}

Startup::Startup(audio::Engine& engine, Settings& settings, IniFiles& ini, Playlist& playlist,
                 StartupOptions options, QObject* parent)
    : QObject(parent),
      engine_(engine),
      settings_(settings),
      ini_(ini),
      playlist_(playlist),
      options_(std::move(options)) {
    // A settings file we cannot read whole is kept aside before it is first rewritten.
    ini_.RepairWithBackup(settings_.File());
}

Startup::~Startup() {
    settings_.SetWriteFailureNotice({});
    if (splash_) delete splash_.data();
    mic_.reset();
}

Splash* Startup::SP2() const { return splash_.data(); }

void Startup::Yield() {
    // Start-up does its work in one go; the splash is painted at once so it shows progress,
    // at most once a frame: painting it at every step cost the start about 5 ms.
    if (!splash_ || !splash_->isVisible()) return;
    if (splashPainted_.isValid() && splashPainted_.elapsed() < kSplashFrameMs) return;
    splash_->repaint();
    splashPainted_.start();
}

void Startup::ReportError(const QString& place, const QString& text) {
    if (!debugMode_) return;
    const QString title = QLatin1String(kDebugTitle) + place;
    std::fprintf(stderr, "%s: %s\n", qUtf8Printable(title), qUtf8Printable(text));
    std::fflush(stderr);
    if (options_.dialogs.note) options_.dialogs.note(form_.get(), title, text);
}

void Startup::CheckStored(const QString& key, bool boolean) {
    const QString stored = settings_.GetPref(key, QString());
    if (stored.isEmpty()) return;
    const bool converts = boolean ? TextToBool(stored).has_value() : TextToInt(stored).has_value();
    if (!converts)
        ReportError(kDefaultsPlace, QStringLiteral("Type mismatch: \"%1\" holds \"%2\"; the "
                                                   "default is used.")
                                        .arg(key, stored));
}

MainForm& Startup::Run() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    splash_ = new Splash;
    Q_EMIT SplashShown(splash_);
    splash_->SetAction(QStringLiteral("Initializing..."));
    splash_->SetStat(100);
    splash_->show();
    Yield();

    // Nothing but a lone "/d" (or --debug) turns the messages on.
    debugMode_ = options_.commandLine.debug;

    // The main window, loaded with its input off.
    closing_ = false;
    try {
        form_ = std::make_unique<MainForm>(engine_, settings_, playlist_, options_.formDialogs);
    } catch (const std::exception& error) {
        // Without its window the program cannot go on.
        ReportError(kMainPlace, QString::fromLocal8Bit(error.what()));
        throw;
    }
    // A settings write that fails says so on the status line, once until one succeeds.
    settings_.SetWriteFailureNotice(
        [desk = &form_->Desk()](const QString& message) { desk->SetStatus(message); });
    form_->setWindowIcon(ProgramIcon());
    form_->setEnabled(false);
    form_->SetCloseHandler([this] { return MainFormClosing(); });

    firstStart_ = !settings_.Has(QLatin1String(kFirstStartKey));
    if (firstStart_) {
        Yield();
        UpgradeImport();
        if (!options_.appFolder.isEmpty())
            OfferDemoSet(settings_, options_.appFolder + QStringLiteral("/Demo"));
        if (!settings_.SavePref(QLatin1String(kFirstStartKey), true))
            ReportError(
                kMainPlace,
                QStringLiteral("The settings file %1 could not be written.").arg(settings_.File()));
    }

    // The command-line file: a sound file plays on line 1, a playlist goes to the AutoPilot.
    const autopilot::StartupFileKind kind = form_->OpenStartupFile(options_.commandLine.path);
    line1FromCommandLine_ = kind == autopilot::StartupFileKind::SoundFile;
    playlistFromCommandLine_ = kind == autopilot::StartupFileKind::Playlist;

    // The system mixer, before line 7's slider is restored. A missing one is a notice on the
    // status line: an unattended start must not wait for anyone.
    if (options_.mixer != nullptr) {
        AttachMixer(*options_.mixer, form_->Desk());
        const QString error = options_.mixer->ErrorText();
        if (!error.isEmpty()) ReportError(QStringLiteral("Init Mixer"), error);
        mic_ = std::make_unique<MicWiring>(*form_, *options_.mixer, settings_);
        mic_->Notice().Show();
    }

    splash_->SetStat(320);
    Yield();
    LoadSettings();
    splash_->SetStat(2200);

    splash_->SetAction(QStringLiteral("Changing Colors..."));
    Yield();
    form_->ApplyStoredColors();
    splash_->SetStat(2300);
    Yield();

    // The slider pictures over the face's background.
    form_->Look().PlacePictures();
    QGuiApplication::changeOverrideCursor(Qt::BusyCursor);

    // The AutoPilot's first next song shows before anything is pressed.
    if (form_->Pilot().NextSongPath().isEmpty()) form_->Pilot().ChooseNextSong();
    // The Options and Playlist Editor windows are made only when opened.

    splash_->SetAction(QStringLiteral("Preparing to show..."));
    splash_->SetStat(2595);
    Yield();

    // The Mic Level window, when it was open at the last exit and the microphone is there.
    CheckStored(keys::kShowMic, true);
    if (mic_) mic_->RestoreAtStart();

    // The sound device and the lines' remembered files are opened once the window is on
    // the screen: six players probing their files would share the two cores with the first
    // paint.
    delete splash_.data();
    new FirstPaint(form_.get(), [this] {
        engine_.OpenDevice();
        for (int line = 0; line < engine::Desk::kLineCount; ++line)
            form_->Desk().OpenRememberedFile(line, line1FromCommandLine_);
    });
    form_->show();
    form_->setEnabled(true);

    QGuiApplication::restoreOverrideCursor();
    form_->StartTimer();
    return *form_;
}

void Startup::LoadSettings() {
    // The song log's "LogFile", "LogAll", "LogPath" and "Logging", read again here: the
    // import may have written them since the log was made.
    for (const QLatin1String key : {keys::kLogAll, keys::kLogPath, keys::kLogging})
        CheckStored(key, true);
    form_->Log().SetOptions(LogSettings::FromSettings(settings_));
    for (const QLatin1String key : {keys::kStatHelp, keys::kPriority}) CheckStored(key, false);
    CheckStored(keys::kToolTips, true);
    form_->LoadPreferences();

    splash_->SetAction(QStringLiteral("Opening Files..."));
    splash_->SetStat(500);
    Yield();
    for (int line = 0; line < engine::Desk::kLineCount; ++line) {
        for (const TypedKey& typed : LineKeys(line)) CheckStored(typed.key, typed.boolean);
        form_->Desk().RestoreLineSettings(line);
        splash_->SetStat(splash_->Stat() + 100);
        Yield();
    }

    // The colour scheme (applied once the settings are read) and the crossfader's speed.
    splash_->SetAction(QStringLiteral("Getting Settings..."));
    Yield();
    for (const QLatin1String key : {keys::kTextColor, keys::kLedColor, keys::kLineColor,
                                    keys::kBackColor, keys::kHiliteColor, keys::kFadeSpeed})
        CheckStored(key, false);
    form_->Look().ReadStoredColors();
    splash_->SetStat(1400);
    Yield();

    // "Path" is read by each open dialog; the AutoPilot read "NoRep",
    // "FadeSeconds", "SpinUp" and "Random" when it was made; "Remain", "ASOF", "AutoReset" and
    // "Loop 0" belong to the desk, which hands "Loop 0" on to the AutoPilot.
    playlist_.ListDir = WithBackslash(settings_.GetText(keys::kListPath));
    for (const QLatin1String key : {keys::kNoRep, keys::kFadeSeconds, keys::kSpinUp})
        CheckStored(key, false);
    splash_->SetStat(1600);
    Yield();
    for (const QLatin1String key : {keys::kRemain, keys::kAsof, keys::kAutoReset, keys::kRandom})
        CheckStored(key, true);
    splash_->SetStat(1700);
    Yield();
    CheckStored(keys::LoopKey(engine::Desk::kAutoPilotLine), true);
    form_->Desk().RestoreAfterLines();

    // The playlist, unless the command line gave one.
    splash_->SetAction(QStringLiteral("Opening Playlist..."));
    splash_->SetStat(1850);
    Yield();
    // A playlist from the command line is loaded already and only needs showing on line 0.
    if (playlistFromCommandLine_) {
        form_->Pilot().ReloadSavedPlaylist();
    } else {
        form_->RestorePlaylist();
    }

    // "Show Lines", the face named by "Face", and the face itself when "BackPic".
    if (settings_.GetBool(keys::kBackPic)) {
        splash_->SetAction(QStringLiteral("Loading Face..."));
        splash_->SetStat(1900);
        Yield();
    }
    form_->Look().RestoreFace();
    CheckStored(keys::kShowLines, true);
    CheckStored(keys::kBackPic, true);

    splash_->SetStat(2000);
    splash_->SetAction(QStringLiteral("Showing Main Window..."));
    Yield();
    RestoreWindowPosition();
    Yield();
}

void Startup::RestoreWindowPosition() {
    form_->adjustSize();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect desk = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    const QSize frame = form_->frameGeometry().size();
    const QPoint centred((desk.width() - frame.width()) / 2 + desk.x(),
                         (desk.height() - frame.height()) / 2 + desk.y());
    QPoint place = centred;
    const auto stored = [this](QLatin1String key) -> std::optional<double> {
        return TextToDouble(settings_.GetPref(key, QString()));
    };
    const std::optional<double> top = stored(keys::kMainTop);
    const std::optional<double> left = stored(keys::kMainLeft);
    if (top) place.setY(appearance::RoundTwipsToPixels(*top));
    if (left) place.setX(appearance::RoundTwipsToPixels(*left));
    // A place on a screen that is no longer there, or with too little of the window left on
    // any screen to grab it, would hide the window: centre it on the primary screen instead.
    constexpr int kMinVisible = 50;
    const QRect window(place, frame);
    bool reachable = QGuiApplication::screens().isEmpty();
    for (const QScreen* each : QGuiApplication::screens()) {
        const QRect seen = each->geometry().intersected(window);
        reachable = reachable || (seen.width() >= kMinVisible && seen.height() >= kMinVisible);
    }
    if (!reachable) place = centred;
    form_->move(place);
}

void Startup::UpgradeImport() {
    const auto ask = [this] {
        if (splash_) splash_->hide();
        return options_.dialogs.ask(nullptr, QLatin1String(kUpgradeTitle),
                                    QLatin1String(kUpgradeQuestion), false);
    };
    const UpgradeResult result = corvane::UpgradeImport(settings_, ini_, options_.appFolder, ask);
    if (result == UpgradeResult::Imported)
        options_.dialogs.tell(nullptr, QApplication::applicationName(),
                              QLatin1String(kUpgradeDone));
    if (result == UpgradeResult::Failed)
        ReportError(kMainPlace, QStringLiteral("The old settings could not be imported into %1.")
                                    .arg(settings_.File()));
    if (splash_ && result != UpgradeResult::NothingToImport) splash_->show();
}

void Startup::Activate() {
    if (!form_) return;
    if (form_->isMinimized()) form_->showNormal();
    form_->show();
    form_->raise();
    form_->activateWindow();
}

}  // namespace corvane::app
