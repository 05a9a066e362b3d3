#include "app/headphone_wiring.h"

#include <algorithm>

#include "audio/engine.h"
#include "settings/keys.h"
#include "settings/settings.h"

namespace corvane::app {

namespace {
float Fraction(int percent) { return static_cast<float>(std::clamp(percent, 0, 100)) / 100.0f; }
}  // namespace

void HeadphoneWiring::Read(const Settings& settings, audio::EngineOptions* options) {
    options->headphoneMix = Fraction(settings.GetInt(keys::kCueMix));
    options->headphoneLevel = Fraction(settings.GetInt(keys::kHeadphoneLevel));
    options->headphones = audio::HeadphoneTarget::FromSetting(settings.GetText(keys::kHeadphones));
}

QStringList HeadphoneWiring::OutputDevices() const {
    // An offline or silent-by-choice engine has no device to choose.
    if (engine_.RequestedOutput() != audio::OutputKind::Device) return {};
    return engine_.OutputDevices();
}

int HeadphoneWiring::DeviceChannels(const QString& name) const {
    return engine_.DeviceChannels(name);
}

void HeadphoneWiring::SetHeadphones(const QString& setting) {
    engine_.SetHeadphones(audio::HeadphoneTarget::FromSetting(setting));
}

void HeadphoneWiring::SetCueMix(int percent) { engine_.SetHeadphoneMix(Fraction(percent)); }

void HeadphoneWiring::SetHeadphoneLevel(int percent) {
    engine_.SetHeadphoneLevel(Fraction(percent));
}

}  // namespace corvane::app
