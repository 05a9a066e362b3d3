#include "app/meter_wiring.h"

#include "app/line_strip.h"
#include "app/main_form.h"
#include "audio/engine.h"
#include "audio/media_player.h"
#include "engine/desk.h"
#include "meters/meter_bank.h"
#include "meters/ui/level_meter.h"

namespace corvane::app {

namespace {
std::array<audio::MediaPlayer*, 8> AllPlayers(audio::Engine& engine) {
    return {engine.Player(1), engine.Player(2), engine.Player(3), engine.Player(4),
            engine.Player(5), engine.Player(6), engine.AP(0),     engine.AP(1)};
}
}  // namespace

MeterWiring::MeterWiring(MainForm& form, audio::Engine& engine) {
    const std::array<audio::MediaPlayer*, 8> players = AllPlayers(engine);
    bank_ = std::make_unique<meters::MeterBank>([players] {
        return std::any_of(players.begin(), players.end(), [](const audio::MediaPlayer* p) {
            return p->PlayState() == audio::MediaPlayer::kPlaying;
        });
    });
    for (audio::MediaPlayer* player : players)
        connect(player, &audio::MediaPlayer::PlayStateChanged, bank_.get(),
                [bank = bank_.get()](int, int, int state) {
                    if (state == audio::MediaPlayer::kPlaying) bank->Wake();
                });
    for (int line = 0; line < engine::Desk::kLineCount; ++line) {
        const bool master = line == engine::Desk::kMasterLine;
        const int meter = master ? bank_->Add(2,
                                              [&engine](float* peaks) {
                                                  const audio::Engine::StereoPeak peak =
                                                      engine.TakeMasterPeak();
                                                  peaks[0] = peak.left;
                                                  peaks[1] = peak.right;
                                              })
                                 : bank_->Add(1, [&engine, line](float* peaks) {
                                       peaks[0] = engine.TakeLinePeak(line);
                                   });
        meters_[line] = new meters::LevelMeter(*bank_, meter);
        form.Strip(line)->AttachMeter(meters_[line]);
    }
    connect(&form, &MainForm::ColorsApplied, this, [this](const ColorScheme& scheme) {
        for (const QPointer<meters::LevelMeter>& meter : meters_)
            if (meter != nullptr) meter->SetColors(scheme.led, scheme.hilite, scheme.back);
    });
}

meters::LevelMeter* MeterWiring::Meter(int line) const { return meters_.at(line).data(); }

// The meters draw from the bank: they go first.
MeterWiring::~MeterWiring() {
    for (const QPointer<meters::LevelMeter>& meter : meters_) delete meter.data();
}

}  // namespace corvane::app
