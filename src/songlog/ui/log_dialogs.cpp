#include "songlog/ui/log_dialogs.h"

#include <QDialog>
#include <QFileDialog>

namespace corvane::songlog {

LogDialogs LogDialogs::Standard() {
    LogDialogs d;
    d.askYesNo = [](QWidget* parent, const QString& title, const QString& text) {
        QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Yes | QMessageBox::No,
                        parent);
        return box.exec() == QMessageBox::Yes;
    };
    d.message = [](QWidget* parent, QMessageBox::Icon icon, const QString& text) {
        QMessageBox box(icon, QLatin1String(kAppTitle), text, QMessageBox::Ok, parent);
        box.exec();
    };
    d.chooseOutputFile = [](QWidget* parent, const QString& initialFile) {
        QFileDialog dialog(parent, QStringLiteral("Choose Output File"), initialFile,
                           QStringLiteral("Text Files (*.txt);;All Files (*)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        // "&Create" asks before it replaces a file.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.selectFile(initialFile);
        return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()
                   ? dialog.selectedFiles().front()
                   : QString();
    };
    d.runOutput = [](QDialog& output) { output.exec(); };
    return d;
}

}  // namespace corvane::songlog
