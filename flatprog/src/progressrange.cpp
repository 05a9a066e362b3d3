#include "progressrange.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <utility>

namespace corvane::ombrel {

namespace {

constexpr qint32 kInt32Max = std::numeric_limits<qint32>::max();
constexpr qint32 kInt32Min = std::numeric_limits<qint32>::min();

std::optional<qint32> Difference32(qint32 a, qint32 b) {
    const std::int64_t d = std::int64_t{a} - std::int64_t{b};
    if (d < kInt32Min || d > kInt32Max) {
        return std::nullopt;
    }
    return static_cast<qint32>(d);
}

}  // namespace

ProgressRange::ProgressRange(WriteHook onWrite) : onWrite_(std::move(onWrite)) {}

void ProgressRange::Write(qint32& field, qint32 v, RangeField which) {
    field = v;
    if (onWrite_) {
        onWrite_(which);
    }
}

bool ProgressRange::SetMax(qint32 m) {
    // Min + 1 below would overflow; refusing before the write keeps the state as it was.
    if (min_ == kInt32Max) {
        return false;
    }
    Write(max_, m, RangeField::Max);
    // Neither inner call can fail: Min is unchanged and below the largest value.
    if (min_ >= max_) {
        (void)SetMax(min_ + 1);
    }
    if (max_ < value_) {
        (void)SetMax(value_);
    }
    UpdateFraction();
    return true;
}

bool ProgressRange::SetMin(qint32 m) {
    if (max_ == kInt32Min) {
        return false;
    }
    Write(min_, m, RangeField::Min);
    if (min_ >= max_) {
        (void)SetMin(max_ - 1);
    }
    if (value_ < min_) {
        (void)SetMin(value_);
    }
    UpdateFraction();
    return true;
}

void ProgressRange::SetValue(qint32 v) {
    // Clamped in two plain steps rather than by calling itself: a loaded range with Min above
    // Max would otherwise bounce Value between the two ends for ever.
    Write(value_, v, RangeField::Value);
    if (value_ > max_) {
        Write(value_, max_, RangeField::Value);
    }
    if (value_ < min_) {
        Write(value_, min_, RangeField::Value);
    }
    UpdateFraction();
}

void ProgressRange::Load(qint32 max, qint32 min, qint32 value) {
    max_ = max;
    min_ = min;
    value_ = value;
}

bool ProgressRange::UpdateFraction() {
    const std::optional<qint32> done = Difference32(value_, min_);
    const std::optional<qint32> span = Difference32(max_, min_);
    if (!done || !span || *span == 0) {
        return false;
    }
    fraction_ = static_cast<double>(*done) / static_cast<double>(*span);
    return true;
}

}  // namespace corvane::ombrel
