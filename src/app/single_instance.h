#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace corvane::app {

// One running program per user. The first start listens on a local socket named for the
// user; a later start finds it there, asks it to raise its window and ends.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    // The socket name for this user and settings file: two programs must never share one
    // settings file, while a test or a benchmark with a settings folder of its own may run
    // beside the user's program.
    static QString NameFor(const QString& settingsFile);

    explicit SingleInstance(QString name, QObject* parent = nullptr);
    ~SingleInstance() override;

    // True when this is the only instance (it now listens). False when another one answered:
    // it has been asked to show itself.
    bool Claim();

Q_SIGNALS:
    // A later start asked us to bring the main window to the front.
    void ActivationRequested();

private:
    bool AskRunningToActivate();
    void ReadRequests();

    QString name_;
    QLocalServer* server_ = nullptr;
};

}  // namespace corvane::app
