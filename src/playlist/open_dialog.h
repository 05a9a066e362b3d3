#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringList>
#include <span>

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

// One kind of sound file the engine plays: its name ending (lower case, without the dot) and
// the MIME types desktops know it by (';'-separated, as in a desktop file).
struct SoundFileKind {
    QLatin1String ending;
    QLatin1String mimeTypes;
};

// Every sound file ending the program recognises, the old eight first. The open dialog, drops
// on line titles, the Playlist Editor's file list, the AutoPilot's start-up file, the desktop
// file and the manual all follow this one list.
std::span<const SoundFileKind> SoundFileKinds();

// "*.wav", "*.mp3", ...: one name pattern per ending, in the list's order.
QStringList SoundFilePatterns();

// The line open dialog's filter text: "Sound Files|*.wav;*.mp3;...|All Files|*.*".
QString SoundFileFilter();

// The sound-file test of a line's open, a drop and the command line: the path ends, in any
// case, in a dot and one of the known endings.
bool HasSoundFileEnding(const QString& path);

}  // namespace corvane
