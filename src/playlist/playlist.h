#pragma once

#include <QString>
#include <QStringList>

#include "playlist/hooks.h"
#include "playlist/paths.h"

namespace corvane {

class Settings;

// The one playlist in memory, shared by the AutoPilot and the Playlist Editor. Created in
// main() and handed to both. Lists are 0-based here: song i of the user's 1-based numbering is
// SongList[i - 1].
struct Playlist {
    QStringList SongList;    // full song paths in play order; duplicates allowed
    QStringList RecentList;  // the AutoPilot's recently started songs
    qint32 SongCount = 0;    // SongList's size at the end of the last load that read a file
    QString ListDir;         // directory of the current playlist file, ending in the separator
    QString ListName;        // file name of the current playlist
};

// Whether a file is a playlist by its name's ending, in any case: ".cvn", ".m3u", ".m3u8" or
// ".pls" (only the letters count: "listcvn" is a playlist too, as it always was).
bool IsPlaylistFileName(const QString& name);
// The open dialogs' filter for playlists.
inline constexpr char kPlaylistOpenFilter[] =
    "Playlist Files (*.cvn, *.m3u, *.m3u8, *.pls)|*.cvn;*.m3u;*.m3u8;*.pls|All Files (*.*)|*.*";

// Playlist files bigger than this are not playlists.
inline constexpr qint64 kMaxPlaylistBytes = 128LL * 1024 * 1024;

// Reads directory + fileName into SongList; the form follows the name's ending ("pls": INI
// form; "m3u", "m3u8", "cvn": line form). With `fresh` the lists are replaced and ListDir set,
// else the entries are appended. False, with nothing changed, for empty arguments, a missing
// or unreadable file, an unknown ending or a file that is not text.
bool LoadPlaylist(Playlist& playlist, const QString& directory, const QString& fileName, bool fresh,
                  const PlaylistHooks& hooks = {}, PathStyle style = kNativePathStyle);
// The INI-form reader behind LoadPlaylist; false, with nothing changed, for a file without the
// section "playlist".
bool ReadPls(Playlist& playlist, const QString& directory, const QString& fileName, bool fresh,
             const PlaylistHooks& hooks = {}, PathStyle style = kNativePathStyle);

// Writes SongList to directory + fileName ("pls" in any case: INI form, else line form); songs
// lying directly in `directory` are stored relative. The file is replaced atomically: on false
// the previous file is intact. A line-form save also stores the setting "Playlist" (when
// `settings` is given).
bool SavePlaylist(const Playlist& playlist, const QString& directory, const QString& fileName,
                  Settings* settings, const PlaylistHooks& hooks = {},
                  PathStyle style = kNativePathStyle);
// The INI-form writer behind SavePlaylist: a fresh file holding only section "playlist" with
// "NumberOfEntries" and the "File" keys.
bool WritePls(const Playlist& playlist, const QString& directory, const QString& fileName,
              const PlaylistHooks& hooks = {}, PathStyle style = kNativePathStyle);

}  // namespace corvane
