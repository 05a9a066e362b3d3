#include "broadcast/shout_connection.h"

#include <netdb.h>
#include <poll.h>
#include <shout/shout.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QByteArray>
#include <csignal>
#include <mutex>

#include "version.h"

namespace corvane::broadcast {

namespace {

void InitShout() {
    static std::once_flag once;
    std::call_once(once, [] {
        shout_init();
        // A write to a server that has gone must come back as an error, not end the program.
        std::signal(SIGPIPE, SIG_IGN);
    });
}

bool Resolves(const QString& server) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const int result = getaddrinfo(server.toUtf8().constData(), nullptr, &hints, &found);
    if (found != nullptr) freeaddrinfo(found);
    return result == 0;
}

// Icecast refuses a wrong password and a mount in use alike. A mount that a listener can
// open is in use: asked over plain HTTP, with a short bound, after the refusal.
bool MountPlaying(const BroadcastSettings& settings) {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const QByteArray port = QByteArray::number(settings.port);
    if (getaddrinfo(settings.server.toUtf8().constData(), port.constData(), &hints, &found) != 0)
        return false;
    bool playing = false;
    const int fd = socket(found->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    timeval timeout{2, 0};
    if (fd >= 0 && setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout) == 0 &&
        setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout) == 0 &&
        connect(fd, found->ai_addr, found->ai_addrlen) == 0) {
        const QByteArray request =
            "GET " + settings.mount.toUtf8() + " HTTP/1.0\r\nUser-Agent: Corvane\r\n\r\n";
        char reply[64] = {};
        if (send(fd, request.constData(), static_cast<size_t>(request.size()), MSG_NOSIGNAL) ==
                request.size() &&
            recv(fd, reply, sizeof reply - 1, 0) > 12)
            playing = QByteArray(reply).startsWith("HTTP/1.0 200") ||
                      QByteArray(reply).startsWith("HTTP/1.1 200");
    }
    if (fd >= 0) close(fd);
    freeaddrinfo(found);
    return playing;
}

}  // namespace

struct ShoutConnection::Shout {
    shout_t* handle = nullptr;
    ~Shout() {
        if (handle != nullptr) {
            shout_close(handle);
            shout_free(handle);
        }
    }
};

ShoutConnection::ShoutConnection() { InitShout(); }

ShoutConnection::~ShoutConnection() = default;

StreamConnection::Progress ShoutConnection::Open(const BroadcastSettings& settings) {
    Close();
    settings_ = settings;
    failure_ = Failure::None;
    if (!Resolves(settings.server)) {
        failure_ = Failure::UnknownServer;
        return Progress::Failed;
    }
    shout_ = std::make_unique<Shout>();
    shout_->handle = shout_new();
    shout_t* s = shout_->handle;
    if (s == nullptr) return Failed(SHOUTERR_MALLOC);
    const bool mp3 = settings.format == StreamFormat::Mp3;
    const QByteArray bitrate = QByteArray::number(settings.bitrate);
    const int results[] = {
        shout_set_host(s, settings.server.toUtf8().constData()),
        shout_set_port(s, static_cast<unsigned short>(settings.port)),
        shout_set_mount(s, settings.mount.toUtf8().constData()),
        shout_set_user(s, settings.user.toUtf8().constData()),
        shout_set_password(s, settings.password.toUtf8().constData()),
        shout_set_agent(s, "Corvane/" CORVANE_VERSION),
        shout_set_tls(s, SHOUT_TLS_AUTO),
        shout_set_content_format(s, mp3 ? SHOUT_FORMAT_MP3 : SHOUT_FORMAT_OGG, SHOUT_USAGE_AUDIO,
                                 nullptr),
        shout_set_audio_info(s, SHOUT_AI_BITRATE, bitrate.constData()),
        shout_set_audio_info(s, SHOUT_AI_CHANNELS, "2"),
        shout_set_meta(s, SHOUT_META_NAME, settings.name.toUtf8().constData()),
        shout_set_meta(s, SHOUT_META_GENRE, settings.genre.toUtf8().constData()),
        shout_set_nonblocking(s, SHOUT_BLOCKING_NONE),
    };
    for (int result : results)
        if (result != SHOUTERR_SUCCESS) return Failed(result);
    const int result = shout_open(s);
    if (result == SHOUTERR_SUCCESS || result == SHOUTERR_CONNECTED) {
        connected_ = true;
        return Progress::Connected;
    }
    return result == SHOUTERR_BUSY ? Progress::Pending : Failed(result);
}

StreamConnection::Progress ShoutConnection::Poll() {
    if (shout_ == nullptr) return Progress::Failed;
    if (connected_) {
        // Sends what libshout still holds.
        const int result = shout_send(shout_->handle, nullptr, 0);
        return result == SHOUTERR_SUCCESS || result == SHOUTERR_BUSY ? Progress::Connected
                                                                     : Failed(result);
    }
    const int result = shout_get_connected(shout_->handle);
    if (result == SHOUTERR_CONNECTED) {
        connected_ = true;
        return Progress::Connected;
    }
    return result == SHOUTERR_BUSY ? Progress::Pending : Failed(result);
}

bool ShoutConnection::Send(const uint8_t* data, size_t size) {
    if (!connected_) return false;
    const int result = shout_send(shout_->handle, data, size);
    if (result == SHOUTERR_SUCCESS || result == SHOUTERR_BUSY) return true;
    Failed(result);
    return false;
}

size_t ShoutConnection::Queued() {
    if (!connected_) return 0;
    const ssize_t queued = shout_queuelen(shout_->handle);
    return queued > 0 ? static_cast<size_t>(queued) : 0;
}

bool ShoutConnection::SetTitle(const QString& title) {
    if (!connected_) return false;
    shout_metadata_t* metadata = shout_metadata_new();
    if (metadata == nullptr) return false;
    bool done =
        shout_metadata_add(metadata, "song", title.toUtf8().constData()) == SHOUTERR_SUCCESS;
    done = done && shout_set_metadata_utf8(shout_->handle, metadata) == SHOUTERR_SUCCESS;
    shout_metadata_free(metadata);
    return done;
}

void ShoutConnection::Close() {
    shout_.reset();
    connected_ = false;
}

StreamConnection::Progress ShoutConnection::Failed(int error) {
    if (error == SHOUTERR_NOLOGIN)
        failure_ = MountPlaying(settings_) ? Failure::MountTaken : Failure::LoginRefused;
    else if (error == SHOUTERR_TLSBADCERT)
        failure_ = Failure::Untrusted;
    else
        failure_ = connected_ ? Failure::Lost : Failure::Unreachable;
    Close();
    return Progress::Failed;
}

}  // namespace corvane::broadcast
