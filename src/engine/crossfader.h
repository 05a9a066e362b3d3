#pragma once

#include <QObject>
#include <memory>

#include "engine/fade_timer.h"

namespace corvane::engine {

// The crossfader's knob and its two levels, the drag with its centre detent, and the timed
// auto-fade. Positions are twips of the knob's left edge along the track.
class CrossfaderModel : public QObject {
    Q_OBJECT

public:
    static constexpr double kLeftEnd = 0.0;
    static constexpr double kRightEnd = 2280.0;
    static constexpr double kCentre = 1140.0;
    // Drag positions strictly between these snap to the centre.
    static constexpr double kDetentLow = 1080.0;
    static constexpr double kDetentHigh = 1200.0;
    // The knob follows the pointer only within this band of Y (twips, relative to the knob).
    static constexpr double kDragBandTop = -2300.0;
    static constexpr double kDragBandBottom = 2850.0;
    static constexpr int kMinFadeSpeed = 10;
    static constexpr int kDefaultFadeSpeed = 50;
    static constexpr int kTickMs = 55;

    enum class Fade { Idle, Left, Right };

    // Two 55 ms Qt timers.
    explicit CrossfaderModel(QObject* parent = nullptr);
    // `makeTimer` is called twice: the left fade's timer, then the right fade's.
    explicit CrossfaderModel(const FadeTimerFactory& makeTimer, QObject* parent = nullptr);
    ~CrossfaderModel() override;

    double KnobPosition() const { return knob_; }
    int LeftLevel() const { return leftLevel_; }
    int RightLevel() const { return rightLevel_; }
    int FadeSpeed() const { return fadeSpeed_; }
    // Any value is kept; a fade raises it to at least 10 when it starts.
    void SetFadeSpeed(int twipsPerTick) { fadeSpeed_ = twipsPerTick; }
    Fade Fading() const;

    // Where a dragged knob lands for a wanted position: the detent, then the ends.
    static double DragTarget(double wanted);
    // Levels for a knob position: {left, right}, each 0 to 100.
    static std::pair<int, int> LevelsAt(double knob);

    // Knob mouse-down with the left button: stops any fade and remembers where in the knob the
    // pointer grabbed it.
    void GrabKnob(double xInKnob);
    // Knob mouse-move with the left button held, pointer relative to the knob.
    void DragKnob(double xInKnob, double yInKnob);
    // Moves the knob to a position as a drag would (detent and ends applied).
    void DragTo(double wanted);

    void AutoFadeLeft();
    void AutoFadeRight();
    void StopIt();
    void Reset();

Q_SIGNALS:
    // After every knob move and level update, and on Reset.
    void LevelsChanged();
    // An auto-fade reached its end.
    void FadeDone(bool atLeft);

private:
    void TickLeft();
    void TickRight();
    void MoveKnob(double position);

    std::unique_ptr<FadeTimer> leftTimer_;
    std::unique_ptr<FadeTimer> rightTimer_;
    double knob_ = kCentre;
    int grabOffset_ = 0;
    int leftLevel_ = 100;
    int rightLevel_ = 100;
    int fadeSpeed_ = kDefaultFadeSpeed;
};

}  // namespace corvane::engine
