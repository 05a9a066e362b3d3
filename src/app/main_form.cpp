#include "app/main_form.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/appearance_wiring.h"
#include "app/autopilot_wiring.h"
#include "app/broadcast_wiring.h"
#include "app/cue_button.h"
#include "app/desk_label.h"
#include "app/desk_panels.h"
#include "app/line_strip.h"
#include "app/log_wiring.h"
#include "app/meter_wiring.h"
#include "app/options_wiring.h"
#include "app/record_wiring.h"
#include "app/seek_wiring.h"
#include "app/window_wiring.h"
#include "appearance/face.h"
#include "appearance/ui/butt.h"
#include "appearance/ui/picturebutton.h"
#include "audio/engine.h"
#include "audio/media_player.h"
#include "autopilot/autopilot.h"
#include "engine/crossfader.h"
#include "engine/desk.h"
#include "engine/media_player_line.h"
#include "engine/overview_cache.h"
#include "engine/tick_texts.h"
#include "playlist/playlist.h"
#include "playlist/song_finder.h"
#include "settings/appdirs.h"
#include "settings/settings.h"

namespace corvane::app {

using engine::DeskAction;

namespace {

QWidget* Divider(QWidget* parent, Qt::Orientation orientation) {
    auto* line = new QWidget(parent);
    line->setAutoFillBackground(true);
    if (orientation == Qt::Vertical) {
        line->setFixedWidth(1);
    } else {
        line->setFixedHeight(1);
    }
    return line;
}

// Takes back a button's pressed look without running its action.
void Disarm(appearance::PictureButton* button) {
    if (button == nullptr) return;
    const QSignalBlocker quiet(button);
    button->Release();
}

}  // namespace

FormDialogs FormDialogs::Standard() {
    FormDialogs dialogs;
    dialogs.chooseFile = [](QWidget* parent, const OpenDialogRequest& request) {
        return QFileDialog::getOpenFileName(parent, request.title, request.folder,
                                            request.nameFilters.join(QStringLiteral(";;")));
    };
    dialogs.showMessage = [](QWidget* parent, const QString& text) {
        QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Corvane"), text, QMessageBox::Ok,
                        parent);
        box.exec();
    };
    return dialogs;
}

MainForm::MainForm(audio::Engine& engine, Settings& settings, Playlist& playlist,
                   FormDialogs dialogs, QWidget* parent)
    : QWidget(parent),
      engine_(engine),
      settings_(settings),
      playlist_(playlist),
      dialogs_(std::move(dialogs)) {
    engine::DeskPlayers players;
    for (int i = 1; i <= 6; ++i) {
        linePlayers_[i] = std::make_unique<engine::MediaPlayerLine>(engine.Player(i));
        players.line[i] = linePlayers_[i].get();
    }
    for (int i = 0; i < 2; ++i) {
        apPlayers_[i] = std::make_unique<engine::MediaPlayerLine>(engine.AP(i));
        players.ap[i] = apPlayers_[i].get();
    }
    crossfader_ = std::make_unique<engine::CrossfaderModel>();
    desk_ = std::make_unique<engine::Desk>(
        players, settings, *crossfader_, [this](const QString& directory, const QString& fileName) {
            return LoadPlaylistFile(directory, fileName);
        });

    finder_ = std::make_unique<SongFinder>();
    finder_->SetMusicFolder(settings.GetText(keys::kMusicFolder));

    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    timer1_.setInterval(kTickMs);
    connect(&timer1_, &QTimer::timeout, this, &MainForm::Timer1Tick);
    BuildDesk();
    menu_ = BuildMenu();
    ConnectDesk();
    autoPilotWiring_ = std::make_unique<AutoPilotWiring>(
        *this, engine, std::array<engine::LinePlayer*, 2>{players.ap[0], players.ap[1]}, settings,
        playlist);
    look_ = std::make_unique<Appearance>(
        *this, settings,
        appearance::FaceFolders{UserFacesFolder(), appearance::FacesFolder(AppFolder())});
    windowWiring_ = std::make_unique<WindowWiring>(*this, settings, playlist);
    logWiring_ = std::make_unique<LogWiring>(*this, settings, Log());
    optionsWiring_ = std::make_unique<OptionsWiring>(*this, engine, settings);
    seekWiring_ = std::make_unique<SeekWiring>(*this, engine, engine::OverviewFolder());
    meterWiring_ = std::make_unique<MeterWiring>(*this, engine);
    recordWiring_ = std::make_unique<RecordWiring>(*this, engine, settings);
    broadcastWiring_ =
        std::make_unique<BroadcastWiring>(*this, *buttons_->Connect(), engine, settings);
    ColorChange();
    ApplyToolTips(true);
    UpdateTitle();
    if (engine.PlayingSilently()) desk_->SetStatus(engine.StatusText());
}

MainForm::~MainForm() {
    timer1_.stop();
    seekWiring_.reset();
    meterWiring_.reset();
    recordWiring_.reset();
    broadcastWiring_.reset();
    optionsWiring_.reset();
    logWiring_.reset();
    windowWiring_.reset();
    autoPilotWiring_.reset();
    // The controls call into the desk while they go; let them go first.
    qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
}

void MainForm::BuildDesk() {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 4, 6, 2);
    column->setSpacing(0);

    auto* stripRow = new QHBoxLayout;
    stripRow->setSpacing(0);
    for (int line = 0; line < engine::Desk::kLineCount; ++line) {
        if (line > 0) {
            QWidget* divider = Divider(this, Qt::Vertical);
            dividers_.append(divider);
            stripRow->addWidget(divider);
        }
        strips_[line] = new LineStrip(line, *desk_, this);
        stripRow->addWidget(strips_[line]);
        connect(strips_[line], &LineStrip::MenuRequested, this, &MainForm::ShowMenu);
        connect(strips_[line], &LineStrip::OpenRequested, this, &MainForm::FileOpen);
    }
    cueButtons_ = new CueButtons(engine_, strips_, this);
    column->addLayout(stripRow);
    dividers_.append(Divider(this, Qt::Horizontal));
    column->addWidget(dividers_.last());

    auto* bottom = new QHBoxLayout;
    bottom->setSpacing(0);
    autoPilot_ = new AutoPilotPanel(*desk_, this);
    crossfaderPanel_ = new CrossfaderPanel(*crossfader_, *desk_, this);
    buttons_ = new ButtonRow(*desk_, this);
    bottom->addWidget(autoPilot_);
    dividers_.append(Divider(this, Qt::Vertical));
    bottom->addWidget(dividers_.last());
    bottom->addStretch();
    bottom->addWidget(crossfaderPanel_);
    bottom->addStretch();
    dividers_.append(Divider(this, Qt::Vertical));
    bottom->addWidget(dividers_.last());
    bottom->addWidget(buttons_);
    column->addLayout(bottom);
    dividers_.append(Divider(this, Qt::Horizontal));
    column->addWidget(dividers_.last());

    status_ = new QLabel(this);
    status_->setFont(CaptionFont());
    status_->setFixedHeight(16);
    status_->setIndent(4);
    column->addWidget(status_);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(autoPilot_, &AutoPilotPanel::MenuRequested, this, &MainForm::ShowMenu);
    connect(crossfaderPanel_, &CrossfaderPanel::MenuRequested, this, &MainForm::ShowMenu);
    connect(buttons_->Button(ButtonRow::StopAll), &appearance::Butt::Click, desk_.get(),
            &engine::Desk::StopAll);
    connect(buttons_->Button(ButtonRow::ExitButton), &appearance::Butt::Click, this,
            &QWidget::close);
}

QMenu* MainForm::BuildMenu() {
    auto* menu = new QMenu(this);
    const auto item = [menu](const char* name, const QString& text) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    // The windows behind most entries come later; until then they do nothing.
    item("mnuMic", QStringLiteral("Mic Level"));
    menu->addSeparator();
    item("mnuHelp", QStringLiteral("Help"));
    item("mnuAbout", QStringLiteral("About"));
    menu->addSeparator();
    item("mnuOps", QStringLiteral("Options"));
    item("mnuLog", QStringLiteral("Logging"));
    menu->addSeparator();
    item("mnuPLst", QStringLiteral("Playlist"));
    menu->addSeparator();
    connect(item("muExit", QStringLiteral("Exit")), &QAction::triggered, this, &QWidget::close);
    return menu;
}

void MainForm::ConnectDesk() {
    connect(desk_.get(), &engine::Desk::StatusChanged, status_, &QLabel::setText);
    connect(desk_.get(), &engine::Desk::MessageRequested, this,
            [this](const QString& text) { dialogs_.showMessage(this, text); });
    connect(desk_.get(), &engine::Desk::PlaylistLoaded, this, &MainForm::UpdateTitle);
    connect(&engine_, &audio::Engine::NoSoundDevice, desk_.get(), &engine::Desk::SetStatus);
    connect(&engine_, &audio::Engine::HeadphonesMissing, desk_.get(), &engine::Desk::SetStatus);
    for (int i = 1; i <= 6; ++i) {
        audio::MediaPlayer* player = engine_.Player(i);
        connect(player, &audio::MediaPlayer::OpenStateChanged, desk_.get(),
                &engine::Desk::PlayerOpenStateChanged);
        connect(player, &audio::MediaPlayer::PlayStateChanged, desk_.get(),
                &engine::Desk::PlayerPlayStateChanged);
    }
}

void MainForm::LoadPreferences() {
    status_->setVisible(settings_.GetInt(keys::kStatHelp) == 1);
    SetHighPriority(settings_.GetInt(keys::kPriority) == 1);
    if (settings_.GetBool(keys::kToolTips)) {
        ToolsOn();
    } else {
        ToolsOff();
    }
}

// The scheme was read from the settings when the window was made; a face may have replaced it.
void MainForm::ApplyStoredColors() { ColorChange(); }

void MainForm::ColorChange() { ApplyColors(look_->Scheme()); }

autopilot::StartupFileKind MainForm::OpenStartupFile(const QString& path) {
    return Pilot().OpenStartupFile(path, linePlayers_[1].get());
}

autopilot::AutoPilot& MainForm::Pilot() const { return autoPilotWiring_->Pilot(); }
SongLog& MainForm::Log() const { return autoPilotWiring_->Log(); }

void MainForm::StartTimer() {
    Timer1Tick();
    timer1_.start();
}

void MainForm::Timer1Tick() {
    // Reading the local time looks at the time-zone file each time; the clock shows minutes,
    // so once a second is enough, not a thousand times on the 1 ms tick.
    const long long second = QDateTime::currentSecsSinceEpoch();
    if (second != tickSecond_) {
        tickSecond_ = second;
        tickNow_ = QDateTime::currentDateTime();
    }
    desk_->Tick(tickNow_);
}

void MainForm::RestorePlaylist() {
    const QString path = settings_.GetText(keys::kPlayList);
    if (path.isEmpty() || !QFileInfo(path).isFile()) return;
    const SplitPathResult parts = SplitPath(path);
    if (!LoadPlaylistFile(parts.directory, parts.fileName)) return;
    strips_[engine::Desk::kAutoPilotLine]->TitleLabel()->SetFullText(
        StripExtension(playlist_.ListName));
    UpdateTitle();
}

bool MainForm::LoadPlaylistFile(const QString& directory, const QString& fileName) {
    if (!LoadPlaylist(playlist_, directory, fileName, true)) return false;
    playlist_.ListName = fileName;
    return true;
}

void MainForm::UpdateTitle() {
    const QString name = playlist_.ListName.isEmpty() ? QString::fromLatin1(engine::Desk::kNoTitle)
                                                      : StripExtension(playlist_.ListName);
    setWindowTitle(QString::fromLatin1(kTitlePrefix) + name);
}

void MainForm::SetHighPriority(bool on) {
    highPriority_ = on;
    timer1_.setInterval(on ? kHighPriorityTickMs : kTickMs);
}

void MainForm::ToolsOn() { ApplyToolTips(true); }
void MainForm::ToolsOff() { ApplyToolTips(false); }

void MainForm::ApplyToolTips(bool on) {
    for (LineStrip* strip : strips_) strip->SetToolTips(on);
    cueButtons_->SetToolTips(on);
    autoPilot_->SetToolTips(on);
    crossfaderPanel_->SetToolTips(on);
    buttons_->SetToolTips(on);
    if (recordWiring_ != nullptr) recordWiring_->SetToolTips(on);
    desk_->SetToolTipsOn(on);
    // The clock's weekday tooltip follows at once rather than at the next tick.
    strips_[engine::Desk::kMasterLine]->Colon()->setToolTip(
        on ? engine::ClockToolTip(QDate::currentDate()) : QString());
}

void MainForm::ApplyColors(const ColorScheme& scheme) {
    QPalette colors = palette();
    colors.setColor(QPalette::Window, scheme.back);
    colors.setColor(QPalette::WindowText, scheme.text);
    setPalette(colors);
    for (QWidget* divider : dividers_) {
        QPalette lineColors = divider->palette();
        lineColors.setColor(QPalette::Window, scheme.line);
        divider->setPalette(lineColors);
    }
    for (LineStrip* strip : strips_) strip->ApplyColors(scheme);
    autoPilot_->ApplyColors(scheme);
    crossfaderPanel_->ApplyColors(scheme);
    buttons_->ApplyColors(scheme);
    QPalette statusColors = status_->palette();
    statusColors.setColor(QPalette::WindowText, scheme.text);
    status_->setPalette(statusColors);
    Q_EMIT ColorsApplied(scheme);
}

void MainForm::FileOpen(int line) {
    OpenDialogRequest request = desk_->OpenDialogFor(line);
    // The current playlist's folder, however the list was loaded; "ListPath" until there is one.
    if (line == engine::Desk::kAutoPilotLine && !playlist_.ListDir.isEmpty())
        request.folder = playlist_.ListDir;
    const QString path = dialogs_.chooseFile(this, request);
    if (path.isEmpty()) return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    desk_->FileOpen(line, path);
    QGuiApplication::restoreOverrideCursor();
}

void MainForm::ShowMenu() { menu_->popup(QCursor::pos()); }

void MainForm::keyPressEvent(QKeyEvent* event) {
    const engine::KeyAction action =
        keys_.Press(event->key(), event->modifiers(), event->isAutoRepeat());
    if (action.action == DeskAction::None) {
        QWidget::keyPressEvent(event);
        return;
    }
    RunKey(action);
}

void MainForm::keyReleaseEvent(QKeyEvent* event) {
    const engine::KeyAction action = keys_.Release(event->key(), event->isAutoRepeat());
    if (action.action == DeskAction::None) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    RunKey(action);
}

void MainForm::focusOutEvent(QFocusEvent* event) {
    // A key let go in another window never reaches us: a fade held by a key would run on.
    // A fade started with the mouse is not held by anything and runs to its end.
    const bool keyFade = keys_.FadeKeyHeld();
    keys_.Clear();
    if (keyFade) crossfader_->StopIt();
    QWidget::focusOutEvent(event);
}

void MainForm::RunKey(const engine::KeyAction& action) {
    LineStrip* strip = action.line >= 1 && action.line <= 6 ? strips_[action.line] : nullptr;
    if (action.action == DeskAction::LineToggle && strip != nullptr) {
        Disarm(strip->PlayButt());
        Disarm(strip->StopButt());
    }
    if (desk_->PerformKey(action)) return;
    switch (action.action) {
        case DeskAction::LineArm:
            if (strip != nullptr)
                (desk_->IsPlaying(action.line) ? strip->StopButt() : strip->PlayButt())->Press();
            break;
        case DeskAction::OpenArm:
            if (strip != nullptr) strip->OpenW()->Press();
            break;
        case DeskAction::CueToggle:
            cueButtons_->Toggle(action.line);
            break;
        case DeskAction::OpenLine:
            if (strip == nullptr) break;
            Disarm(strip->OpenW());
            FileOpen(action.line);
            break;
        case DeskAction::APlayDown:
            autoPilot_->APlay()->Press();
            break;
        case DeskAction::APlayUp:
            autoPilot_->APlay()->Release();
            break;
        case DeskAction::ANextDown:
            autoPilot_->ANext()->Press();
            break;
        case DeskAction::ANextUp:
            autoPilot_->ANext()->Release();
            break;
        case DeskAction::AStopDown:
            autoPilot_->AStop()->Press();
            break;
        case DeskAction::AStopUp:
            autoPilot_->AStop()->Release();
            break;
        default:
            break;
    }
}

void MainForm::mouseMoveEvent(QMouseEvent* event) {
    desk_->SetStatus(QString());
    QWidget::mouseMoveEvent(event);
}

void MainForm::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) ShowMenu();
    QWidget::mouseReleaseEvent(event);
}

void MainForm::closeEvent(QCloseEvent* event) {
    if (closeHandler_ && !closeHandler_()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace corvane::app
