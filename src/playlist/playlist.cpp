#include "playlist/playlist.h"

#include <QFile>
#include <QFileInfo>

#include "playlist/lineform.h"
#include "playlist/plsform.h"
#include "settings/atomic_file.h"
#include "settings/settings.h"

namespace corvane {

namespace {

enum class PlaylistForm { Unknown, Lines, Ini };

// Only the ending counts, as it always has: "listcvn" without a dot is a line-form list too.
PlaylistForm FormOf(const QString& fileName) {
    const QString name = fileName.toLower();
    if (name.endsWith(QLatin1String("pls"))) return PlaylistForm::Ini;
    if (name.endsWith(QLatin1String("m3u")) || name.endsWith(QLatin1String("m3u8")) ||
        name.endsWith(QLatin1String("cvn")))
        return PlaylistForm::Lines;
    return PlaylistForm::Unknown;
}

void Yield(const PlaylistHooks& hooks) {
    if (hooks.yield) hooks.yield();
}

void Adopt(Playlist& playlist, const QString& directory, bool fresh, const QStringList& entries) {
    if (fresh) {
        playlist.SongList = entries;
        playlist.RecentList.clear();
        playlist.ListDir = directory;
    } else {
        playlist.SongList.append(entries);
    }
}

// Reads the whole file, or nothing: a half-read list is never adopted. Text never holds NUL
// bytes, so a file that does is some other kind of file.
bool ReadPlaylistFile(const QString& path, QByteArray& data) {
    QFile file(path);
    if (file.size() > kMaxPlaylistBytes || !file.open(QIODevice::ReadOnly)) return false;
    data = file.readAll();
    return file.error() == QFileDevice::NoError && !data.contains('\0');
}

bool LoadLineForm(Playlist& playlist, const QString& directory, const QString& path, bool fresh,
                  const PlaylistHooks& hooks, PathStyle style) {
    QByteArray data;
    if (!ReadPlaylistFile(path, data)) return false;
    Yield(hooks);
    Adopt(playlist, directory, fresh, ParseLineForm(data, directory, style, hooks));
    return true;
}

}  // namespace

bool IsPlaylistFileName(const QString& name) { return FormOf(name) != PlaylistForm::Unknown; }

bool ReadPls(Playlist& playlist, const QString& directory, const QString& fileName, bool fresh,
             const PlaylistHooks& hooks, PathStyle style) {
    QByteArray data;
    if (!ReadPlaylistFile(directory + fileName, data)) return false;
    Yield(hooks);
    QStringList entries;
    // Without its section the file is no playlist of this form: keep the list as it is.
    if (!ParsePls(data, directory, style, hooks, entries)) return false;
    Adopt(playlist, directory, fresh, entries);
    return true;
}

bool LoadPlaylist(Playlist& playlist, const QString& directory, const QString& fileName, bool fresh,
                  const PlaylistHooks& hooks, PathStyle style) {
    if (directory.isEmpty() || fileName.isEmpty()) return false;
    const QString path = directory + fileName;
    if (!QFileInfo(path).isFile()) return false;
    bool result = false;
    switch (FormOf(fileName)) {
        case PlaylistForm::Ini:
            result = ReadPls(playlist, directory, fileName, fresh, hooks, style);
            break;
        case PlaylistForm::Lines:
            result = LoadLineForm(playlist, directory, path, fresh, hooks, style);
            break;
        case PlaylistForm::Unknown:
            return false;
    }
    if (!result) return false;
    Yield(hooks);
    playlist.SongCount = static_cast<qint32>(playlist.SongList.size());
    return true;
}

bool SavePlaylist(const Playlist& playlist, const QString& directory, const QString& fileName,
                  Settings* settings, const PlaylistHooks& hooks, PathStyle style) {
    if (FormOf(fileName) == PlaylistForm::Ini)
        return WritePls(playlist, directory, fileName, hooks, style);
    if (directory.isEmpty() || fileName.isEmpty()) return false;
    QByteArray text;
    Yield(hooks);
    if (!FormatLineForm(playlist.SongList, directory, style, hooks, text)) return false;
    if (!WriteFileAtomically(directory + fileName, text)) return false;
    if (settings) settings->SavePref(QStringLiteral("Playlist"), directory + fileName);
    return true;
}

bool WritePls(const Playlist& playlist, const QString& directory, const QString& fileName,
              const PlaylistHooks& hooks, PathStyle style) {
    if (directory.isEmpty() || fileName.isEmpty()) return false;
    QByteArray text;
    if (!FormatPls(playlist.SongList, directory, style, hooks, text)) return false;
    return WriteFileAtomically(directory + fileName, text);
}

}  // namespace corvane
