#pragma once

#include <QDialog>

#include "songlog/ui/log_dialogs.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace corvane {
class Settings;
}

namespace corvane::songlog {

// "Output to Raw Text Log": writes the song log as a plain text file, one line per entry, the
// date and the time columns optional. Remembers the file and the two choices ("LastTextLog",
// "SaveDates", "SaveTimes") after a successful export only.
class Output : public QDialog {
    Q_OBJECT

public:
    Output(Settings& settings, QString logFile, LogDialogs dialogs, QWidget* parent = nullptr);

    void Load();
    void Browse_Click();
    // True when the file was written (the window then closes).
    bool Create_Click();
    void Done_Click();

    QLineEdit* Text1() const { return text1_; }
    QCheckBox* Check1() const { return check1_; }
    QCheckBox* Check2() const { return check2_; }
    QPushButton* Command1() const { return command1_; }
    QPushButton* Command2() const { return command2_; }
    QPushButton* Command3() const { return command3_; }

private:
    Settings& settings_;
    QString logFile_;
    LogDialogs dialogs_;
    QLineEdit* text1_ = nullptr;
    QCheckBox* check1_ = nullptr;
    QCheckBox* check2_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    QPushButton* command3_ = nullptr;
};

}  // namespace corvane::songlog
