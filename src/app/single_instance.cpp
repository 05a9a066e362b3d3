#include "app/single_instance.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

namespace corvane::app {

namespace {
constexpr int kWaitMs = 1000;
const QByteArray kActivate = QByteArrayLiteral("activate\n");
}  // namespace

QString SingleInstance::NameFor(const QString& settingsFile) {
    const QByteArray hash =
        QCryptographicHash::hash(settingsFile.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return QStringLiteral("corvane-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::Claim() {
    if (AskRunningToActivate()) return false;
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(name_)) {
        // Nobody answered, so the socket is left over from a program that did not end well.
        QLocalServer::removeServer(name_);
        server_->listen(name_);
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::ReadRequests);
    return true;
}

bool SingleInstance::AskRunningToActivate() {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kWaitMs)) return false;
    socket.write(kActivate);
    socket.waitForBytesWritten(kWaitMs);
    socket.disconnectFromServer();
    return true;
}

void SingleInstance::ReadRequests() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        const auto read = [this, socket] {
            if (socket->readAll().contains(kActivate.trimmed())) Q_EMIT ActivationRequested();
        };
        connect(socket, &QLocalSocket::readyRead, this, read);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // The request may have arrived with the connection.
        if (socket->bytesAvailable() > 0) read();
    }
}

}  // namespace corvane::app
