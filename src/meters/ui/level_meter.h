#pragma once

#include <QColor>
#include <QWidget>

namespace corvane::meters {

class MeterBank;

// One meter of a bank drawn as thin vertical bars, one per channel: the level from the bottom
// up in the LED colour with its hold mark, the clip light on top in the highlight colour.
// A click puts the clip light out.
class LevelMeter : public QWidget {
    Q_OBJECT

public:
    static constexpr int kBarWidth = 5;
    static constexpr int kGap = 2;

    LevelMeter(MeterBank& bank, int meter, QWidget* parent = nullptr);

    // `led` for the bars, `hilite` for a lit clip light, `back` behind them.
    void SetColors(const QColor& led, const QColor& hilite, const QColor& back);
    int Meter() const { return meter_; }
    // Paints so far, for the latency bench.
    long long Paints() const { return paints_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    MeterBank& bank_;
    const int meter_;
    QColor led_ = Qt::yellow;
    QColor hilite_ = Qt::red;
    QColor back_ = Qt::black;
    long long paints_ = 0;
};

}  // namespace corvane::meters
