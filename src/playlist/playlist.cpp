#include "playlist/playlist.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <utility>
#include <vector>

#include "playlist/lineform.h"
#include "playlist/plsform.h"
#include "settings/ini.h"
#include "settings/settings.h"

namespace corvane {

namespace {

constexpr int kPlsReadStep = 25;

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

// Reads the whole file, or nothing: a half-read list is never adopted.
bool ReadWholeFile(const QString& path, QByteArray& data) {
    QFile file(path);
    if (file.size() > kMaxPlaylistBytes || !file.open(QIODevice::ReadOnly)) return false;
    data = file.readAll();
    return file.error() == QFileDevice::NoError;
}

// The previous file stays in place until the new one is completely on disk.
bool WriteAtomically(const QString& path, const QByteArray& data) {
    if (QFileInfo(path).isDir()) return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(data) != data.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool LoadLineForm(Playlist& playlist, const QString& directory, const QString& path, bool fresh,
                  const PlaylistHooks& hooks, PathStyle style) {
    QByteArray data;
    if (!ReadWholeFile(path, data)) return false;
    // Text never holds NUL bytes: this is some other kind of file.
    if (data.contains('\0')) return false;
    Yield(hooks);
    Adopt(playlist, directory, fresh, ParseLineForm(data, directory, style, hooks));
    return true;
}

}  // namespace

bool ReadPls(Playlist& playlist, const QString& directory, const QString& fileName, bool fresh,
             IniFiles& ini, const PlaylistHooks& hooks, PathStyle style) {
    QList<IniKeyValue> keys;
    // Without its section the file is no playlist of this form: keep the list as it is.
    if (!ini.ReadSection(QStringLiteral("playlist"), directory + fileName, keys)) return false;
    Yield(hooks);
    qint64 count = 0;
    std::vector<std::pair<qint64, QString>> files;
    files.reserve(static_cast<size_t>(keys.size()));
    for (const IniKeyValue& key : keys) {
        if (const qint64 index = PlsFileKeyIndex(key.key)) {
            if (!key.value.isEmpty()) files.emplace_back(index, key.value);
        } else if (key.key.compare(QLatin1String("NumberOfEntries"), Qt::CaseInsensitive) == 0) {
            count = ParsePlsCount(key.value);
        }
    }
    // Only the keys that exist are visited, however large the stated count.
    std::sort(files.begin(), files.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    QStringList entries;
    for (const auto& [index, value] : files) {
        if (index > count) break;
        entries.append(ResolveEntry(directory, value, style));
        if (hooks.yield && entries.size() % kPlsReadStep == 0) hooks.yield();
    }
    Adopt(playlist, directory, fresh, entries);
    return true;
}

bool LoadPlaylist(Playlist& playlist, const QString& directory, const QString& fileName, bool fresh,
                  IniFiles& ini, const PlaylistHooks& hooks, PathStyle style) {
    if (directory.isEmpty() || fileName.isEmpty()) return false;
    const QString path = directory + fileName;
    if (!QFileInfo(path).isFile()) return false;
    bool result = false;
    switch (FormOf(fileName)) {
        case PlaylistForm::Ini:
            result = ReadPls(playlist, directory, fileName, fresh, ini, hooks, style);
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
    if (!WriteAtomically(directory + fileName, text)) return false;
    if (settings) settings->SavePref(QStringLiteral("Playlist"), directory + fileName);
    return true;
}

bool WritePls(const Playlist& playlist, const QString& directory, const QString& fileName,
              const PlaylistHooks& hooks, PathStyle style) {
    if (directory.isEmpty() || fileName.isEmpty()) return false;
    QByteArray text;
    if (!FormatPls(playlist.SongList, directory, style, hooks, text)) return false;
    return WriteAtomically(directory + fileName, text);
}

}  // namespace corvane
