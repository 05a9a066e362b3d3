#include "app/seek_wiring.h"

#include "app/line_strip.h"
#include "app/main_form.h"
#include "appearance/ui/position_bar.h"
#include "audio/decoder.h"
#include "audio/engine.h"
#include "audio/media_player.h"
#include "engine/desk.h"
#include "engine/overview_service.h"

namespace corvane::app {

namespace {
// A pixel of an 84-pixel bar is seconds of a song: five looks a second is plenty.
constexpr int kRefreshMs = 200;
}  // namespace

SeekWiring::SeekWiring(MainForm& form, audio::Engine& engine, const QString& cacheFolder)
    : form_(form),
      overviews_(std::make_unique<engine::OverviewService>(cacheFolder, engine.Rate(),
                                                           audio::OpenDecoder)) {
    timer_.setInterval(kRefreshMs);
    connect(&timer_, &QTimer::timeout, this, &SeekWiring::Refresh);
    connect(overviews_.get(), &engine::OverviewService::Ready, this, &SeekWiring::ShowOverview);
    std::array<audio::MediaPlayer*, 8> players{engine.AP(0), engine.AP(1)};
    for (int i = 1; i <= 6; ++i) players[static_cast<size_t>(i) + 1] = engine.Player(i);
    for (audio::MediaPlayer* player : players) {
        connect(player, &audio::MediaPlayer::OpenStateChanged, this, &SeekWiring::Refresh);
        // The playhead moves only while something plays; the timer sleeps otherwise.
        connect(player, &audio::MediaPlayer::PlayStateChanged, this, [this] {
            Refresh();
            if (!timer_.isActive()) timer_.start();
        });
    }
}

SeekWiring::~SeekWiring() = default;

void SeekWiring::Refresh() {
    bool playing = false;
    for (int line = 0; line <= 6; ++line) {
        RefreshLine(line);
        const engine::LinePlayer* player = form_.Desk().ShownPlayer(line);
        playing =
            playing || (player != nullptr && player->PlayState() == engine::LinePlayer::kPlaying);
    }
    if (!playing) timer_.stop();
}

void SeekWiring::RefreshLine(int line) {
    const engine::Desk& desk = form_.Desk();
    appearance::PositionBar* bar = form_.Strip(line)->Bar();
    const engine::LinePlayer* player = desk.ShownPlayer(line);
    const bool open = player != nullptr && player->Duration() > 0.0;
    const QString path = open ? player->FileName() : QString();
    bar->SetActive(open);
    bar->SetProgress(desk.LineProgress(line));
    if (path == shownPath_[line]) return;
    shownPath_[line] = path;
    bar->SetPeaks(path.isEmpty() ? audio::OverviewPeaks() : overviews_->Find(path));
    if (!path.isEmpty() && !bar->HasPeaks()) overviews_->Request(path);
}

void SeekWiring::ShowOverview(const QString& path) {
    for (int line = 0; line <= 6; ++line) {
        if (shownPath_[line] == path) form_.Strip(line)->Bar()->SetPeaks(overviews_->Find(path));
    }
}

}  // namespace corvane::app
