#pragma once

#include <QObject>
#include <memory>

namespace corvane {
class Settings;
}
namespace corvane::audio {
class Engine;
}
namespace corvane::broadcast {
class Broadcaster;
class MasterTapSource;
}  // namespace corvane::broadcast

namespace corvane::app {

class ConnectButton;
class MainForm;

// The broadcaster in the program: the Connect button starts and stops it with the settings
// of the moment, songs that start give the stream its title, and its state goes to the
// button and the status line.
class BroadcastWiring : public QObject {
    Q_OBJECT

public:
    BroadcastWiring(MainForm& form, ConnectButton& button, audio::Engine& engine,
                    Settings& settings);
    ~BroadcastWiring() override;

    broadcast::Broadcaster& Broadcaster() const { return *broadcaster_; }
    // Connects when off, disconnects otherwise.
    void ConnectClick();

private:
    void SongStarted(const QString& path, bool fromLine);

    MainForm& form_;
    ConnectButton& button_;
    Settings& settings_;
    std::unique_ptr<broadcast::MasterTapSource> source_;
    std::unique_ptr<broadcast::Broadcaster> broadcaster_;
};

}  // namespace corvane::app
