#pragma once

#include <QtGlobal>
#include <functional>

namespace corvane::ombrel {

enum class RangeField { Max, Min, Value };

// The three whole numbers behind a progress bar and the share of Value between Min and Max.
// The setters widen the range to keep Value inside it and clamp a Value outside it; every
// write is reported through the hook, inner writes of the cascade included.
class ProgressRange {
public:
    using WriteHook = std::function<void(RangeField)>;

    explicit ProgressRange(WriteHook onWrite);

    qint32 Max() const { return max_; }
    qint32 Min() const { return min_; }
    qint32 Value() const { return value_; }
    double Fraction() const { return fraction_; }

    // False (nothing changed) when the range cannot be widened: a Min of the largest 32-bit
    // value leaves no room for a Max above it.
    [[nodiscard]] bool SetMax(qint32 m);
    // False (nothing changed) when Max is the smallest 32-bit value.
    [[nodiscard]] bool SetMin(qint32 m);
    void SetValue(qint32 v);

    // Restores saved numbers as they are: no checks, no hook, the fraction left alone.
    void Load(qint32 max, qint32 min, qint32 value);

    // Recomputes the fraction; false (fraction kept) when the range is empty or a difference
    // does not fit in 32 bits.
    bool UpdateFraction();

private:
    void Write(qint32& field, qint32 v, RangeField which);

    qint32 max_ = 100;
    qint32 min_ = 0;
    qint32 value_ = 50;
    double fraction_ = 0.0;
    WriteHook onWrite_;
};

}  // namespace corvane::ombrel
