#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include "playlist/playlist.h"

namespace corvane {

// The INI form (".pls"): section "playlist" with "NumberOfEntries" and keys "File1" to "FileN".

// "NumberOfEntries" as the number it starts with, rounded half to even; 0 when the text does
// not start with a number. Negative and huge values are returned as they are; the reader only
// ever visits keys that exist.
qint64 ParsePlsCount(const QString& text);

// The position n of a key named "File" followed by n in decimal without leading zeros (case
// blind); 0 for any other key.
qint64 PlsFileKeyIndex(QByteArrayView key);

// The entries of a ".pls" file, read by the INI rules (sections in brackets, key=value, names
// without regard to case, blanks around them dropped, the first match wins, a section that
// appears twice is one section): the "File" keys up to "NumberOfEntries" in order of their
// number, skipping missing and empty ones. `hooks.yield` runs after every 25th entry. False
// when the file has no section "playlist".
bool ParsePls(const QByteArray& data, const QString& directory, PathStyle style,
              const PlaylistHooks& hooks, QStringList& entries);

// The whole text of a ".pls" file for `songs`: UTF-8, CR LF line ends. `hooks.progress` gets
// the count after every 50th entry, then `hooks.yield` runs. False when a song's path cannot be
// stored as one INI value.
bool FormatPls(const QStringList& songs, const QString& directory, PathStyle style,
               const PlaylistHooks& hooks, QByteArray& out);

}  // namespace corvane
