#include "app/mic_wiring.h"

#include <QAction>
#include <QMenu>

#include "app/desk_panels.h"
#include "app/main_form.h"
#include "appearance/ui/butt.h"
#include "engine/desk.h"
#include "mixer/system_mixer.h"
#include "mixer/ui/mic_level.h"
#include "settings/settings.h"

namespace corvane::app {

bool AttachMixer(mixer::SystemMixer& mixer, engine::Desk& desk) {
    const bool master = mixer.InitMixer();
    desk.SetMasterVolume(&mixer);
    return master;
}

MicWiring::MicWiring(MainForm& form, mixer::SystemMixer& mixer, Settings& settings)
    : form_(form),
      mixer_(mixer),
      settings_(settings),
      scheme_(ColorScheme::FromSettings(settings)),
      notice_(form, mixer) {
    connect(form.Buttons()->Button(ButtonRow::MicButt), &appearance::Butt::Click, this,
            &MicWiring::OpenMic);
    if (auto* mnuMic = form.RCMenu()->findChild<QAction*>(QStringLiteral("mnuMic"))) {
        connect(mnuMic, &QAction::triggered, this, &MicWiring::OpenMic);
    }
    connect(&form, &MainForm::ColorsApplied, this, &MicWiring::Colors);
}

void MicWiring::OpenMic() {
    if (MicOpen()) {
        window_->raise();
        window_->activateWindow();
        return;
    }
    if (!mixer_.MicVolumeAvailable()) notice_.Retry();
    if (!mixer_.MicVolumeAvailable()) return;
    window_ = new mixer::MicLevel(mixer_, settings_, &form_);
    connect(window_, &mixer::MicLevel::Unloaded, this, &MicWiring::Unloaded);
    window_->Load();
    Colors(scheme_);
    window_->show();
}

mixer::MicLevel* MicWiring::Window() const { return window_.data(); }

void MicWiring::RestoreAtStart() {
    if (settings_.GetBool(keys::kShowMic)) OpenMic();
}

void MicWiring::Colors(const ColorScheme& scheme) {
    scheme_ = scheme;
    form_.Buttons()
        ->Button(ButtonRow::MicButt)
        ->ColChange(ColorValue(MicOpen() ? scheme.hilite : scheme.text));
    if (MicOpen()) window_->Colors(scheme.back, scheme.text);
}

void MicWiring::Unloaded() {
    window_ = nullptr;
    Colors(scheme_);
}

}  // namespace corvane::app
