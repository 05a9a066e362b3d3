// Driver for the device-fault test: the AutoPilot plays SONGS in a loop through the sound
// device with FadeSeconds 3, every song logged, for SECONDS.
//   corvane-e2e-autopilot FOLDER SECONDS SONG...
// Prints, four times a second, "t=<s> silent=<0|1> position=<s>" (the current AutoPilot
// player's position), each start as "started <path>", and at the end each song-log entry as
// "logged <file>". The log and the settings live in FOLDER.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <cstdio>

#include "audio/decoder.h"
#include "audio/engine.h"
#include "audio/media_player.h"
#include "autopilot/autopilot.h"
#include "engine/media_player_line.h"
#include "playlist/playlist.h"
#include "settings/ini.h"
#include "settings/keys.h"
#include "settings/settings.h"
#include "songlog/logfile.h"
#include "songlog/songlog.h"

using namespace corvane;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fputs("usage: corvane-e2e-autopilot FOLDER SECONDS SONG...\n", stderr);
        return 2;
    }
    const QString folder = args.at(1);
    audio::Engine engine(audio::EngineOptions{}, audio::OpenDecoder);
    engine::MediaPlayerLine ap0(engine.AP(0));
    engine::MediaPlayerLine ap1(engine.AP(1));
    IniFiles ini;
    Settings settings(ini, folder + QStringLiteral("/Corvane.ini"));
    settings.SavePref(keys::kFadeSeconds, 3);
    settings.SavePref(keys::LoopKey(0), true);
    Playlist playlist;
    playlist.SongList = args.mid(3);
    autopilot::RandomSource random(1);
    autopilot::AutoPilot pilot({&ap0, &ap1}, playlist, settings, random, [] { return qint64(1); });
    for (audio::MediaPlayer* player : {engine.AP(0), engine.AP(1)}) {
        QObject::connect(player, &audio::MediaPlayer::OpenStateChanged, &pilot,
                         &autopilot::AutoPilot::OpenStateChanged);
        QObject::connect(player, &audio::MediaPlayer::PlayStateChanged, &pilot,
                         &autopilot::AutoPilot::PlayStateChanged);
    }
    SongLog log(ini, settings);
    const LogSettings logOptions{
        .logging = true, .logPath = true, .logFile = folder + QStringLiteral("/songs.log")};
    log.SetOptions(logOptions);
    QObject::connect(&pilot, &autopilot::AutoPilot::SongStarted, &log, &SongLog::LogSong);
    QObject::connect(&pilot, &autopilot::AutoPilot::SongStarted, [](const QString& path) {
        std::printf("started %s\n", QFile::encodeName(path).constData());
    });

    QElapsedTimer clock;
    clock.start();
    QTimer tick;  // the main tick
    QObject::connect(&tick, &QTimer::timeout, &pilot, &autopilot::AutoPilot::AutoPilotTick);
    tick.start(300);
    QTimer status;
    QObject::connect(&status, &QTimer::timeout, [&] {
        const audio::MediaPlayer* current =
            engine.AP(0)->PlayState() == audio::MediaPlayer::kPlaying &&
                    (engine.AP(1)->PlayState() != audio::MediaPlayer::kPlaying ||
                     engine.AP(0)->Position() < engine.AP(1)->Position())
                ? engine.AP(0)
                : engine.AP(1);
        std::printf("t=%.2f silent=%d position=%.2f\n", clock.elapsed() / 1000.0,
                    engine.PlayingSilently() ? 1 : 0, current->Position());
        std::fflush(stdout);
    });
    status.start(250);
    pilot.APlay();
    QTimer::singleShot(int(args.at(2).toDouble() * 1000), &app, &QCoreApplication::quit);
    app.exec();
    if (log.PendingCount() > 0) log.LogTimer_Timer();
    for (const LogEntry& entry : ReadLogEntries(ini, logOptions.logFile))
        std::printf("logged %s\n", QFile::encodeName(entry.file).constData());
    return 0;
}
