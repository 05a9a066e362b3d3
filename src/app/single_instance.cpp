#include "app/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>
#include <memory>

#include "remote/instance_message.h"

namespace corvane::app {

namespace {
constexpr int kWaitMs = 1000;
// A program that has just taken the lock may not listen yet: ask a few times.
constexpr int kAskAttempts = 20;
constexpr int kAskPauseMs = 50;
constexpr int kIdleMs = 5000;
}  // namespace

QString SingleInstance::NameFor(const QString& settingsFile) {
    const QByteArray hash =
        QCryptographicHash::hash(settingsFile.toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return QStringLiteral("corvane-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash));
}

SingleInstance::SingleInstance(QString name, QObject* parent)
    : QObject(parent), name_(std::move(name)) {}

SingleInstance::~SingleInstance() {
    // The socket goes first, so a start that takes the lock next finds no socket of ours.
    delete server_;
    if (lockFd_ >= 0) ::close(lockFd_);
}

bool SingleInstance::Claim() { return Claim(remote::SerializeMessage({}).value_or(QByteArray())); }

bool SingleInstance::Claim(const QByteArray& request) {
    if (!Lock(request)) return false;
    Listen();
    return true;
}

bool SingleInstance::Lock(const QByteArray& request) {
    if (lockFd_ >= 0) return true;
    const QByteArray lockPath =
        QFile::encodeName(QDir::tempPath() + QLatin1Char('/') + name_ + QStringLiteral(".lock"));
    const int fd =
        ::open(lockPath.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR);
    // Without a lock file (an unwritable temporary folder) the socket alone has to do.
    const bool locked = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (fd >= 0 && !locked) {
        ::close(fd);
        for (int attempt = 0; attempt < kAskAttempts && !request.isEmpty(); ++attempt) {
            if ((delivered_ = Send(request))) break;
            QThread::msleep(kAskPauseMs);
        }
        return false;
    }
    if (fd < 0 && (delivered_ = Send(request))) return false;
    lockFd_ = fd;
    return true;
}

void SingleInstance::Listen() {
    if (server_ != nullptr) return;
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // We hold the lock, so a socket already there is left over from a program that did not
    // end well.
    if (!server_->listen(name_)) {
        QLocalServer::removeServer(name_);
        server_->listen(name_);
    }
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::ReadRequests);
}

bool SingleInstance::Send(const QByteArray& request) {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kWaitMs)) return false;
    socket.write(request);
    // A long list goes out in several writes, each waited for.
    while (socket.bytesToWrite() > 0 && socket.waitForBytesWritten(kWaitMs)) {
    }
    const bool written = socket.bytesToWrite() == 0;
    socket.disconnectFromServer();
    if (socket.state() != QLocalSocket::UnconnectedState) socket.waitForDisconnected(kWaitMs);
    return written;
}

void SingleInstance::ReadRequests() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        // One message per connection, read as it arrives; anything that is not one of ours,
        // or grows past the largest message there can be, is dropped with the connection.
        auto buffer = std::make_shared<QByteArray>();
        const auto read = [this, socket, buffer] {
            buffer->append(socket->read(remote::kMaxMessageBytes + 1 - buffer->size()));
            const remote::ParsedMessage message = remote::ParseMessage(*buffer);
            if (message.status == remote::ParseStatus::Incomplete &&
                buffer->size() <= remote::kMaxMessageBytes)
                return;
            buffer->clear();
            socket->abort();
            socket->deleteLater();
            if (message.status != remote::ParseStatus::Complete) return;
            Q_EMIT ActivationRequested();
            if (!message.paths.isEmpty()) Q_EMIT PathsReceived(message.paths);
        };
        connect(socket, &QLocalSocket::readyRead, this, read);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A start that connects and says nothing does not keep its connection.
        QTimer::singleShot(kIdleMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        // The request may have arrived with the connection.
        if (socket->bytesAvailable() > 0) read();
    }
}

}  // namespace corvane::app
