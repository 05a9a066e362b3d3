#pragma once

#include <QObject>
#include <QPointer>
#include <array>
#include <memory>

namespace corvane::audio {
class Engine;
}

namespace corvane::meters {
class LevelMeter;
class MeterBank;
}  // namespace corvane::meters

namespace corvane::app {

class MainForm;

// The desk's level meters: a post-fader peak meter beside the slider of lines 0 to 6 and a
// stereo one for the master, all read from the engine by one bank.
class MeterWiring : public QObject {
    Q_OBJECT

public:
    MeterWiring(MainForm& form, audio::Engine& engine);
    ~MeterWiring() override;

    meters::MeterBank& Bank() const { return *bank_; }
    // Lines 0 to 7 (7 is the master).
    meters::LevelMeter* Meter(int line) const;

private:
    std::unique_ptr<meters::MeterBank> bank_;
    std::array<QPointer<meters::LevelMeter>, 8> meters_{};
};

}  // namespace corvane::app
