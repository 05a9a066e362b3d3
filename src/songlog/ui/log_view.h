#pragma once

#include <QList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "songlog/log_reader.h"
#include "songlog/log_table_model.h"
#include "songlog/ui/log_dialogs.h"

class QLabel;
class QPushButton;
class QTreeView;

namespace corvane {
class IniFiles;
class Settings;
}  // namespace corvane

namespace corvane::ombrel {
class FlatProg;
}

namespace corvane::songlog {

// The log viewer: every entry of the song log in a Date / Time / Song table, new entries added
// as they are written, the log cleared on request, the export window opened. The log file is
// read on a worker thread and the table filled in steps from the event loop, so a log of any
// size leaves the program responsive (the reader's one thread lives as long as the program).
// Positions and sizes are kept in twips ("ViewLeft", "ViewTop", "ViewWidth", "ViewHeight",
// "ViewState"). The window deletes itself when closed.
class View : public QWidget {
    Q_OBJECT

public:
    static constexpr int kTwipsPerPixel = 15;
    // Rows added to the table per turn of the event loop while filling.
    static constexpr int kRowsPerStep = 5000;

    // logFile: the song log's file in use now ("LogFile" as the program holds it).
    View(Settings& settings, std::function<QString()> logFile, LogDialogs dialogs,
         LogReader& reader, QWidget* parent = nullptr);
    ~View() override;

    // Restores size, position and state, shows the window and starts filling the table.
    void Load();
    // Reloads the whole table from the log file; the window takes no input until it is done.
    void RefreshListing();
    // Appends the row of one entry just written (deferred while a refresh runs).
    void AddOne(int entry);
    bool Refreshing() const { return refreshing_; }

    void Options_Click();
    void Done_Click();
    void SaveToFile_Click();
    void Clear_Click();

    LogTableModel& Model() { return model_; }
    QTreeView* List() const { return list_; }
    ombrel::FlatProg* Prog() const { return prog_; }
    QLabel* FileLabel() const { return fileLabel_; }
    QPushButton* Command1() const { return command1_; }
    QPushButton* Command2() const { return command2_; }
    QPushButton* Command3() const { return command3_; }
    QPushButton* Command4() const { return command4_; }

Q_SIGNALS:
    // "&Options": the Options dialog, on its "&Logging" tab alone when loggingOnly.
    void OptionsRequested(bool loggingOnly);
    void RefreshFinished();
    // The window is closing; its settings are saved.
    void Unloaded();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void StartRead();
    struct Read;  // one read of the log file, shared with the reader
    void EntriesRead(const std::shared_ptr<Read>& read);
    void FillStep();
    void FinishRefresh();
    void Layout();
    QString LogFile() const;

    Settings& settings_;
    IniFiles& ini_;
    std::function<QString()> logFile_;
    LogDialogs dialogs_;
    LogTableModel model_;
    QTreeView* list_ = nullptr;
    QLabel* label1_ = nullptr;
    QLabel* fileLabel_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* command3_ = nullptr;
    QPushButton* command4_ = nullptr;
    ombrel::FlatProg* prog_ = nullptr;

    QTimer fillTimer_;
    LogReader& reader_;
    std::shared_ptr<Read> read_;  // the read under way, if any
    bool readAgain_ = false;      // a refresh was asked for while the file was being read
    QList<LogEntry> loading_;
    qsizetype filled_ = 0;
    bool refreshing_ = false;
    QList<int> deferredAdds_;
    bool unloaded_ = false;
};

}  // namespace corvane::songlog
