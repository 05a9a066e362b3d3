#include "meters/meter_bank.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace corvane::meters {

namespace {
// Smaller moves than this are not worth a repaint: under a pixel on a meter 100 pixels high
// (a steady tone would otherwise repaint on every reading).
constexpr double kVisibleDb = 0.5;
}  // namespace

double ToDb(float peak) {
    if (!(peak > 0.0f)) return kFloorDb;
    return std::max(kFloorDb, 20.0 * std::log10(static_cast<double>(peak)));
}

double ScaleFraction(double db) { return std::clamp((db - kFloorDb) / -kFloorDb, 0.0, 1.0); }

MeterChannel::Change MeterChannel::Update(float peak, int elapsedMs) {
    const double before[] = {level_, hold_};
    const bool clippedBefore = clipped_;
    const double db = ToDb(peak);
    const double fall = kFallDbPerSecond * elapsedMs / 1000.0;
    level_ = std::max(std::max(level_ - fall, kFloorDb), db);
    if (db >= hold_) {
        hold_ = db;
        holdLeftMs_ = kHoldMs;
    } else {
        // The hold mark falls for whatever part of the time its hold was over.
        const int held = std::min(holdLeftMs_, elapsedMs);
        holdLeftMs_ -= held;
        const double holdFall = kFallDbPerSecond * (elapsedMs - held) / 1000.0;
        hold_ = std::max(hold_ - holdFall, level_);
    }
    if (peak >= kClipPeak) clipped_ = true;
    if (level_ - before[0] >= kVisibleDb || hold_ - before[1] >= kVisibleDb ||
        clipped_ != clippedBefore || (Resting() && (before[0] > kFloorDb || before[1] > kFloorDb)))
        return Change::kNow;
    if (before[0] - level_ >= kVisibleDb || before[1] - hold_ >= kVisibleDb) return Change::kFall;
    return Change::kNone;
}

MeterBank::MeterBank(std::function<bool()> playing, QObject* parent)
    : QObject(parent), playing_(std::move(playing)) {
    timer_.setInterval(kIntervalMs);
    connect(&timer_, &QTimer::timeout, this,
            [this] { Step(static_cast<int>(std::min<qint64>(clock_.restart(), 1000))); });
}

int MeterBank::Add(int channels, Source source) {
    meters_.push_back(
        Meter{std::vector<MeterChannel>(std::clamp(channels, 1, 2)), std::move(source)});
    return Count() - 1;
}

void MeterBank::ResetClip(int meter) {
    bool changed = false;
    for (MeterChannel& channel : meters_.at(meter).channels) changed |= channel.ResetClip();
    if (changed) Q_EMIT Changed(meter);
}

void MeterBank::Wake() {
    if (timer_.isActive()) return;
    // What was published while the meters slept is old news.
    std::array<float, 2> peaks{};
    for (Meter& meter : meters_) meter.source(peaks.data());
    clock_.start();
    timer_.start();
}

void MeterBank::Step(int elapsedMs) {
    bool quiet = true;
    for (int i = 0; i < Count(); ++i) {
        Meter& meter = meters_[i];
        std::array<float, 2> peaks{};
        meter.source(peaks.data());
        MeterChannel::Change change = MeterChannel::Change::kNone;
        for (size_t c = 0; c < meter.channels.size(); ++c) {
            change = std::max(change, meter.channels[c].Update(peaks[c], elapsedMs));
            quiet = quiet && meter.channels[c].Resting();
        }
        if (change == MeterChannel::Change::kNow ||
            (change == MeterChannel::Change::kFall && ++meter.fallsHeld >= kFallEvery)) {
            meter.fallsHeld = 0;
            Q_EMIT Changed(i);
        }
    }
    // Stopped only while nothing plays: a song that is silent for a while still wakes nobody.
    if (quiet && !playing_()) timer_.stop();
}

}  // namespace corvane::meters
