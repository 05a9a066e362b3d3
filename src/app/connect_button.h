#pragma once

#include "appearance/ui/butt.h"
#include "broadcast/broadcast_types.h"

namespace corvane::app {

// The master's broadcast button: "Connect" while off, then the state it is in ("Connecting",
// "On Air" in red, "Retrying" in amber). A click connects or disconnects.
class ConnectButton : public appearance::Butt {
    Q_OBJECT

public:
    explicit ConnectButton(QWidget* parent = nullptr);

    void ShowState(broadcast::BroadcastState state);
    broadcast::BroadcastState State() const { return state_; }
    // The scheme's text colour, used while off and connecting.
    void SetTextColor(quint32 color);

private:
    void Paint();

    broadcast::BroadcastState state_ = broadcast::BroadcastState::Off;
    quint32 textColor_ = 0xE0E0E0;
};

}  // namespace corvane::app
