#include "engine/media_player_line.h"

#include "audio/media_player.h"

namespace corvane::engine {

void MediaPlayerLine::OpenFile(const QString& path) { player_->OpenFile(path); }
void MediaPlayerLine::SetAutoStart(bool on) { player_->SetAutoStart(on); }
QString MediaPlayerLine::FileName() const { return player_->FileName(); }
void MediaPlayerLine::Play() { player_->Play(); }
void MediaPlayerLine::Stop() { player_->Stop(); }
void MediaPlayerLine::Pause() { player_->Pause(); }
double MediaPlayerLine::Position() const { return player_->Position(); }
void MediaPlayerLine::SetPosition(double seconds) { player_->SetPosition(seconds); }
double MediaPlayerLine::Duration() const { return player_->Duration(); }
int MediaPlayerLine::PlayState() const { return player_->PlayState(); }
QString MediaPlayerLine::LastError() const { return player_->LastError(); }
void MediaPlayerLine::SetRepeatCount(int count) { player_->SetRepeatCount(count); }
void MediaPlayerLine::SetVolume(int hundredthsDb) { player_->SetVolume(hundredthsDb); }
void MediaPlayerLine::SetBalance(int hundredthsDb) { player_->SetBalance(hundredthsDb); }
bool MediaPlayerLine::PlayAfter(LinePlayer& current, double remainingSeconds) {
    const auto* leader = dynamic_cast<const MediaPlayerLine*>(&current);
    return leader != nullptr && player_->PlayAfter(*leader->player_, remainingSeconds);
}

}  // namespace corvane::engine
