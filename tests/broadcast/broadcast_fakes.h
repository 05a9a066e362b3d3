#pragma once

#include <deque>
#include <vector>

#include "broadcast/broadcast_types.h"

namespace corvane::broadcast::testing {

class FakeClock : public Clock {
public:
    TimePoint Now() const override { return now; }
    void Advance(std::chrono::milliseconds by) { now += by; }
    TimePoint now{};
};

// Answers each Open with the next scripted outcome; Connected once the script runs out.
class FakeConnection : public StreamConnection {
public:
    struct Outcome {
        Progress progress;
        Failure failure = Failure::None;
    };
    std::deque<Outcome> opens;
    bool broken = false;      // Send and Poll fail from now on
    bool pending = false;     // Poll keeps answering Pending
    size_t queued = 0;        // what the server has not taken
    bool serverReads = true;  // Poll empties the queue
    std::vector<QString> titles;
    size_t sent = 0;
    bool open = false;
    Failure failure = Failure::None;

    Progress Open(const BroadcastSettings&) override {
        open = true;
        if (opens.empty()) return Progress::Connected;
        const Outcome outcome = opens.front();
        opens.pop_front();
        failure = outcome.failure;
        return outcome.progress;
    }
    Progress Poll() override {
        if (broken) {
            failure = Failure::Lost;
            return Progress::Failed;
        }
        if (serverReads) queued = 0;
        return pending ? Progress::Pending : Progress::Connected;
    }
    bool Send(const uint8_t*, size_t size) override {
        if (broken) return false;
        sent += size;
        if (!serverReads) queued += size;
        return true;
    }
    size_t Queued() override { return queued; }
    bool SetTitle(const QString& title) override {
        titles.push_back(title);
        return true;
    }
    void Close() override { open = false; }
    Failure LastFailure() const override { return failure; }
};

// One byte out per frame in.
class FakeEncoder : public StreamEncoder {
public:
    int starts = 0;
    QString lastTitle;
    Sink sink;
    bool Start(StreamFormat, int, int, const QString& title, Sink s, QString*) override {
        ++starts;
        lastTitle = title;
        sink = std::move(s);
        return true;
    }
    bool Encode(const float*, int count) override {
        const std::vector<uint8_t> bytes(static_cast<size_t>(count));
        sink(bytes.data(), bytes.size());
        return true;
    }
    void Finish() override {}
};

// Hands out `pending` frames of silence.
class FakeSource : public FrameSource {
public:
    int pending = 0;
    int Read(float* out, int maxFrames) override {
        const int n = std::min(pending, maxFrames);
        std::fill(out, out + 2 * n, 0.0f);
        pending -= n;
        return n;
    }
    long long Dropped() const override { return 0; }
};

}  // namespace corvane::broadcast::testing
