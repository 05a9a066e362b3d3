#pragma once

#include <QWidget>

#include "appearance/ui/picture.h"

namespace corvane::appearance {

// The desk's picture buttons. Each kind is a pair of drawings: W, the unlit one, and R (or G
// for Always On), the lit one that shows the chosen state; kinds without a state (open, play,
// stop and the AutoPilot's three) show the same drawing either way.
enum class ButtonKind {
    Open,
    Play,
    Stop,
    Loop,
    FadeLeft,
    FadeRight,
    AlwaysOn,
    AutoPlay,
    AutoStop,
    AutoNext
};

// Buttons that act on release (open, play, stop and the AutoPilot's three): a left press arms
// the button and draws a border; while the left button is held, leaving the button disarms it
// and coming back re-arms it; releasing the left button while armed raises Click. The pairs
// (loop, fade left, fade right, always on) act on the press: they raise MouseDown and are never
// armed. A double-click counts as a second press. 240 x 240 twips.
class PictureButton : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSizeTwips = 240;

    explicit PictureButton(ButtonKind kind, QWidget* parent = nullptr);

    ButtonKind Kind() const { return kind_; }
    // Shows the lit (R/G) picture of the pair, or the unlit (W) one.
    void SetLit(bool lit);
    bool IsLit() const { return lit_; }
    bool IsArmed() const { return armed_; }
    bool ActsOnRelease() const;
    void ToolTipChange(const QString& text);

    // The left-button press and release, for hosts that drive the button from the keyboard;
    // the press arms only a button that acts on release.
    void Press();
    void Release();

    QSize sizeHint() const override;

Q_SIGNALS:
    void MouseDown(Qt::MouseButton button);
    void MouseUp(Qt::MouseButton button);
    void Click();
    void MouseOver();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void SetArmed(bool armed);

    ButtonKind kind_;
    ControlPicture unlit_;
    ControlPicture litPicture_;
    bool lit_ = false;
    bool armed_ = false;
};

}  // namespace corvane::appearance
