#include "app/broadcast_wiring.h"

#include "app/connect_button.h"
#include "app/main_form.h"
#include "audio/engine.h"
#include "autopilot/autopilot.h"
#include "broadcast/broadcast_settings.h"
#include "broadcast/broadcaster.h"
#include "broadcast/mix_stream.h"
#include "broadcast/shout_connection.h"
#include "engine/desk.h"
#include "settings/settings.h"

namespace corvane::app {

using broadcast::BroadcastState;

BroadcastWiring::BroadcastWiring(MainForm& form, ConnectButton& button, audio::Engine& engine,
                                 Settings& settings)
    : form_(form), button_(button), settings_(settings) {
    source_ = std::make_unique<broadcast::MasterTapSource>(&engine);
    broadcast::Broadcaster::Parts parts;
    parts.connection = std::make_unique<broadcast::ShoutConnection>();
    parts.encoder = std::make_unique<broadcast::RecordStreamEncoder>();
    parts.source = source_.get();
    parts.attach = [source = source_.get()](bool on) { source->Attach(on); };
    broadcaster_ = std::make_unique<broadcast::Broadcaster>(std::move(parts), engine.Rate());

    connect(&button_, &ConnectButton::Click, this, &BroadcastWiring::ConnectClick);
    connect(broadcaster_.get(), &broadcast::Broadcaster::StateChanged, this,
            [this](BroadcastState state, const QString& status) {
                button_.ShowState(state);
                if (!status.isEmpty()) form_.Desk().SetStatus(status);
            });
    connect(&form.Pilot(), &autopilot::AutoPilot::SongStarted, this,
            [this](const QString& path) { SongStarted(path, false); });
    connect(&form.Desk(), &engine::Desk::SongStarted, this,
            [this](const QString& path) { SongStarted(path, true); });
}

BroadcastWiring::~BroadcastWiring() {
    // The worker goes before the tap it reads.
    broadcaster_.reset();
}

void BroadcastWiring::ConnectClick() {
    if (broadcaster_->State() == BroadcastState::Off && button_.State() == BroadcastState::Off) {
        button_.ShowState(BroadcastState::Connecting);
        broadcaster_->Connect(broadcast::LoadBroadcastSettings(settings_));
    } else {
        broadcaster_->Disconnect();
    }
}

void BroadcastWiring::SongStarted(const QString& path, bool fromLine) {
    if (fromLine && !settings_.GetBool(keys::kBroadcastLineTitles)) return;
    broadcaster_->SetTitle(broadcast::TitleFor(path));
}

}  // namespace corvane::app
