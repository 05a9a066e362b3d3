// The desk's pause and position bar.
#include <algorithm>
#include <cmath>

#include "engine/desk.h"

namespace corvane::engine {

LinePlayer* Desk::ShownPlayer(int line) const {
    return line == kAutoPilotLine ? players_.ap[currentAp_] : PlayerOf(line);
}

bool Desk::IsPaused(int line) const {
    const LinePlayer* player = PlayerOf(line);
    return player != nullptr && player->PlayState() == LinePlayer::kPaused;
}

void Desk::PauseLine(int line) {
    LinePlayer* player = PlayerOf(line);
    if (player == nullptr) return;
    if (player->PlayState() == LinePlayer::kPlaying) {
        player->Pause();
    } else if (player->PlayState() == LinePlayer::kPaused) {
        player->Play();
    }
}

void Desk::SeekLine(int line, double fraction) {
    if (line < kAutoPilotLine || line >= kMasterLine || !std::isfinite(fraction)) return;
    LinePlayer* player = ShownPlayer(line);
    if (player == nullptr) return;
    const double duration = player->Duration();
    if (duration <= 0.0) return;
    player->SetPosition(std::clamp(fraction, 0.0, 1.0) * duration);
    RefreshTime(line);
}

double Desk::LineProgress(int line) const {
    if (line < kAutoPilotLine || line >= kMasterLine) return 0.0;
    const LinePlayer* player = ShownPlayer(line);
    if (player == nullptr) return 0.0;
    const double duration = player->Duration();
    if (duration <= 0.0) return 0.0;
    return std::clamp(player->Position() / duration, 0.0, 1.0);
}

}  // namespace corvane::engine
