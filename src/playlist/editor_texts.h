#pragma once

#include <QLatin1String>
#include <QLocale>
#include <QString>
#include <QStringList>

#include "playlist/playlist.h"

// The Playlist Editor's fixed texts and the small rules behind its displays.
namespace corvane::editor {

inline constexpr QLatin1String kCaption{"Playlist Editor"};
inline constexpr QLatin1String kUntitled{"Untitled"};
inline constexpr QLatin1String kFirstTitle{"Untitled.cvn"};
inline constexpr QLatin1String kLoadFailed{"Couldn't load the playlist."};
inline constexpr QLatin1String kSaveFailed{"Couldn't save the playlist."};
inline constexpr QLatin1String kOpenTitle{"Open a Playlist File"};
inline constexpr QLatin1String kOpenFilter{kPlaylistOpenFilter, sizeof(kPlaylistOpenFilter) - 1};
inline constexpr QLatin1String kSaveTitle{"Save Playlist File As"};
inline constexpr QLatin1String kSaveFilter{
    "CVN Playlist File (*.cvn)|*.cvn|M3U Playlist File (*.m3u, *.m3u8)|*.m3u;*.m3u8|PLS File "
    "(*.pls)|*.pls"};

// The file list's type filter: the three entries of Combo1, in order.
enum class FileFilter { SoundFiles, PlaylistFiles, AllFiles };
QStringList FilterNames();
// The name patterns a filter shows ("*.*" shows every file).
QStringList FilterPatterns(FileFilter filter);

// The size of a file for the status bar: bytes below 1 KB, then KB below 1 MB, then MB, with at
// most two decimals, cut rather than rounded, and the locale's decimal separator.
QString SizeText(qint64 bytes, const QLocale& locale = QLocale::system());

// "<ListName> - <rows> Titles."
QString TitleLine(const QString& listName, qsizetype rows);

// "Save Changes to <ListName>?"
QString ConfirmSaveText(const QString& listName);

}  // namespace corvane::editor
