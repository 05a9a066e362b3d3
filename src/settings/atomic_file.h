#pragma once

#include <QByteArray>
#include <QString>

namespace corvane {

// Replaces a file's content in one step, for every file the program writes: the bytes go to
// a temporary file ".<name>.<pid>.tmp" in the same folder, which is synced and renamed over the
// file, and then the folder is synced so the new name survives a crash. A process killed
// mid-write leaves the old file whole and its temporary file behind; the next write of the
// same file removes it. The folder must exist. A link is written through to its file.
// On failure the old file is as it was, no temporary file is left behind, the result is false,
// `error` (when given) says what failed and why, and `reason` just why ("No space left on
// device").
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr,
                         QString* reason = nullptr);

}  // namespace corvane
