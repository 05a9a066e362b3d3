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

// A left press arms the button and draws a border; while the left button is held, leaving the
// button disarms it and coming back re-arms it; releasing the left button while armed raises
// Click. A double-click counts as a second press. Hosts that act on the press (the fade and
// loop pairs) use MouseDown instead. 240 x 240 twips.
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
    void ToolTipChange(const QString& text);

    // The left-button press and release, for hosts that drive the button from the keyboard.
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
