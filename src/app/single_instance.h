#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace corvane::app {

// One running program per user. The first start takes a lock file beside the local socket
// named for the user and listens on that socket; a later start finds the lock taken, hands the
// running program its request through the socket (raise the window, open these files) and
// ends. The lock, not the socket,
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
    // one holds it: that one has been sent `request` (a remote::SerializeMessage), if it could
    // be reached; an empty request sends nothing.
    bool Claim(const QByteArray& request);
    bool Claim();  // the request that only raises the window
    // Claim in two steps: the lock (or the request sent) before the application object
    // exists, so a later start needs no display; the socket once there is an event loop.
    bool Lock(const QByteArray& request);
    void Listen();
    // After a false Claim: whether the running program took the request.
    bool Delivered() const { return delivered_; }

Q_SIGNALS:
    // A later start asked us to bring the main window to the front.
    void ActivationRequested();
    // ... and to open these files (absolute paths), after ActivationRequested.
    void PathsReceived(const QStringList& paths);

private:
    bool Send(const QByteArray& request);
    void ReadRequests();

    QString name_;
    int lockFd_ = -1;
    QLocalServer* server_ = nullptr;
    bool delivered_ = false;
};

}  // namespace corvane::app
