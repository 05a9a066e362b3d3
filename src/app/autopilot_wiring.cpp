#include "app/autopilot_wiring.h"

#include <QTime>
#include <chrono>

#include "app/desk_label.h"
#include "app/desk_panels.h"
#include "app/line_strip.h"
#include "app/main_form.h"
#include "app/title_drop.h"
#include "appearance/ui/butt.h"
#include "appearance/ui/picturebutton.h"
#include "audio/engine.h"
#include "audio/media_player.h"
#include "autopilot/autopilot.h"
#include "engine/desk.h"
#include "playlist/playlist.h"
#include "playlist/song_finder.h"
#include "settings/settings.h"
#include "songlog/songlog.h"

namespace corvane::app {

using autopilot::AutoPilot;
using engine::Desk;

AutoPilotWiring::AutoPilotWiring(MainForm& form, audio::Engine& engine,
                                 std::array<engine::LinePlayer*, 2> apPlayers, Settings& settings,
                                 Playlist& playlist)
    : form_(form),
      random_(
          static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count())),
      pilot_(std::make_unique<AutoPilot>(
          apPlayers, playlist, settings, random_,
          [] { return qint64(QTime::currentTime().msecsSinceStartOfDay()); })),
      log_(std::make_unique<SongLog>(settings.Ini(), settings)) {
    pilot_->SetFindAgain([&form, &playlist](const QString& entry) {
        return form.Finder().FindAgain(entry, playlist.ListDir);
    });
    ConnectPanel();
    ConnectDesk(engine);
    ConnectDrops();
    connect(&form, &MainForm::ColorsApplied, this, &AutoPilotWiring::ApplyColors);
}

AutoPilotWiring::~AutoPilotWiring() = default;

void AutoPilotWiring::ConnectPanel() {
    AutoPilotPanel* panel = form_.AutoPilot();
    AutoPilot* pilot = pilot_.get();
    connect(panel->APlay(), &appearance::PictureButton::Click, pilot, &AutoPilot::APlay);
    connect(panel->AStop(), &appearance::PictureButton::Click, pilot, &AutoPilot::AStop);
    connect(panel->ANext(), &appearance::PictureButton::Click, pilot, &AutoPilot::ANext);
    connect(panel->ShuffButt(), &appearance::Butt::Click, pilot, &AutoPilot::ShuffButt);

    connect(pilot, &AutoPilot::CurrentSongChanged, panel->CurrentSong(), &ElidedLabel::SetFullText);
    connect(pilot, &AutoPilot::NextSongChanged, panel->NextSong(), &ElidedLabel::SetFullText);
    connect(pilot, &AutoPilot::NextLabelChanged, panel->NSLabel(), &QLabel::setText);
    connect(pilot, &AutoPilot::FadingChanged, panel->Fading(), &QWidget::setVisible);
    connect(pilot, &AutoPilot::CurrentSongHighlightChanged, this, [this](bool lit) {
        currentSongLit_ = lit;
        PaintCurrentSong();
    });
    connect(pilot, &AutoPilot::RandomModeChanged, this, &AutoPilotWiring::PaintShuffle);
    connect(pilot, &AutoPilot::MessageRequested, &form_, &MainForm::ShowMessage);
    connect(pilot, &AutoPilot::StatusRequested, &form_.Desk(), &Desk::SetStatus);
}

void AutoPilotWiring::ConnectDesk(audio::Engine& engine) {
    Desk& desk = form_.Desk();
    AutoPilot* pilot = pilot_.get();
    SongLog* log = log_.get();
    connect(&desk, &Desk::AutoPilotStep, pilot, &AutoPilot::AutoPilotTick);
    connect(&desk, &Desk::ApLoopChanged, pilot, &AutoPilot::SetApLoop);
    connect(&desk, &Desk::AutoPilotStopped, pilot, &AutoPilot::AutoPilotStopped);
    connect(&desk, &Desk::PlaylistLoaded, pilot, &AutoPilot::PlaylistOpened);
    connect(pilot, &AutoPilot::CurrentApChanged, &desk, &Desk::SetCurrentAp);
    connect(pilot, &AutoPilot::LineHighlightChanged, &desk,
            [&desk](bool lit) { desk.SetHighlight(Desk::kAutoPilotLine, lit); });
    connect(pilot, &AutoPilot::ListTitleChanged, this, [this](const QString& title) {
        form_.Strip(Desk::kAutoPilotLine)->TitleLabel()->SetFullText(title);
        form_.UpdateTitle();
    });
    for (int i = 0; i < 2; ++i) {
        audio::MediaPlayer* player = engine.AP(i);
        connect(player, &audio::MediaPlayer::OpenStateChanged, pilot, &AutoPilot::OpenStateChanged);
        connect(player, &audio::MediaPlayer::PlayStateChanged, pilot, &AutoPilot::PlayStateChanged);
    }

    // Every song that starts goes to the log, the lines' only with "LogAll".
    connect(&desk, &Desk::SongStarted, log, &SongLog::LogLineSong);
    connect(pilot, &AutoPilot::SongStarted, log, &SongLog::LogSong);
    connect(log, &SongLog::WriteFailed, &desk, &Desk::SetStatus);
}

void AutoPilotWiring::ConnectDrops() {
    for (int line = 0; line <= 6; ++line) {
        ElidedLabel* title = form_.Strip(line)->TitleLabel();
        const auto accepts = [line](const QString& path) {
            return autopilot::AcceptsDrop(line, path);
        };
        const auto dropped = [this, line](const QString& path) {
            if (line == Desk::kAutoPilotLine) {
                pilot_->DropPlaylist(path);
            } else {
                form_.Desk().FileOpen(line, path);
            }
        };
        new TitleDropTarget(title, accepts, dropped);
    }
}

void AutoPilotWiring::ApplyColors(const ColorScheme& scheme) {
    scheme_ = scheme;
    PaintCurrentSong();
    PaintShuffle();
}

void AutoPilotWiring::PaintCurrentSong() {
    form_.AutoPilot()->CurrentSong()->SetTextColor(currentSongLit_ ? scheme_.hilite : scheme_.text);
}

void AutoPilotWiring::PaintShuffle() {
    form_.AutoPilot()->ShuffButt()->ColChange(
        ColorValue(pilot_->RandomMode() ? scheme_.hilite : scheme_.text));
}

}  // namespace corvane::app
