#pragma once

#include "options/ui/headphone_section.h"

namespace corvane {
class Settings;
}

namespace corvane::audio {
class Engine;
struct EngineOptions;
}  // namespace corvane::audio

namespace corvane::app {

// The headphone settings applied to the engine: at start (Read) and from the Audio tab.
class HeadphoneWiring : public options::HeadphoneHost {
public:
    explicit HeadphoneWiring(audio::Engine& engine) : engine_(engine) {}
    // "Headphones", "CueMix" and "HeadphoneLevel" as stored, into the engine's options.
    static void Read(const Settings& settings, audio::EngineOptions* options);

    QStringList OutputDevices() const override;
    int DeviceChannels(const QString& name) const override;
    void SetHeadphones(const QString& setting) override;
    void SetCueMix(int percent) override;
    void SetHeadphoneLevel(int percent) override;

private:
    audio::Engine& engine_;
};

}  // namespace corvane::app
