#include "audio/overview.h"

#include <algorithm>
#include <cmath>

#include "audio/decoder.h"

namespace corvane::audio {

namespace {

// Frames read for each column of a sampled overview: about 46 ms at 44.1 kHz, two MPEG audio
// frames, so the one decoded without its bit reservoir after the seek is not all there is.
constexpr int kWindowFrames = 2048;
// Columns shorter than this many windows are decoded whole.
constexpr long long kSampleAbove = 3;
// Frames per peak kept while decoding whole, before the peaks are gathered into columns.
constexpr int kBlockFrames = 1024;

bool Stopped(const std::atomic<bool>* stop) {
    return stop != nullptr && stop->load(std::memory_order_relaxed);
}

float PeakOf(const float* samples, int frames) {
    float peak = 0.0f;
    for (int i = 0; i < 2 * frames; ++i) peak = std::max(peak, std::fabs(samples[i]));
    return peak;
}

uint8_t Level(float peak) {
    return static_cast<uint8_t>(std::lround(std::clamp(peak, 0.0f, 1.0f) * 255.0f));
}

// One window per column; empty when the decoder has no quick seek.
OverviewPeaks Sampled(Decoder& decoder, long long length, const std::atomic<bool>* stop) {
    OverviewPeaks peaks(kOverviewBins, 0);
    std::vector<float> window(2 * kWindowFrames);
    for (int bin = 0; bin < kOverviewBins; ++bin) {
        if (Stopped(stop)) return {};
        const long long middle = (2 * bin + 1) * length / (2 * kOverviewBins);
        if (!decoder.SeekNear(middle - kWindowFrames / 2)) {
            if (bin == 0) return {};
            break;  // past what the file holds: the rest stays silent
        }
        const int got = decoder.Read(window.data(), kWindowFrames);
        peaks[bin] = Level(PeakOf(window.data(), got));
    }
    return peaks;
}

// Every frame; the columns split what was really decoded, whatever the header said.
OverviewPeaks Whole(Decoder& decoder, const std::atomic<bool>* stop) {
    std::vector<float> blocks;
    std::vector<float> buffer(2 * kBlockFrames);
    for (;;) {
        if (Stopped(stop)) return {};
        const int got = decoder.Read(buffer.data(), kBlockFrames);
        if (got <= 0) break;
        blocks.push_back(PeakOf(buffer.data(), got));
    }
    if (blocks.empty()) return {};
    OverviewPeaks peaks(kOverviewBins, 0);
    const auto count = static_cast<long long>(blocks.size());
    for (int bin = 0; bin < kOverviewBins; ++bin) {
        const long long first = bin * count / kOverviewBins;
        const long long last = std::max(first + 1, (bin + 1) * count / kOverviewBins);
        peaks[bin] = Level(*std::max_element(blocks.begin() + first, blocks.begin() + last));
    }
    return peaks;
}

}  // namespace

OverviewPeaks ComputeOverview(Decoder& decoder, const std::atomic<bool>* stop) {
    const long long length = decoder.LengthFrames();
    if (length / kOverviewBins >= kSampleAbove * kWindowFrames) {
        OverviewPeaks peaks = Sampled(decoder, length, stop);
        if (!peaks.empty() || Stopped(stop)) return peaks;
        if (!decoder.Seek(0)) return {};
    }
    return Whole(decoder, stop);
}

}  // namespace corvane::audio
