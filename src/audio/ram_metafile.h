#pragma once

#include <QByteArray>
#include <QString>

namespace corvane::audio {

// Picks the stream a RealAudio metafile (.ram) should play: the first line naming a local file,
// either a path (relative ones are taken from `ramFolder`) or a file:// address. Comment
// lines (#) and blank lines are skipped; network addresses are never followed. Returns the
// absolute path, or an empty string with `error` set when no line names a local file.
QString LocalStreamOfRam(const QByteArray& text, const QString& ramFolder, QString* error);

}  // namespace corvane::audio
