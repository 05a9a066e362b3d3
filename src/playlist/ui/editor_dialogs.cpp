#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

#include "playlist/ui/list_editor.h"

namespace corvane::editor {

namespace {

// "CVN Playlist File (*.cvn)" → "cvn": a name typed without an ending gets the chosen form's.
QString SuffixOf(const QString& nameFilter) {
    static const QRegularExpression kFirstPattern(QStringLiteral("\\(\\*\\.(\\w+)"));
    return kFirstPattern.match(nameFilter).captured(1);
}

QString ChooseSave(QWidget* parent, const OpenDialogRequest& request, const QString& fileName) {
    QFileDialog dialog(parent, request.title, request.folder + fileName);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(request.nameFilters);
    dialog.setDefaultSuffix(SuffixOf(request.nameFilters.value(0)));
    QObject::connect(
        &dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog](const QString& filter) { dialog.setDefaultSuffix(SuffixOf(filter)); });
    if (dialog.exec() != QDialog::Accepted) return {};
    return dialog.selectedFiles().value(0);
}

}  // namespace

void FillStandardDialogs(EditorCallbacks& callbacks, QWidget* parent) {
    if (!callbacks.chooseOpen) {
        callbacks.chooseOpen = [parent](const OpenDialogRequest& request) {
            return QFileDialog::getOpenFileName(parent, request.title, request.folder,
                                                request.nameFilters.join(QStringLiteral(";;")));
        };
    }
    if (!callbacks.chooseSave) {
        callbacks.chooseSave = [parent](const OpenDialogRequest& request, const QString& name) {
            return ChooseSave(parent, request, name);
        };
    }
    if (!callbacks.confirm) {
        callbacks.confirm = [parent](const QString& question) {
            QMessageBox box(QMessageBox::Warning, QStringLiteral("Corvane"), question,
                            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
            switch (box.exec()) {
                case QMessageBox::Yes:
                    return SaveAnswer::Yes;
                case QMessageBox::No:
                    return SaveAnswer::No;
                default:
                    return SaveAnswer::Cancel;
            }
        };
    }
    if (!callbacks.message) {
        callbacks.message = [parent](const QString& text) {
            QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Corvane"), text, QMessageBox::Ok,
                            parent);
            box.exec();
        };
    }
}

}  // namespace corvane::editor
