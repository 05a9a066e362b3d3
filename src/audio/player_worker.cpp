#include "audio/player_worker.h"

#include <algorithm>
#include <chrono>

#include "audio/channel.h"

namespace corvane::audio {

namespace {
// Decoded per step, so the audio thread and a waiting renderer see data early.
constexpr int kChunkFrames = 4096;
// Decoded before an open is reported, so Play finds sound at once without delaying the open.
constexpr int kPrefillFrames = 16384;
// How often a playing worker looks at its ring, which it tops up once a quarter of it is free
// (the ring still holds more than a second): decoding in long runs, not a few hundred frames
// at each look, and looking seldom keep two playing lines from costing a good share of a core.
constexpr auto kPollPeriod = std::chrono::milliseconds(100);
constexpr int kRefillFrames = kRingFrames / 4;
// Once the file is decoded to its end, how often it looks for the channel to have played it
// out, so the end is reported soon after it is heard.
constexpr auto kEndPollPeriod = std::chrono::milliseconds(25);
}  // namespace

void DataSignal::Notify() {
    {
        std::lock_guard lock(mutex_);
        ++count_;
    }
    cv_.notify_all();
}

uint64_t DataSignal::WaitPast(uint64_t seen, int timeoutMs) {
    std::unique_lock lock(mutex_);
    cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return count_ != seen; });
    return count_;
}

uint64_t DataSignal::Count() {
    std::lock_guard lock(mutex_);
    return count_;
}

PlayerWorker::PlayerWorker(Channel* channel, DecoderFactory factory, int rate, DataSignal* signal,
                           WorkerEvents* events)
    : channel_(channel),
      factory_(std::move(factory)),
      rate_(rate),
      signal_(signal),
      events_(events),
      thread_([this] { Run(); }) {}

PlayerWorker::~PlayerWorker() {
    {
        std::lock_guard lock(mutex_);
        requests_.quit = true;
    }
    cv_.notify_one();
    thread_.join();
}

void PlayerWorker::Open(const QString& path, uint64_t serial) {
    {
        std::lock_guard lock(mutex_);
        requests_.open = true;
        requests_.close = false;
        requests_.path = path;
        requests_.openSerial = serial;
        requests_.seek = false;  // a seek made before the open is about the old file
    }
    cv_.notify_one();
}

void PlayerWorker::Close() {
    {
        std::lock_guard lock(mutex_);
        requests_.close = true;
        requests_.open = false;
        requests_.seek = false;
    }
    cv_.notify_one();
}

void PlayerWorker::Seek(long long frame, uint64_t serial) {
    {
        std::lock_guard lock(mutex_);
        requests_.seek = true;
        requests_.seekFrame = frame;
        requests_.seekSerial = serial;
    }
    cv_.notify_one();
}

void PlayerWorker::Wake() {
    {
        std::lock_guard lock(mutex_);
        requests_.wake = true;
    }
    cv_.notify_one();
}

void PlayerWorker::Run() {
    for (;;) {
        Requests todo;
        {
            std::unique_lock lock(mutex_);
            auto pending = [this] {
                return requests_.quit || requests_.open || requests_.close || requests_.seek ||
                       requests_.wake;
            };
            if (Idle())
                cv_.wait(lock, pending);
            else
                cv_.wait_for(lock, ended_ ? kEndPollPeriod : kPollPeriod, pending);
            if (requests_.quit) return;
            todo = requests_;
            requests_.open = requests_.close = requests_.seek = requests_.wake = false;
        }
        if (todo.close) {
            decoder_.reset();
            stream_ = nullptr;
        }
        if (todo.open) DoOpen(todo.path, todo.openSerial);
        if (todo.seek) DoSeek(todo.seekFrame, todo.seekSerial);
        const bool asked = todo.open || todo.close || todo.seek || todo.wake;
        if (asked || stream_ == nullptr || stream_->ring.FreeFrames() >= kRefillFrames) {
            const uint32_t repeatChanges = channel_->RepeatChanges();
            Fill(kRingFrames);
            channel_->RepeatSeen(repeatChanges);
            signal_->Notify();
        }
        ReportEnd();
    }
}

// A stopped player's ring stays as full as the last fill left it, so nothing needs polling
// until a request comes (Play and RepeatCount changes wake the worker too).
bool PlayerWorker::Idle() const {
    if (decoder_ == nullptr) return true;
    return (!channel_->Playing() || channel_->Paused()) && channel_->EndedSerial() == reportedEnd_;
}

void PlayerWorker::DoOpen(const QString& path, uint64_t serial) {
    decoder_.reset();
    stream_ = nullptr;
    QString error;
    std::unique_ptr<Decoder> decoder = factory_(path, rate_, &error);
    if (decoder == nullptr) {
        channel_->Settle(serial);
        signal_->Notify();
        events_->OpenFailed(serial, error.isEmpty() ? QStringLiteral("cannot open") : error);
        return;
    }
    decoder_ = std::move(decoder);
    openSerial_ = serial;
    length_ = std::max(0LL, decoder_->LengthFrames());
    StartStream(0, serial);
    Fill(kPrefillFrames);
    events_->Opened(serial, length_);
}

void PlayerWorker::DoSeek(long long frame, uint64_t serial) {
    if (decoder_ == nullptr) return;
    frame = std::clamp(frame, 0LL, length_);
    if (decoder_->Seek(frame)) {
        StartStream(frame, serial);
    } else if (frame > 0 && frame >= length_) {
        // The stated length overshoots what the decoder can reach: the play ends there, as it
        // does at the end.
        StartStream(frame, serial, true);
    } else {
        channel_->Settle(serial);
        signal_->Notify();
        events_->SeekFailed(serial);
    }
}

void PlayerWorker::StartStream(long long frame, uint64_t serial, bool atEnd) {
    stream_ = channel_->AcquireFreeStream();
    stream_->Reset(frame, serial);
    if (atEnd) stream_->endAt.store(0, std::memory_order_release);
    pass_ = 1;
    passFrames_ = 0;
    passFromStart_ = frame == 0;
    ended_ = atEnd;
    channel_->Publish(stream_);
    channel_->Settle(serial);
    signal_->Notify();
}

void PlayerWorker::Fill(int maxFrames) {
    if (decoder_ == nullptr || stream_ == nullptr) return;
    if (ended_ && !Loop()) return;
    int written = 0;
    while (written < maxFrames && !stream_->wraps.Full()) {
        int space = 0;
        float* dst = stream_->ring.WriteRegion(&space);
        const int want = std::min({space, kChunkFrames, maxFrames - written});
        if (want <= 0) break;
        const int got = std::max(0, decoder_->Read(dst, want));
        if (got > 0) {
            stream_->ring.CommitWrite(got);
            written += got;
            passFrames_ += got;
            signal_->Notify();
        }
        if (got < want) {
            // End of this pass. An empty pass ends too, or a silent file would loop forever.
            ended_ = true;
            if (passFromStart_ && passFrames_ != length_) {
                length_ = passFrames_;
                events_->LengthFound(openSerial_, length_);
            }
            stream_->endAt.store(stream_->ring.WriteIndex(), std::memory_order_release);
            signal_->Notify();
            if (!Loop()) break;
        }
    }
}

// At the end of a pass with repeats left: start the file over, gaplessly, and mark where.
// Also turns an end already handed to the audio thread back into a loop when RepeatCount went
// up before it was heard (the loop button pressed during the last second of a song).
bool PlayerWorker::Loop() {
    if (passFrames_ == 0 || pass_ >= channel_->RepeatCount()) return false;
    int64_t end = stream_->endAt.load(std::memory_order_acquire);
    if (end == Stream::kEndHeard) return false;
    if (!stream_->endAt.compare_exchange_strong(end, Stream::kNoEnd, std::memory_order_acq_rel))
        return false;
    if (!decoder_->Seek(0) || !stream_->wraps.Push(end)) {
        stream_->endAt.store(end, std::memory_order_release);
        return false;
    }
    ++pass_;
    passFrames_ = 0;
    passFromStart_ = true;
    ended_ = false;
    return true;
}

void PlayerWorker::ReportEnd() {
    const uint32_t ended = channel_->EndedSerial();
    if (ended == reportedEnd_) return;
    reportedEnd_ = ended;
    events_->Ended(ended);
}

}  // namespace corvane::audio
