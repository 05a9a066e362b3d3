#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

// The playlist every playlist figure and its floor read: `count` entries of about 60
// characters, every other one in the list's own folder. The line form (.m3u) holds each as a
// percent-encoded file:// URI, as other players write them; the INI form (.pls) holds plain
// paths, relative where the song lies in the list's folder. Written once per run under the
// build tree.
namespace corvane::bench {

inline QString PlaylistFixtureDir() { return QStringLiteral(CORVANE_BINARY_DIR "/bench-data/"); }

inline QString FixtureSong(qint64 i) {
    const QString name =
        QString::number(100000 + i) + QStringLiteral(" - Some Artist - Some Track Title.mp3");
    if (i % 2 == 0) return PlaylistFixtureDir() + name;
    return QStringLiteral("/home/dj/Music/Some Artist/Some Album/") + name;
}

inline QStringList FixtureSongs(qint64 count) {
    QStringList songs;
    songs.reserve(count);
    for (qint64 i = 0; i < count; ++i) songs << FixtureSong(i);
    return songs;
}

// Returns the file's name inside PlaylistFixtureDir(), or an empty text when it can't be written.
inline QString WritePlaylistFixture(qint64 count, bool pls) {
    const QString name = QStringLiteral("fixture-%1.%2")
                             .arg(count)
                             .arg(pls ? QStringLiteral("pls") : QStringLiteral("m3u"));
    QDir().mkpath(PlaylistFixtureDir());
    QFile file(PlaylistFixtureDir() + name);
    if (!file.open(QIODevice::WriteOnly)) return QString();
    QByteArray text;
    if (pls) text += "[playlist]\r\n";
    const int dirLength = static_cast<int>(PlaylistFixtureDir().size());
    for (qint64 i = 0; i < count; ++i) {
        QString entry = FixtureSong(i);
        if (!pls) {
            text += "file://" + entry.toUtf8().toPercentEncoding("/") + "\r\n";
            continue;
        }
        if (entry.startsWith(PlaylistFixtureDir())) entry = entry.mid(dirLength);
        text += "File" + QByteArray::number(i + 1) + '=';
        text += entry.toUtf8() + "\r\n";
    }
    if (pls) text += "NumberOfEntries=" + QByteArray::number(count) + "\r\n";
    if (file.write(text) != text.size()) return QString();
    return name;
}

}  // namespace corvane::bench
