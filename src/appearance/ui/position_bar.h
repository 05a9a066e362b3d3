#pragma once

#include <QColor>
#include <QWidget>
#include <cstdint>
#include <vector>

namespace corvane::appearance {

// A line's position bar, under its time display: the song's loudness overview (one column per
// device pixel, the peak of the overview's bins under it), the part already heard drawn in
// the played colour, and the playhead. A left press or drag asks to seek there; a right
// click asks to pause or resume. Without a song the bar is an empty baseline and ignores the
// left button.
class PositionBar : public QWidget {
    Q_OBJECT

public:
    static constexpr int kHeight = 9;

    explicit PositionBar(QWidget* parent = nullptr);

    // Peaks 0..255 spread over the width; empty until the overview is ready.
    void SetPeaks(std::vector<uint8_t> peaks);
    // 0..1; repaints only when the playhead moves by a device pixel.
    void SetProgress(double fraction);
    // Whether the line has a song to seek in.
    void SetActive(bool active);
    void SetColors(const QColor& rest, const QColor& played, const QColor& head);

    double Progress() const { return progress_; }
    bool HasPeaks() const { return !peaks_.empty(); }

Q_SIGNALS:
    // Where the left button was pressed or dragged to, 0..1.
    void SeekRequested(double fraction);
    void PauseRequested();
    void MouseOver();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    double FractionAt(double x) const;
    int HeadPixel(double fraction) const;
    void Seek(double x);

    std::vector<uint8_t> peaks_;
    double progress_ = 0.0;
    bool active_ = false;
    bool dragging_ = false;
    int lastSeekPixel_ = -1;
    QColor rest_{Qt::darkGray};
    QColor played_{Qt::yellow};
    QColor head_{Qt::white};
};

}  // namespace corvane::appearance
