#include "app/options_wiring.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>

#include "app/appearance_wiring.h"
#include "app/desk_panels.h"
#include "app/log_wiring.h"
#include "app/main_form.h"
#include "appearance/ui/butt.h"
#include "audio/engine.h"
#include "autopilot/autopilot.h"
#include "engine/crossfader.h"
#include "engine/desk.h"
#include "playlist/song_finder.h"
#include "settings/keys.h"
#include "settings/settings.h"
#include "songlog/songlog.h"

namespace corvane::app {

OptionsWiring::OptionsWiring(MainForm& form, audio::Engine& engine, Settings& settings)
    : form_(form),
      engine_(engine),
      settings_(settings),
      scheme_(ColorScheme::FromSettings(settings)) {
    engine.SetLimiter(settings.GetBool(keys::kLimiter));
    connect(form.Buttons()->Button(ButtonRow::Options1), &appearance::Butt::Click, this,
            [this] { Open(true); });
    if (auto* item = form.RCMenu()->findChild<QAction*>(QStringLiteral("mnuOps")))
        connect(item, &QAction::triggered, this, [this] { Open(true); });
    connect(&form.LogViewer(), &LogWiring::OptionsRequested, this,
            [this](bool loggingOnly) { Open(!loggingOnly); });
    // A recolouring draws every button in "Text Color"; Options1 lights again while open.
    connect(&form, &MainForm::ColorsApplied, this, [this](const ColorScheme& scheme) {
        scheme_ = scheme;
        Light(OptionsOpen());
    });
}

OptionsWiring::~OptionsWiring() { delete dialog_.data(); }

void OptionsWiring::Light(bool lit) {
    form_.Buttons()
        ->Button(ButtonRow::Options1)
        ->ColChange(ColorValue(lit ? scheme_.hilite : scheme_.text));
}

void OptionsWiring::Open(bool allTabs) {
    if (OptionsOpen()) {
        dialog_->raise();
        dialog_->activateWindow();
        return;
    }
    Light(true);
    dialog_ = new options::Options(settings_, *this, chooseLogFile_, allTabs, &form_);
    dialog_->setWindowFlag(Qt::Dialog);
    if (allTabs) dialog_->Tabs()->setCurrentIndex(options::Options::General);
    connect(dialog_, &options::Options::Closed, this, [this] { Light(false); });
    connect(dialog_, &QObject::destroyed, this, [this] { Light(false); });
    // Modal without a nested event loop: the main window takes no input until it closes.
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->show();
}

int OptionsWiring::FadeSpeed() const { return form_.CrossfaderModel().FadeSpeed(); }
void OptionsWiring::SetFadeSpeed(int speed) { form_.CrossfaderModel().SetFadeSpeed(speed); }
void OptionsWiring::SetRemain(bool on) { form_.Desk().SetRemain(on); }
bool OptionsWiring::AutoStop() const { return form_.Desk().AutoStop(); }
void OptionsWiring::SetAutoStop(bool on) { form_.Desk().SetAutoStop(on); }
bool OptionsWiring::AutoReset() const { return form_.Desk().AutoReset(); }
void OptionsWiring::SetAutoReset(bool on) { form_.Desk().SetAutoReset(on); }
LogSettings OptionsWiring::LogOptions() const { return form_.Log().Options(); }
void OptionsWiring::SetLogOptions(const LogSettings& options) { form_.Log().SetOptions(options); }
void OptionsWiring::SetMusicFolder(const QString& folder) { form_.Finder().SetMusicFolder(folder); }
bool OptionsWiring::StatusHelpShown() const { return !form_.Status()->isHidden(); }
void OptionsWiring::ShowStatusHelp(bool on) { form_.Status()->setVisible(on); }

void OptionsWiring::SetToolTips(bool on) {
    if (on) {
        form_.ToolsOn();
    } else {
        form_.ToolsOff();
    }
}

bool OptionsWiring::HighPriority() const { return form_.HighPriority(); }

void OptionsWiring::SetHighPriority(bool on) {
    form_.SetHighPriority(on);
    form_.Pilot().SetHighPriority(on);
}

void OptionsWiring::SetNumber(const options::NumberField& field, int value) {
    autopilot::AutoPilot& pilot = form_.Pilot();
    if (field.key == options::kSpinUpField.key) pilot.SetSpinUp(value);
    if (field.key == options::kNoRepField.key) pilot.SetNoRepWindow(value);
    if (field.key == options::kFadeSecondsField.key) pilot.SetFadeSeconds(value);
}

appearance::SchemeColors OptionsWiring::Colors() const { return form_.Look().Colors(); }

void OptionsWiring::SetColors(const appearance::SchemeColors& colors) {
    form_.Look().SetColors(colors);
    form_.Look().ColorChange();
}

bool OptionsWiring::LinesVisible() const { return form_.Look().LinesVisible(); }
void OptionsWiring::ShowLines(bool on) { form_.Look().ApplyShowLines(on); }
QStringList OptionsWiring::FaceNames() const {
    return appearance::FaceNames(form_.Look().Folders());
}

void OptionsWiring::ChooseFace(const QString& name) {
    form_.Look().SetFace(name);
    form_.Look().LoadFace(true);
}

void OptionsWiring::LoadFace(bool on) {
    // The face named by "Face" may not have been looked up yet (it was off at start-up).
    if (on && form_.Look().FacePath().isEmpty())
        form_.Look().SetFace(settings_.GetText(keys::kFace));
    form_.Look().LoadFace(on);
}

void OptionsWiring::SaveColors(QWidget* parent) { form_.Look().SaveColors(parent); }
QStringList OptionsWiring::OutputDevices() const {
    // An offline or silent-by-choice engine has no device to choose.
    if (engine_.RequestedOutput() != audio::OutputKind::Device) return {};
    return engine_.OutputDevices();
}
int OptionsWiring::AudioRate() const { return engine_.Rate(); }
int OptionsWiring::AudioBufferFrames() const { return engine_.BufferFrames(); }

void OptionsWiring::SetAudioOutput(const QString& device, int bufferFrames,
                                   std::function<void()> done) {
    // A test's offline or silent engine stays what it is; only a device output is switched.
    if (engine_.RequestedOutput() != audio::OutputKind::Device) {
        if (done) done();
        return;
    }
    engine_.SetOutput(audio::OutputKind::Device, device, bufferFrames, std::move(done));
}

long long OptionsWiring::Underruns() const { return engine_.Underruns(); }

void OptionsWiring::SetLimiter(bool on) { engine_.SetLimiter(on); }

}  // namespace corvane::app
