#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "playlist/playlist.h"

namespace corvane {

// The entries of a line-form file (".m3u", ".m3u8", ".cvn"): one per line, CR LF or LF ended,
// UTF-8 or Latin-1, read by ResolveEntry; blank lines and "#" lines (#EXTM3U, #EXTINF) are not
// entries. `hooks.yield` runs after every 25th entry.
QStringList ParseLineForm(const QByteArray& data, const QString& directory, PathStyle style,
                          const PlaylistHooks& hooks = {});

// The text of a line-form file for `songs`: UTF-8, CR LF line ends. `hooks.progress` gets the
// count after every 25th entry. False when a song's path cannot be stored as one line.
bool FormatLineForm(const QStringList& songs, const QString& directory, PathStyle style,
                    const PlaylistHooks& hooks, QByteArray& out);

}  // namespace corvane
