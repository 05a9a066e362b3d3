#pragma once

#include <QWidget>
#include <array>

#include "app/color_scheme.h"

namespace corvane::appearance {
class Butt;
class MiniCrossfader;
class PictureButton;
}  // namespace corvane::appearance

namespace corvane::engine {
class CrossfaderModel;
class Desk;
}  // namespace corvane::engine

namespace corvane::app {

class ConnectButton;
class DeskLabel;
class ElidedLabel;

// The AutoPilot's displays and buttons beside the crossfader: the current and next song, the
// play, stop and next buttons and the SmartRandom switch.
class AutoPilotPanel : public QWidget {
    Q_OBJECT

public:
    AutoPilotPanel(engine::Desk& desk, QWidget* parent = nullptr);

    void ApplyColors(const ColorScheme& scheme);
    void SetToolTips(bool on);

    DeskLabel* CSLabel() const { return csLabel_; }
    ElidedLabel* CurrentSong() const { return currentSong_; }
    DeskLabel* NSLabel() const { return nsLabel_; }
    ElidedLabel* NextSong() const { return nextSong_; }
    DeskLabel* Fading() const { return fading_; }
    appearance::PictureButton* APlay() const { return aPlay_; }
    appearance::PictureButton* AStop() const { return aStop_; }
    appearance::PictureButton* ANext() const { return aNext_; }
    appearance::Butt* ShuffButt() const { return shuffle_; }

Q_SIGNALS:
    void MenuRequested();

private:
    engine::Desk& desk_;
    DeskLabel* csLabel_;
    ElidedLabel* currentSong_;
    DeskLabel* nsLabel_;
    ElidedLabel* nextSong_;
    DeskLabel* fading_;
    appearance::PictureButton* aPlay_;
    appearance::PictureButton* aStop_;
    appearance::PictureButton* aNext_;
    appearance::Butt* shuffle_;
};

// The crossfader with its two auto-fade captions above it.
class CrossfaderPanel : public QWidget {
    Q_OBJECT

public:
    CrossfaderPanel(engine::CrossfaderModel& model, engine::Desk& desk, QWidget* parent = nullptr);

    void ApplyColors(const ColorScheme& scheme);
    void SetToolTips(bool on);

    appearance::MiniCrossfader* Crossfader() const { return crossfader_; }
    DeskLabel* LeftFade() const { return leftFade_; }
    DeskLabel* FadeRight() const { return fadeRight_; }

Q_SIGNALS:
    void MenuRequested();

private:
    appearance::MiniCrossfader* crossfader_;
    DeskLabel* leftFade_;
    DeskLabel* fadeRight_;
};

// The row of caption buttons: StopAll, MicButt, Butt1 (About), LogButt, HelpButt, Options1,
// PList and ExitButton.
class ButtonRow : public QWidget {
    Q_OBJECT

public:
    enum Index { StopAll, MicButt, Butt1, LogButt, HelpButt, Options1, PList, ExitButton, kCount };

    ButtonRow(engine::Desk& desk, QWidget* parent = nullptr);

    appearance::Butt* Button(Index index) const { return buttons_[index]; }
    // The broadcast's Connect button, beside the others.
    ConnectButton* Connect() const { return connect_; }
    void ApplyColors(const ColorScheme& scheme);
    void SetToolTips(bool on);

private:
    std::array<appearance::Butt*, kCount> buttons_{};
    ConnectButton* connect_ = nullptr;
};

}  // namespace corvane::app
