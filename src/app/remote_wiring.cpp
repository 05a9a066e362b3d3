#include "app/remote_wiring.h"

#include <time.h>

#include <QDBusConnection>
#include <QFileInfo>
#include <QTextStream>
#include <QTimer>
#include <cstdio>

#include "app/first_paint.h"
#include "app/main_form.h"
#include "app/shown_report.h"
#include "app/startup.h"
#include "app/window_wiring.h"
#include "audio/engine.h"
#include "audio/media_player.h"
#include "autopilot/autopilot.h"
#include "engine/desk.h"
#include "mpris/mpris_service.h"
#include "playlist/playlist.h"
#include "playlist/ui/list_editor.h"
#include "remote/forward_request.h"
#include "remote/mpris_state.h"

namespace corvane::app {

using autopilot::AutoPilot;
using engine::LinePlayer;

RemoteWiring::RemoteWiring(Startup& startup, audio::Engine& engine, Playlist& playlist,
                           QObject* parent)
    : QObject(parent), startup_(startup), engine_(engine), playlist_(playlist) {
    MainForm& form = *startup_.Form();
    AutoPilot& pilot = form.Pilot();
    // The tick catches what has no signal of its own: songs added to or removed from the list.
    connect(&form.Desk(), &engine::Desk::AutoPilotStep, this, &RemoteWiring::RefreshState);
    connect(&pilot, &AutoPilot::AutoPilotOnChanged, this, &RemoteWiring::RefreshState);
    connect(&pilot, &AutoPilot::CurrentSongChanged, this, &RemoteWiring::RefreshState);
    connect(&pilot, &AutoPilot::SongStarted, this, [this](const QString& path) {
        songPath_ = path;
        ++track_;
    });
    for (int i = 0; i < 2; ++i)
        connect(engine_.AP(i), &audio::MediaPlayer::PlayStateChanged, this,
                &RemoteWiring::RefreshState);
    // For the benchmarks: the moment a line starts playing (monotonic clock), and an AutoPilot
    // song (wall clock, as dbus-monitor stamps what it sees).
    if (qEnvironmentVariableIsSet("CORVANE_REPORT_PLAY")) {
        connect(&form.Desk(), &engine::Desk::SongStarted, this, [] {
            std::fprintf(stderr, "line_play_ns=%lld\n",
                         static_cast<long long>(ShownReport::MonotonicNs()));
        });
        connect(&pilot, &AutoPilot::SongStarted, this, [] {
            timespec now{};
            clock_gettime(CLOCK_REALTIME, &now);
            std::fprintf(stderr, "ap_song_us=%lld\n",
                         static_cast<long long>(now.tv_sec) * 1000000 + now.tv_nsec / 1000);
        });
    }
}

RemoteWiring::~RemoteWiring() = default;

bool RemoteWiring::LineBusy(int line) const {
    const audio::MediaPlayer* player = engine_.Player(line);
    return player->PlayState() == LinePlayer::kPlaying ||
           player->OpenState() == LinePlayer::kOpening;
}

void RemoteWiring::OpenPaths(const QStringList& paths) {
    startup_.Activate();
    MainForm& form = *startup_.Form();
    AutoPilot& pilot = form.Pilot();
    bool listGrew = false;
    for (const QString& path : paths) {
        if (autopilot::IsPlaylistFile(path)) {
            // As a drop on line 0's title, then started.
            if (!pilot.DropPlaylist(path)) {
                form.Desk().SetStatus(QStringLiteral("Couldn't load the playlist %1.").arg(path));
            } else if (!pilot.AutoPilotOn()) {
                pilot.APlay();
            }
        } else if (autopilot::IsSoundFile(path)) {
            const int line = remote::LineForSound([this](int each) { return LineBusy(each); });
            if (line == 0) {
                playlist_.SongList.append(path);
                listGrew = true;
                continue;
            }
            audio::MediaPlayer* player = engine_.Player(line);
            player->SetAutoStart(true);
            player->OpenFile(path);
        } else {
            form.Desk().SetStatus(
                QStringLiteral("Couldn't open %1: not a sound file or a playlist.").arg(path));
        }
    }
    if (listGrew && form.Windows().EditorOpen()) form.Windows().Editor().Refresh1();
    RefreshState();
}

void RemoteWiring::Start(const QStringList& morePaths) {
    new FirstPaint(startup_.Form(), [this, morePaths] {
        // After start-up's own work at the first paint: the lines' remembered files.
        QTimer::singleShot(0, this, [this, morePaths] {
            if (!morePaths.isEmpty()) OpenPaths(morePaths);
            if (SessionBusAvailable()) ConnectBus(QDBusConnection::sessionBus());
        });
    });
}

bool RemoteWiring::ConnectBus(const QDBusConnection& bus) {
    mpris::MprisHooks hooks;
    AutoPilot& pilot = startup_.Form()->Pilot();
    hooks.act = [&pilot](remote::PilotAction action) {
        switch (action) {
            case remote::PilotAction::Start:
                pilot.APlay();
                break;
            case remote::PilotAction::Stop:
                pilot.AStop();
                break;
            case remote::PilotAction::Next:
                pilot.ANext();
                break;
            case remote::PilotAction::None:
                break;
        }
    };
    hooks.raise = [this] { startup_.Activate(); };
    hooks.quit = [this] { startup_.ExitProgram(false); };
    hooks.open = [this](const QString& path) {
        if (QFileInfo(path).isFile()) OpenPaths({path});
    };
    hooks.positionUs = [this, &pilot] {
        const audio::MediaPlayer* player = engine_.AP(pilot.CurrentAp());
        return player->PlayState() == LinePlayer::kPlaying ? qint64(player->Position() * 1e6)
                                                           : qint64(0);
    };
    auto service = std::make_unique<mpris::MprisService>(bus, std::move(hooks));
    if (!service->Register()) return false;
    mpris_ = std::move(service);
    RefreshState();
    return true;
}

void RemoteWiring::RefreshState() {
    if (!mpris_) return;
    const AutoPilot& pilot = startup_.Form()->Pilot();
    remote::MprisState state;
    state.on = pilot.AutoPilotOn();
    state.hasSongs = !playlist_.SongList.isEmpty();
    for (int i = 0; i < 2; ++i) {
        const audio::MediaPlayer* player = engine_.AP(i);
        if (player->PlayState() != LinePlayer::kPlaying) continue;
        state.sounding = true;
        if (player->FileName() == songPath_) state.lengthUs = qint64(player->Duration() * 1e6);
    }
    const QString shown = pilot.CurrentSongText();
    if (!shown.isEmpty() && shown != QLatin1String(AutoPilot::kNone)) {
        state.title = shown;
        state.path = songPath_;
        state.track = track_;
    }
    mpris_->SetState(state);
}

bool SessionBusAvailable() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

int EndLaterStart(const remote::ForwardRequest& request, bool hasPaths, bool delivered) {
    QTextStream err(stderr);
    if (!request.error.isEmpty()) {
        err << "corvane: " << request.error << "; nothing was opened.\n";
        return 1;
    }
    if (hasPaths && !delivered) {
        err << "corvane: the running Corvane did not answer; nothing was opened.\n";
        return 1;
    }
    return 0;
}

}  // namespace corvane::app
