#pragma once

#include <QWidget>

#include "app/color_scheme.h"
#include "engine/desk.h"

class QHBoxLayout;

namespace corvane::appearance {
class MiniSlider;
class Pan;
class PictureButton;
class PositionBar;
}  // namespace corvane::appearance

namespace corvane::app {

class DeskLabel;
class ElidedLabel;

// One channel strip of the desk, top to bottom: the line's name and song title, its open,
// play, stop and loop buttons, the time display, the three fade-mode buttons, the pan knob,
// the volume slider and the mute label. Line 0 (the AutoPilot) has no play and stop; line 7
// (the master) has only its name, the clock in its time display, the slider and the mute.
// The strip forwards its controls to the desk and paints what the desk reports.
class LineStrip : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 84;

    LineStrip(int line, engine::Desk& desk, QWidget* parent = nullptr);

    int Line() const { return line_; }

    void ApplyColors(const ColorScheme& scheme);
    void SetToolTips(bool on);
    // Puts a level meter beside the volume slider; the strip takes it.
    void AttachMeter(QWidget* meter);

    // Null where the line has no such control.
    appearance::MiniSlider* Slider() const { return slider_; }
    appearance::Pan* PanKnob() const { return pan_; }
    appearance::PictureButton* OpenW() const { return open_; }
    appearance::PictureButton* PlayButt() const { return play_; }
    appearance::PictureButton* StopButt() const { return stop_; }
    appearance::PictureButton* LoopButton() const { return loop_; }
    appearance::PictureButton* FadeButton(engine::FadeMode mode) const;
    DeskLabel* Mute() const { return mute_; }
    DeskLabel* Colon() const { return colon_; }
    appearance::PositionBar* Bar() const { return bar_; }
    DeskLabel* LineLabel() const { return name_; }
    ElidedLabel* TitleLabel() const { return title_; }
    // The master's empty row above its clock, for the recorder's controls; null on the lines.
    QWidget* SpareRow() const { return spare_; }

Q_SIGNALS:
    // The pop-up menu at the pointer.
    void MenuRequested();
    // The line's Open button was released while armed.
    void OpenRequested(int line);

private:
    void BuildTransportRow(QWidget* row);
    void BuildFadeRow(QWidget* row);
    void ConnectDesk();
    void ConnectMute();
    void ConnectBar();
    void ShowStatus(const QString& text);
    void RefreshLabelColors();

    const int line_;
    engine::Desk& desk_;
    ColorScheme scheme_;

    DeskLabel* name_ = nullptr;
    ElidedLabel* title_ = nullptr;
    DeskLabel* colon_ = nullptr;
    appearance::PositionBar* bar_ = nullptr;
    DeskLabel* mute_ = nullptr;
    appearance::PictureButton* open_ = nullptr;
    appearance::PictureButton* play_ = nullptr;
    appearance::PictureButton* stop_ = nullptr;
    appearance::PictureButton* loop_ = nullptr;
    appearance::PictureButton* fadeLeft_ = nullptr;
    appearance::PictureButton* alwaysOn_ = nullptr;
    appearance::PictureButton* fadeRight_ = nullptr;
    appearance::Pan* pan_ = nullptr;
    appearance::MiniSlider* slider_ = nullptr;
    QHBoxLayout* sliderRow_ = nullptr;
    QWidget* spare_ = nullptr;
};

}  // namespace corvane::app
