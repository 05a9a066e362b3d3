#include "broadcast/broadcast_session.h"

namespace corvane::broadcast {

namespace {
constexpr std::chrono::milliseconds kPumpInterval{10};
constexpr std::chrono::milliseconds kIdleInterval{100};
constexpr int kChunkFrames = 1152;

int BytesPerSecond(const BroadcastSettings& settings) { return settings.bitrate * 1000 / 8; }
}  // namespace

BroadcastSession::BroadcastSession(Parts parts, int rate)
    : parts_(parts), rate_(rate), buffer_(static_cast<size_t>(kChunkFrames) * 2) {}

void BroadcastSession::Start(const BroadcastSettings& settings) {
    Stop();
    settings_ = settings;
    schedule_.Reset();
    everOnAir_ = false;
    failure_ = Failure::None;
    state_ = BroadcastState::Connecting;
    attempting_ = false;
}

void BroadcastSession::Stop() {
    StopEncoder();
    if (state_ == BroadcastState::Connecting || state_ == BroadcastState::OnAir)
        parts_.connection->Close();
    state_ = BroadcastState::Off;
    failure_ = Failure::None;
}

void BroadcastSession::SetTitle(const QString& title) {
    title_ = title;
    titlePending_ = true;
}

std::chrono::milliseconds BroadcastSession::Step() {
    switch (state_) {
        case BroadcastState::Off:
            Drain(false);
            return kIdleInterval;
        case BroadcastState::Connecting:
            StepConnecting();
            break;
        case BroadcastState::OnAir:
            StepOnAir();
            break;
        case BroadcastState::Retrying:
            Drain(false);
            if (parts_.clock->Now() >= retryAt_) {
                state_ = BroadcastState::Connecting;
                attempting_ = false;
            }
            break;
    }
    return kPumpInterval;
}

void BroadcastSession::StepConnecting() {
    // What plays while connecting is not the stream's beginning.
    Drain(false);
    StreamConnection::Progress progress;
    if (!attempting_) {
        attempting_ = true;
        attemptStart_ = parts_.clock->Now();
        progress = parts_.connection->Open(settings_);
    } else {
        progress = parts_.connection->Poll();
    }
    if (progress == StreamConnection::Progress::Failed)
        return Fail(parts_.connection->LastFailure());
    if (progress == StreamConnection::Progress::Pending) {
        if (parts_.clock->Now() - attemptStart_ >= kConnectTimeout) Fail(Failure::NoAnswer);
        return;
    }
    if (!StartEncoder()) {
        StopEncoder();
        parts_.connection->Close();
        state_ = BroadcastState::Off;
        failure_ = Failure::Encoder;
        return;
    }
    state_ = BroadcastState::OnAir;
    failure_ = Failure::None;
    everOnAir_ = true;
    schedule_.Reset();
    lastProgress_ = parts_.clock->Now();
    // An Ogg stream carries the title from its start; MP3 titles go to the server.
    titlePending_ = settings_.format == StreamFormat::Mp3 && !title_.isEmpty();
}

void BroadcastSession::StepOnAir() {
    if (titlePending_) {
        titlePending_ = false;
        if (settings_.format == StreamFormat::Mp3) {
            parts_.connection->SetTitle(title_);
        } else {
            // Ogg titles live in the stream's comments: a new chained stream carries them.
            StopEncoder();
            if (!StartEncoder()) return Fail(Failure::Encoder);
        }
    }
    Drain(true);
    if (state_ != BroadcastState::OnAir) return;
    const size_t before = parts_.connection->Queued();
    const bool alive = parts_.connection->Poll() != StreamConnection::Progress::Failed;
    const size_t after = parts_.connection->Queued();
    if (!alive || sendFailed_) return Fail(Failure::Lost);
    const Clock::TimePoint now = parts_.clock->Now();
    if (after == 0 || after < before) lastProgress_ = now;
    if (now - lastProgress_ >= kStallTimeout) Fail(Failure::NoAnswer);
}

void BroadcastSession::Drain(bool send) {
    const size_t limit = static_cast<size_t>(BytesPerSecond(settings_)) * kQueueSeconds;
    for (;;) {
        const int frames = parts_.source->Read(buffer_.data(), kChunkFrames);
        if (frames <= 0) return;
        if (!send) continue;
        // A server that cannot keep up loses the mix, not the program's memory.
        if (parts_.connection->Queued() > limit) {
            dropped_ += frames;
            continue;
        }
        if (!parts_.encoder->Encode(buffer_.data(), frames)) return Fail(Failure::Encoder);
        if (sendFailed_) return;
    }
}

bool BroadcastSession::StartEncoder() {
    sendFailed_ = false;
    QString error;
    StreamConnection* connection = parts_.connection;
    encoding_ = parts_.encoder->Start(
        settings_.format, settings_.bitrate, rate_, title_,
        [this, connection](const uint8_t* data, size_t size) {
            if (!sendFailed_ && !connection->Send(data, size)) sendFailed_ = true;
        },
        &error);
    return encoding_;
}

void BroadcastSession::StopEncoder() {
    if (encoding_) parts_.encoder->Finish();
    encoding_ = false;
}

void BroadcastSession::Fail(Failure failure) {
    StopEncoder();
    parts_.connection->Close();
    failure_ = failure;
    // A wrong name, password or certificate does not mend itself; anything else may, once the
    // server is back or the other source has gone.
    const bool hopeless =
        failure == Failure::Encoder ||
        (!everOnAir_ && (failure == Failure::UnknownServer || failure == Failure::LoginRefused ||
                         failure == Failure::Untrusted));
    if (hopeless) {
        state_ = BroadcastState::Off;
        return;
    }
    state_ = BroadcastState::Retrying;
    retryDelay_ = schedule_.Next();
    retryAt_ = parts_.clock->Now() + retryDelay_;
}

QString FailureText(Failure failure, const BroadcastSettings& settings) {
    const QString where = QStringLiteral("%1:%2").arg(settings.server).arg(settings.port);
    switch (failure) {
        case Failure::None:
            return {};
        case Failure::UnknownServer:
            return QStringLiteral("Broadcast: the server name \"%1\" is not known.")
                .arg(settings.server);
        case Failure::Unreachable:
            return QStringLiteral("Broadcast: no server answers at %1.").arg(where);
        case Failure::LoginRefused:
            return QStringLiteral("Broadcast: the server at %1 refused the user name or password.")
                .arg(where);
        case Failure::MountTaken:
            return QStringLiteral("Broadcast: the mount point %1 is already taken on %2.")
                .arg(settings.mount, where);
        case Failure::Untrusted:
            return QStringLiteral(
                       "Broadcast: the server at %1 offers TLS with a certificate that cannot be "
                       "verified.")
                .arg(where);
        case Failure::NoAnswer:
            return QStringLiteral("Broadcast: the server at %1 stopped answering.").arg(where);
        case Failure::Lost:
            return QStringLiteral("Broadcast: the connection to %1 was lost.").arg(where);
        case Failure::Encoder:
            return QStringLiteral("Broadcast: the stream could not be encoded.");
    }
    return {};
}

QString StatusText(BroadcastState state, Failure failure, std::chrono::seconds retryDelay,
                   long long dropped, const BroadcastSettings& settings) {
    const QString where = QStringLiteral("%1:%2").arg(settings.server).arg(settings.port);
    switch (state) {
        case BroadcastState::Off:
            return FailureText(failure, settings);
        case BroadcastState::Connecting:
            return QStringLiteral("Broadcast: connecting to %1...").arg(where);
        case BroadcastState::OnAir: {
            QString text =
                QStringLiteral("Broadcast: on the air at %1%2.").arg(where, settings.mount);
            if (dropped > 0) text += QStringLiteral(" %1 frames dropped.").arg(dropped);
            return text;
        }
        case BroadcastState::Retrying:
            return QStringLiteral("%1 Retrying in %2 s.")
                .arg(FailureText(failure, settings))
                .arg(retryDelay.count());
    }
    return {};
}

}  // namespace corvane::broadcast
