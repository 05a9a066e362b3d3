#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <memory>

namespace corvane::audio {
class Engine;
}

namespace corvane::engine {
class OverviewService;
}

namespace corvane::app {

class MainForm;

// Keeps the position bars of lines 0 to 6 in step with their songs: the playhead while
// anything plays, and each song's overview once the worker has it. The window owns this.
class SeekWiring : public QObject {
    Q_OBJECT

public:
    SeekWiring(MainForm& form, audio::Engine& engine, const QString& cacheFolder);
    ~SeekWiring() override;

    engine::OverviewService& Overviews() const { return *overviews_; }
    // Every bar from its line's player now.
    void Refresh();

private:
    void RefreshLine(int line);
    void ShowOverview(const QString& path);

    MainForm& form_;
    std::unique_ptr<engine::OverviewService> overviews_;
    std::array<QString, 7> shownPath_;
    QTimer timer_;
};

}  // namespace corvane::app
