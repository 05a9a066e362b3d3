#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <memory>
#include <random>

#include "app/color_scheme.h"

namespace corvane {
class Settings;
class SongLog;
struct Playlist;
}  // namespace corvane

namespace corvane::autopilot {
class AutoPilot;
}

namespace corvane::audio {
class Engine;
}

namespace corvane::engine {
class LinePlayer;
}  // namespace corvane::engine

namespace corvane::app {

class MainForm;

// Puts the AutoPilot and the song log on the main window: the AutoPilot panel's labels and
// buttons, drops on the line titles, the main tick's AutoPilot step, the AutoPilot players'
// notifications, and the songs that start on any line going to the log. Owns both pieces of
// logic; the window owns this.
class AutoPilotWiring : public QObject {
    Q_OBJECT

public:
    AutoPilotWiring(MainForm& form, audio::Engine& engine,
                    std::array<engine::LinePlayer*, 2> apPlayers, Settings& settings,
                    Playlist& playlist);
    ~AutoPilotWiring() override;

    autopilot::AutoPilot& Pilot() const { return *pilot_; }
    SongLog& Log() const { return *log_; }

    // The window's colours changed: the labels that show a state are drawn again in them.
    void ApplyColors(const ColorScheme& scheme);

private:
    void ConnectPanel();
    void ConnectDesk(audio::Engine& engine);
    void ConnectDrops();
    void PaintCurrentSong();
    void PaintShuffle();

    MainForm& form_;
    // Seeded once, when the window is made at start-up.
    std::mt19937_64 random_;
    std::unique_ptr<autopilot::AutoPilot> pilot_;
    std::unique_ptr<SongLog> log_;
    ColorScheme scheme_;
    bool currentSongLit_ = false;
};

}  // namespace corvane::app
