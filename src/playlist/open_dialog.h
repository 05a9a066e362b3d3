#pragma once

#include <QString>
#include <QStringList>

namespace corvane {

// What a line's open dialog asks: the window shows it (QFileDialog) and hands the chosen path
// back to the desk.
struct OpenDialogRequest {
    QString title;
    QStringList nameFilters;  // Qt name filters, "Sound Files (*.wav *.mp3 ...)"
    QString folder;
};

// "Desc|*.a;*.b|Desc2|*.*" filter text as Qt name filters; "*.*" becomes "*" so that names
// without a dot show too.
QStringList NameFiltersFrom(const QString& filter);

// The sound-file test of a line's open: the path's last three characters, in lower case, are
// one of the known endings (".ra" and ".rm" include their dot).
bool HasSoundFileEnding(const QString& path);

}  // namespace corvane
