#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QDialog;
class QWidget;

namespace corvane::songlog {

// The modal questions, messages and dialogs of the log viewer and the export window. The
// standard ones are the desktop's; tests put in their own so nothing blocks.
struct LogDialogs {
    // A Yes/No question with the exclamation icon; true for Yes.
    std::function<bool(QWidget* parent, const QString& title, const QString& text)> askYesNo;
    // A message box with the application's title.
    std::function<void(QWidget* parent, QMessageBox::Icon icon, const QString& text)> message;
    // The save-file dialog: the chosen path, or empty text when the user cancelled.
    std::function<QString(QWidget* parent, const QString& initialFile)> chooseOutputFile;
    // Runs the export window modally over the viewer.
    std::function<void(QDialog& output)> runOutput;

    static LogDialogs Standard();
};

inline constexpr char kAppTitle[] = "Corvane";

}  // namespace corvane::songlog
