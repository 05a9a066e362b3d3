#pragma once

#include <functional>
#include <utility>

#include "audio/decoder.h"

namespace corvane::testing {

// A decoder under the test's control: frame i of a "file" of `frames` frames carries
// `left(i)` on the left and `right(i)` on the right (by default the left's negation, so
// balance mistakes show), at 44.1 kHz.
class SignalDecoder : public audio::Decoder {
public:
    using Value = std::function<float(long long)>;

    SignalDecoder(long long frames, Value left, Value right = {})
        : frames_(frames), left_(std::move(left)), right_(std::move(right)) {}
    int Read(float* out, int frames) override {
        int n = 0;
        for (; n < frames && pos_ < frames_; ++n, ++pos_) {
            out[2 * n] = left_(pos_);
            out[2 * n + 1] = right_ ? right_(pos_) : -out[2 * n];
        }
        return n;
    }
    bool Seek(long long frame) override {
        if (frame < 0 || frame > frames_) return false;
        pos_ = frame;
        return true;
    }
    long long LengthFrames() const override { return frames_; }
    int Rate() const override { return 44100; }

private:
    long long frames_;
    Value left_;
    Value right_;
    long long pos_ = 0;
};

}  // namespace corvane::testing
