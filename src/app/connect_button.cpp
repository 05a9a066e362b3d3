#include "app/connect_button.h"

namespace corvane::app {

namespace {
// Colour values as the faces use them: red in the low byte.
constexpr quint32 kOnAirColor = 0x3030FF;
constexpr quint32 kRetryColor = 0x00B0FF;
}  // namespace

ConnectButton::ConnectButton(QWidget* parent)
    : appearance::Butt(QStringLiteral("Connect"), parent) {
    setObjectName(QStringLiteral("ConnectButt"));
}

void ConnectButton::ShowState(broadcast::BroadcastState state) {
    state_ = state;
    Paint();
}

void ConnectButton::SetTextColor(quint32 color) {
    textColor_ = color;
    Paint();
}

void ConnectButton::Paint() {
    using broadcast::BroadcastState;
    switch (state_) {
        case BroadcastState::Off:
            SetCaption(QStringLiteral("Connect"));
            ColChange(textColor_);
            break;
        case BroadcastState::Connecting:
            SetCaption(QStringLiteral("Connecting"));
            ColChange(textColor_);
            break;
        case BroadcastState::OnAir:
            SetCaption(QStringLiteral("On Air"));
            ColChange(kOnAirColor);
            break;
        case BroadcastState::Retrying:
            SetCaption(QStringLiteral("Retrying"));
            ColChange(kRetryColor);
            break;
    }
}

}  // namespace corvane::app
