#include "engine/crossfader.h"

#include <algorithm>

#include "engine/volume_law.h"

namespace corvane::engine {

namespace {
constexpr double kTwipsPerLevel = 11.4;
}

CrossfaderModel::CrossfaderModel(QObject* parent)
    : CrossfaderModel([] { return MakeQtFadeTimer(kTickMs); }, parent) {}

CrossfaderModel::CrossfaderModel(const FadeTimerFactory& makeTimer, QObject* parent)
    : QObject(parent), leftTimer_(makeTimer()), rightTimer_(makeTimer()) {
    leftTimer_->SetCallback([this] { TickLeft(); });
    rightTimer_->SetCallback([this] { TickRight(); });
}

CrossfaderModel::~CrossfaderModel() = default;

CrossfaderModel::Fade CrossfaderModel::Fading() const {
    if (leftTimer_->IsActive()) return Fade::Left;
    if (rightTimer_->IsActive()) return Fade::Right;
    return Fade::Idle;
}

double CrossfaderModel::DragTarget(double wanted) {
    if (wanted > kDetentLow && wanted < kDetentHigh) return kCentre;
    if (wanted > kRightEnd) return kRightEnd;
    if (wanted < kLeftEnd) return kLeftEnd;
    return wanted;
}

std::pair<int, int> CrossfaderModel::LevelsAt(double knob) {
    const int right = RoundHalfEven(knob / kTwipsPerLevel);
    const int left = RoundHalfEven((kRightEnd - knob) / kTwipsPerLevel);
    return {std::min(left, 100), std::min(right, 100)};
}

void CrossfaderModel::GrabKnob(double xInKnob) {
    StopIt();
    grabOffset_ = RoundHalfEven(xInKnob);
}

void CrossfaderModel::DragKnob(double xInKnob, double yInKnob) {
    if (yInKnob < kDragBandTop || yInKnob > kDragBandBottom) return;
    DragTo(xInKnob - grabOffset_ + knob_);
}

void CrossfaderModel::DragTo(double wanted) { MoveKnob(DragTarget(wanted)); }

void CrossfaderModel::AutoFadeLeft() {
    fadeSpeed_ = std::max(fadeSpeed_, kMinFadeSpeed);
    rightTimer_->Stop();
    leftTimer_->Start();
}

void CrossfaderModel::AutoFadeRight() {
    fadeSpeed_ = std::max(fadeSpeed_, kMinFadeSpeed);
    leftTimer_->Stop();
    rightTimer_->Start();
}

void CrossfaderModel::StopIt() {
    leftTimer_->Stop();
    rightTimer_->Stop();
}

void CrossfaderModel::Reset() { MoveKnob(kCentre); }

void CrossfaderModel::TickLeft() {
    if (knob_ - fadeSpeed_ > kLeftEnd) {
        MoveKnob(knob_ - fadeSpeed_);
        return;
    }
    knob_ = kLeftEnd;
    leftTimer_->Stop();
    Q_EMIT FadeDone(true);
    // FadeDone may have reset the knob; the level update follows wherever it now is.
    MoveKnob(knob_);
}

void CrossfaderModel::TickRight() {
    if (knob_ + fadeSpeed_ < kRightEnd) {
        MoveKnob(knob_ + fadeSpeed_);
        return;
    }
    knob_ = kRightEnd;
    rightTimer_->Stop();
    Q_EMIT FadeDone(false);
    MoveKnob(knob_);
}

void CrossfaderModel::MoveKnob(double position) {
    knob_ = position;
    const auto [left, right] = LevelsAt(knob_);
    leftLevel_ = left;
    rightLevel_ = right;
    Q_EMIT LevelsChanged();
}

}  // namespace corvane::engine
