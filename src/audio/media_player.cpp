#include "audio/media_player.h"

#include <QMetaObject>
#include <algorithm>
#include <cmath>

#include "audio/channel.h"

namespace corvane::audio {

MediaPlayer::MediaPlayer(int index, Channel* channel, DecoderFactory factory, int rate,
                         DataSignal* signal, QObject* parent)
    : QObject(parent), index_(index), channel_(channel), rate_(rate) {
    if (channel_ != nullptr)
        worker_ = std::make_unique<PlayerWorker>(channel_, std::move(factory), rate, signal,
                                                 static_cast<WorkerEvents*>(this));
}

MediaPlayer::~MediaPlayer() {
    if (channel_ != nullptr) channel_->Stop();
    worker_.reset();  // joins: no event can arrive for this object afterwards
}

uint64_t MediaPlayer::NextRequest() {
    channel_->Request(++serial_);
    return serial_;
}

void MediaPlayer::OpenFile(const QString& path) {
    if (channel_ == nullptr) return;
    startWhenOpen_ = false;
    atEnd_ = false;
    CancelScheduledStart();
    if (playState_ != kStopped) {
        channel_->Stop();
        SetPlayState(kStopped);
    }
    fileName_ = path;
    lengthFrames_ = 0;
    requestedPosition_ = 0.0;
    if (path.isEmpty()) {
        worker_->Close();
        SetOpenState(kClosed);
        return;
    }
    openSerial_ = NextRequest();
    worker_->Open(path, openSerial_);
    SetOpenState(kOpening);
}

void MediaPlayer::Play() {
    if (openState_ == kOpening) startWhenOpen_ = true;
    if (openState_ != kOpen || playState_ == kPlaying) return;
    if (playState_ == kPaused) {
        channel_->SetPaused(false);
        worker_->Wake();
        SetPlayState(kPlaying);
        return;
    }
    // A file that played to its end starts over, as the end has nothing left to play.
    if (atEnd_) SetPosition(0.0);
    scheduled_ = false;
    playSerial_ = channel_->Play();
    worker_->Wake();  // a stopped worker sleeps until asked
    SetPlayState(kPlaying);
}

bool MediaPlayer::PlayAfter(const MediaPlayer& current, double remainingSeconds) {
    if (channel_ == nullptr || current.channel_ == nullptr || &current == this ||
        openState_ != kOpen || playState_ != kStopped || current.openState_ != kOpen ||
        current.playState_ != kPlaying || !std::isfinite(remainingSeconds) ||
        remainingSeconds < 0.0)
        return false;
    const long long at = current.lengthFrames_ - std::llround(remainingSeconds * current.rate_);
    if (at <= 0) return false;
    if (atEnd_) SetPosition(0.0);
    atEnd_ = false;
    scheduled_ = true;
    playSerial_ = channel_->PlayAfter(current.channel_, at);
    worker_->Wake();
    return true;
}

void MediaPlayer::CancelScheduledStart() {
    if (!scheduled_) return;
    scheduled_ = false;
    channel_->Stop();
}

void MediaPlayer::Stop() {
    startWhenOpen_ = false;
    CancelScheduledStart();
    if (channel_ == nullptr || playState_ == kStopped) return;
    channel_->Stop();
    SetPlayState(kStopped);
}

void MediaPlayer::Pause() {
    if (channel_ == nullptr || playState_ != kPlaying || scheduled_) return;
    channel_->SetPaused(true);
    SetPlayState(kPaused);
}

double MediaPlayer::Position() const {
    if (openState_ != kOpen) return 0.0;
    if (channel_->AdoptedSerial() != serial_ && failedSeek_ != serial_) return requestedPosition_;
    return static_cast<double>(channel_->PositionFrames()) / rate_;
}

void MediaPlayer::SetPosition(double seconds) {
    if (openState_ != kOpen || !std::isfinite(seconds)) return;
    const long long frame =
        std::clamp(std::llround(std::max(0.0, seconds) * rate_), 0LL, lengthFrames_);
    atEnd_ = false;
    requestedPosition_ = static_cast<double>(frame) / rate_;
    worker_->Seek(frame, NextRequest());
}

double MediaPlayer::Duration() const {
    return openState_ == kOpen ? static_cast<double>(lengthFrames_) / rate_ : 0.0;
}

void MediaPlayer::SetRepeatCount(int count) {
    repeatCount_ = std::max(1, count);
    if (channel_ == nullptr) return;
    channel_->SetRepeatCount(repeatCount_);
    worker_->Wake();
}

void MediaPlayer::SetVolume(int hundredthsDb) {
    volume_ = std::clamp(hundredthsDb, -10000, 0);
    if (channel_ != nullptr) channel_->SetLevels(volume_, balance_);
}

void MediaPlayer::SetBalance(int hundredthsDb) {
    balance_ = std::clamp(hundredthsDb, -10000, 10000);
    if (channel_ != nullptr) channel_->SetLevels(volume_, balance_);
}

void MediaPlayer::SetOpenState(int state) {
    const int old = openState_;
    openState_ = state;
    if (old != state) Q_EMIT OpenStateChanged(index_, old, state);
}

void MediaPlayer::SetPlayState(int state) {
    const int old = playState_;
    playState_ = state;
    if (old != state) Q_EMIT PlayStateChanged(index_, old, state);
}

void MediaPlayer::Opened(uint64_t serial, long long lengthFrames) {
    QMetaObject::invokeMethod(
        this,
        [this, serial, lengthFrames] {
            if (serial != openSerial_ || openState_ != kOpening) return;
            lengthFrames_ = lengthFrames;
            lastError_.clear();
            SetOpenState(kOpen);
            if (autoStart_ || startWhenOpen_) Play();
            startWhenOpen_ = false;
        },
        Qt::QueuedConnection);
}

void MediaPlayer::OpenFailed(uint64_t serial, const QString& error) {
    QMetaObject::invokeMethod(
        this,
        [this, serial, error] {
            if (serial != openSerial_ || openState_ != kOpening) return;
            lastError_ = error;
            fileName_.clear();
            startWhenOpen_ = false;
            SetOpenState(kClosed);
        },
        Qt::QueuedConnection);
}

void MediaPlayer::SeekFailed(uint64_t serial) {
    QMetaObject::invokeMethod(
        this, [this, serial] { failedSeek_ = serial; }, Qt::QueuedConnection);
}

void MediaPlayer::Ended(uint32_t playSerial) {
    QMetaObject::invokeMethod(
        this,
        [this, playSerial] {
            if (playSerial != playSerial_) return;
            scheduled_ = false;
            atEnd_ = true;
            SetPlayState(kStopped);
        },
        Qt::QueuedConnection);
}

void MediaPlayer::LengthFound(uint64_t openSerial, long long lengthFrames) {
    QMetaObject::invokeMethod(
        this,
        [this, openSerial, lengthFrames] {
            if (openSerial == openSerial_) lengthFrames_ = lengthFrames;
        },
        Qt::QueuedConnection);
}

}  // namespace corvane::audio
