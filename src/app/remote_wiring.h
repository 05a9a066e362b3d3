#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

class QDBusConnection;

namespace corvane {
struct Playlist;
}

namespace corvane::audio {
class Engine;
}

namespace corvane::mpris {
class MprisService;
}

namespace corvane::remote {
struct ForwardRequest;
}

namespace corvane::app {

class Startup;

// The running program as the desktop reaches it from outside: files handed over by a later
// start, and the AutoPilot as a media player on the session bus. Made once the window exists;
// lives until the event loop has ended.
class RemoteWiring : public QObject {
    Q_OBJECT

public:
    RemoteWiring(Startup& startup, audio::Engine& engine, Playlist& playlist,
                 QObject* parent = nullptr);
    ~RemoteWiring() override;

    // Raises the window and treats each path as the command line would: a playlist starts the
    // AutoPilot on it, a sound file plays on line 1 when it is free, else on the first free
    // line from 2 to 6, else it goes to the end of the playlist.
    void OpenPaths(const QStringList& paths);

    // Once the window has painted: the files the first start was given after the first one
    // (start-up opened that) are opened as a later start's would be, and the AutoPilot goes
    // on the session bus when there is one.
    void Start(const QStringList& morePaths);

    // Puts the AutoPilot on `bus` as an MPRIS player; false when the bus refuses.
    bool ConnectBus(const QDBusConnection& bus);
    mpris::MprisService* Mpris() const { return mpris_.get(); }

    // What the AutoPilot does now, sent to the bus when it changed.
    void RefreshState();

private:
    bool LineBusy(int line) const;

    Startup& startup_;
    audio::Engine& engine_;
    Playlist& playlist_;
    std::unique_ptr<mpris::MprisService> mpris_;
    QString songPath_;
    quint64 track_ = 0;
};

// Whether a session bus is there to be reached; none (a plain X session, a service) is not an
// error, and asking libdbus to start one would.
bool SessionBusAvailable();

// The end of a later start: the running program was sent `request` (or, with an error, not);
// prints why on stderr when it failed and returns the exit status.
int EndLaterStart(const remote::ForwardRequest& request, bool hasPaths, bool delivered);

}  // namespace corvane::app
