#include "audio/channel.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace corvane::audio {

void Stream::Reset(int64_t start, uint64_t requestSerial) {
    ring.Reset();
    wraps.Reset();
    endAt.store(kNoEnd, std::memory_order_relaxed);
    startFrame = start;
    serial = requestSerial;
}

void PublishPeak(std::atomic<float>& held, float peak) noexcept {
    // The reader may reset it in between: then this buffer's peak is lost, or kept once more.
    if (peak > held.load(std::memory_order_relaxed)) held.store(peak, std::memory_order_relaxed);
}

float LevelToGain(int hundredthsDb) {
    if (hundredthsDb <= -10000) return 0.0f;
    if (hundredthsDb >= 0) return 1.0f;
    return static_cast<float>(std::pow(10.0, hundredthsDb / 2000.0));
}

void Channel::SetLevels(int volume, int balance) {
    const float gain = LevelToGain(volume);
    targetLeft_.store(balance > 0 ? gain * LevelToGain(-balance) : gain, std::memory_order_relaxed);
    targetRight_.store(balance < 0 ? gain * LevelToGain(balance) : gain, std::memory_order_relaxed);
}

uint32_t Channel::StartPlaying(const Channel* leader, int64_t leaderFrame) {
    startAt_.store(leaderFrame, std::memory_order_relaxed);
    startLeader_.store(leader, std::memory_order_relaxed);
    paused_.store(false, std::memory_order_relaxed);
    const uint32_t serial = playSerial_.load(std::memory_order_relaxed) + 1;
    playSerial_.store(serial, std::memory_order_release);
    playing_.store(true, std::memory_order_release);
    return serial;
}

Stream* Channel::AcquireFreeStream() {
    while (Stream* const* retired = retired_.Peek()) {
        for (size_t i = 0; i < pool_.size(); ++i)
            if (pool_[i].get() == *retired) busy_[i] = false;
        retired_.Pop();
    }
    for (size_t i = 0; i < pool_.size(); ++i) {
        if (!busy_[i]) {
            busy_[i] = true;
            // Rings are made on the worker when first needed: a player never opened holds none,
            // and the audio thread only ever sees published streams.
            if (pool_[i] == nullptr) pool_[i] = std::make_unique<Stream>();
            return pool_[i].get();
        }
    }
    return nullptr;  // cannot happen: at most one current and one pending stream
}

void Channel::Publish(Stream* stream) {
    Stream* unused = pending_.exchange(stream, std::memory_order_acq_rel);
    for (size_t i = 0; i < pool_.size(); ++i)
        if (unused != nullptr && pool_[i].get() == unused) busy_[i] = false;
}

void Channel::AdoptPending() noexcept {
    Stream* next = pending_.exchange(nullptr, std::memory_order_acq_rel);
    if (next == nullptr) return;
    if (current_ != nullptr) retired_.Push(current_);
    current_ = next;
    pass_ = 1;
    position_.store(next->startFrame, std::memory_order_release);
    adopted_.store(next->serial, std::memory_order_release);
}

bool Channel::EndOfPlay(Stream* stream, int64_t readIndex) noexcept {
    int64_t end = readIndex;
    if (!stream->endAt.compare_exchange_strong(end, Stream::kEndHeard, std::memory_order_acq_rel))
        return false;  // the worker turned the end into a loop just now
    Finish();
    return true;
}

void Channel::Finish() noexcept {
    // The serial first: a worker that sees the player stopped must also see the end.
    endedSerial_.store(playSerial_.load(std::memory_order_relaxed), std::memory_order_release);
    playing_.store(false, std::memory_order_release);
}

int Channel::FramesBeforeStart(int frames) noexcept {
    if (waitLeader_ == nullptr) return 0;
    const int64_t offset = waitAt_ - waitLeader_->bufferStart_;
    if (offset >= frames) return frames;
    waitLeader_ = nullptr;
    return offset > 0 ? static_cast<int>(offset) : 0;
}

namespace {
// The next `frames` frames of `stream` are decoded, or its end is known.
bool StreamReady(Stream& stream, int frames) {
    return stream.endAt.load(std::memory_order_acquire) != Stream::kNoEnd ||
           stream.ring.AvailableFrames() >= frames || stream.wraps.Full();
}
}  // namespace

bool Channel::SeekComing() const noexcept {
    return pending_.load(std::memory_order_acquire) != nullptr ||
           settled_.load(std::memory_order_acquire) != requested_.load(std::memory_order_acquire);
}

bool Channel::Held() const noexcept {
    return paused_.load(std::memory_order_acquire) || SeekComing();
}

// Something of this play has been heard and the next frames would be too: a new stream then
// takes over only after a fade-out.
bool Channel::HeardNow() const noexcept {
    return playing_.load(std::memory_order_acquire) && wasPlaying_ &&
           heardPlaySerial_ == playSerial_.load(std::memory_order_acquire) && envelope_ > 0.0f &&
           waitLeader_ == nullptr;
}

bool Channel::MixInto(float* out, int frames, float* cue) noexcept {
    const float cueTarget = cue != nullptr && cue_.load(std::memory_order_relaxed) ? 1.0f : 0.0f;
    if (!playing_.load(std::memory_order_acquire)) {
        AdoptPending();
        wasPlaying_ = false;
        cueGain_ = cueTarget;
        return true;
    }
    const float targetLeft = targetLeft_.load(std::memory_order_relaxed);
    const float targetRight = targetRight_.load(std::memory_order_relaxed);
    const uint32_t playSerial = playSerial_.load(std::memory_order_acquire);
    if (!wasPlaying_ || playSerial != heardPlaySerial_) {
        // A start is not a level change: begin at the set level, at once unless a seek is
        // still on its way.
        AdoptPending();
        gainLeft_ = targetLeft;
        gainRight_ = targetRight;
        envelope_ = Held() ? 0.0f : 1.0f;
        cueGain_ = cueTarget;
        wasPlaying_ = true;
        heardPlaySerial_ = playSerial;
        waitLeader_ = startLeader_.load(std::memory_order_relaxed);
        waitAt_ = startAt_.load(std::memory_order_relaxed);
    }
    const int silent = FramesBeforeStart(frames);
    if (silent == frames) {
        AdoptPending();  // nothing heard yet: a seek before the start needs no fade
        return true;
    }
    if (startNoted_ != heardPlaySerial_) {
        startNoted_ = heardPlaySerial_;
        NoteStart(bufferMaster_ + silent, position_.load(std::memory_order_relaxed));
    }
    out += 2 * static_cast<long>(silent);
    if (cue != nullptr) cue += 2 * static_cast<long>(silent);
    frames -= silent;
    const float stepLeft = (targetLeft - gainLeft_) / static_cast<float>(frames);
    const float stepRight = (targetRight - gainRight_) / static_cast<float>(frames);
    const float stepCue = (cueTarget - cueGain_) / static_cast<float>(frames);
    // Off and not fading out: the cue bus costs nothing.
    if (cueTarget == 0.0f && cueGain_ == 0.0f) cue = nullptr;
    constexpr float kFadeStep = 1.0f / kSeekFadeFrames;

    Stream* s = current_;
    int64_t position = position_.load(std::memory_order_relaxed);
    int done = 0;
    bool ended = false;
    float peak = 0.0f;
    while (done < frames) {
        Stream* next = pending_.load(std::memory_order_acquire);
        if (envelope_ == 0.0f && next != nullptr && StreamReady(*next, 1)) {
            // Faded out, and the new place has sound: the seek's stream takes over here.
            position_.store(position, std::memory_order_relaxed);
            AdoptPending();
            s = current_;
            position = position_.load(std::memory_order_relaxed);
        }
        const bool held = Held();
        if (s == nullptr || (held && envelope_ == 0.0f)) break;  // silent; the position holds
        int available = 0;
        // Load the ring before the markers: a marker is pushed before the frames after it.
        const float* src = s->ring.ReadRegion(&available);
        const int64_t r = s->ring.ReadIndex();
        const int64_t* wrap = s->wraps.Peek();
        if (wrap != nullptr && *wrap == r) {
            // Repeats taken back after the worker had decoded further passes: the pass just
            // heard was the last.
            if (pass_ >= repeatCount_.load(std::memory_order_relaxed)) {
                Finish();
                ended = true;
                break;
            }
            ++pass_;
            position = 0;
            s->wraps.Pop();
            continue;
        }
        const int64_t end = s->endAt.load(std::memory_order_acquire);
        if (end == r) {
            if (SeekComing()) {
                envelope_ = 0.0f;  // the old place ran out while fading: the play goes on there
                continue;
            }
            if (EndOfPlay(s, r)) {
                ended = true;
                break;
            }
            continue;
        }
        int64_t n = std::min(available, frames - done);
        if (wrap != nullptr) n = std::min(n, *wrap - r);
        if (end != Stream::kNoEnd && end != Stream::kEndHeard) n = std::min(n, end - r);
        // A fade-out stops where it reaches silence, so the swap happens at that frame.
        if (held) n = std::min<int64_t>(n, std::lround(envelope_ * kSeekFadeFrames));
        if (n <= 0) break;
        const float fadeStep = held ? -kFadeStep : kFadeStep;
        float envelope = envelope_;
        for (int i = 0; i < n; ++i) {
            const float k = static_cast<float>(done + i + 1);
            envelope = std::clamp(envelope + fadeStep, 0.0f, 1.0f);
            const float left = src[2 * i] * (gainLeft_ + stepLeft * k) * envelope;
            const float right = src[2 * i + 1] * (gainRight_ + stepRight * k) * envelope;
            out[2 * (done + i)] += left;
            out[2 * (done + i) + 1] += right;
            peak = std::max(peak, std::max(std::fabs(left), std::fabs(right)));
            if (cue != nullptr) {
                // Pre-listen takes the seek and pause fades too, but not the levels.
                const float gain = (cueGain_ + stepCue * k) * envelope;
                cue[2 * (done + i)] += src[2 * i] * gain;
                cue[2 * (done + i) + 1] += src[2 * i + 1] * gain;
            }
        }
        envelope_ = envelope;
        s->ring.CommitRead(static_cast<int>(n));
        done += static_cast<int>(n);
        position += n;
    }
    position_.store(position, std::memory_order_release);
    PublishPeak(peak_, peak);
    gainLeft_ = targetLeft;
    gainRight_ = targetRight;
    cueGain_ = cueTarget;
    return ended || done == frames || Held();
}

// A sequence lock without fences (which ThreadSanitizer cannot follow): the release stores of
// the fields keep the odd count before them, and the acquire loads keep the second look at the
// count after them, so a reader that saw any new field sees the count moved and tries again.
void Channel::NoteStart(int64_t masterFrame, int64_t fileFrame) noexcept {
    const uint32_t seq = startSeq_.load(std::memory_order_relaxed);
    startSeq_.store(seq + 1, std::memory_order_relaxed);
    startMaster_.store(masterFrame, std::memory_order_release);
    startFile_.store(fileFrame, std::memory_order_release);
    startSeq_.store(seq + 2, std::memory_order_release);
}

PlayStart Channel::LastStart() const {
    for (;;) {
        const uint32_t seq = startSeq_.load(std::memory_order_acquire);
        if ((seq & 1) != 0) {
            std::this_thread::yield();
            continue;
        }
        PlayStart start{seq / 2, startMaster_.load(std::memory_order_acquire),
                        startFile_.load(std::memory_order_acquire)};
        if (startSeq_.load(std::memory_order_relaxed) == seq) return start;
    }
}

bool Channel::ReadyFor(int frames) noexcept {
    if (settled_.load(std::memory_order_acquire) != requested_.load(std::memory_order_acquire) ||
        repeatSeen_.load(std::memory_order_acquire) !=
            repeatChanges_.load(std::memory_order_acquire))
        return false;
    if (HeardNow()) {
        // The old stream fades out on what it holds; the new one must be ready behind it.
        if (Stream* next = pending_.load(std::memory_order_acquire))
            return StreamReady(*next, frames);
    } else {
        AdoptPending();
    }
    if (!playing_.load(std::memory_order_acquire) || current_ == nullptr) return true;
    return StreamReady(*current_, frames);
}

}  // namespace corvane::audio
