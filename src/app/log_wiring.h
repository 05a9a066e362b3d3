#pragma once

#include <QObject>
#include <QPointer>

#include "app/color_scheme.h"
#include "songlog/ui/log_dialogs.h"
#include "songlog/ui/log_view.h"

namespace corvane {
class Settings;
class SongLog;
}  // namespace corvane

namespace corvane::app {

class MainForm;

// The log viewer on the main window: LogButt and the menu's "mnuLog" open it, LogButt shows in
// "Hilite Color" while it is open, and every entry the song log writes is added to it live.
class LogWiring : public QObject {
    Q_OBJECT

public:
    LogWiring(MainForm& form, Settings& settings, SongLog& log,
              songlog::LogDialogs dialogs = songlog::LogDialogs::Standard());
    ~LogWiring() override;

    // Opens the viewer, or raises it when it is open already.
    void LogButtClick();
    // ViewOpen: true while the viewer is open.
    bool ViewOpen() const { return !view_.isNull(); }
    songlog::View* Viewer() const { return view_.data(); }
    void SetDialogs(songlog::LogDialogs dialogs) { dialogs_ = std::move(dialogs); }

Q_SIGNALS:
    // The viewer's "&Options": the Options dialog, on its "&Logging" tab alone when
    // loggingOnly.
    void OptionsRequested(bool loggingOnly);

private:
    void Colors(const ColorScheme& scheme);

    MainForm& form_;
    Settings& settings_;
    SongLog& log_;
    songlog::LogDialogs dialogs_;
    QPointer<songlog::View> view_;
    songlog::LogReader logReader_;  // the viewer's, for the program's life
};

}  // namespace corvane::app
