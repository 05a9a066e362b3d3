#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace corvane::app {

// One running program per user. The first start takes a lock file beside the local socket
// named for the user and listens on that socket; a later start finds the lock taken, asks the
// running program through the socket to raise its window and ends. The lock, not the socket,
// decides: two starts at the same moment cannot both win, and a socket left over by a program
// that did not end well is replaced only by the holder of the lock.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // The socket name for this user and settings file: two programs must never share one
    // settings file, while a test or a benchmark with a settings folder of its own may run
    // beside the user's program.
    static QString NameFor(const QString& settingsFile);

    explicit SingleInstance(QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the only instance (it holds the lock and listens). False when another
    // one holds it: that one has been asked to show itself, if it could be reached.
    bool Claim();

Q_SIGNALS:
    // A later start asked us to bring the main window to the front.
    void ActivationRequested();

private:
    bool AskRunningToActivate();
    void ReadRequests();

    QString name_;
    int lockFd_ = -1;
    QLocalServer* server_ = nullptr;
};

}  // namespace corvane::app
