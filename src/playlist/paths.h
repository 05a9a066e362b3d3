#pragma once

#include <QString>

namespace corvane {

// Playlists travel between machines, so the path helpers understand both the native form
// ("/" separates, absolute when it starts with "/") and the Windows form (drive letter and
// colon, "\" separates, absolute when the second character is ":").
enum class PathStyle { Unix, Windows };
inline constexpr PathStyle kNativePathStyle = PathStyle::Unix;

struct SplitPathResult {
    QString directory;  // up to and including the last separator; empty when there is none
    QString fileName;   // everything after it
};

QChar Separator(PathStyle style = kNativePathStyle);
SplitPathResult SplitPath(const QString& path, PathStyle style = kNativePathStyle);
// The text before the last "."; the name unchanged when that text would be empty. Pass a bare
// file name: the scan does not stop at a separator.
QString StripExtension(const QString& name);
// Makes a directory end in the separator (unchanged when it already does, e.g. a root).
QString WithBackslash(const QString& directory, PathStyle style = kNativePathStyle);
// The drive a path lies on: "C:\" style upper-cased in the Windows form, "/" for an absolute
// native path (empty for a relative one).
QString DriveOf(const QString& path, PathStyle style = kNativePathStyle);
// For text and for the raw bytes of a playlist line alike (a second byte ':' in UTF-8 or
// Latin-1 is always the second character).
template <typename View>
bool IsAbsolutePath(const View& path, PathStyle style = kNativePathStyle) {
    if (style == PathStyle::Windows) return path.size() >= 2 && path[1] == u':';
    return path.size() >= 1 && path[0] == u'/';
}
// In the native form, turns "\" from position `from` on into "/".
void ToNativeSeparators(QString& path, qsizetype from, PathStyle style);

// A playlist entry as stored in a file, made into a song path; empty when the text is no entry.
// Blanks and tabs around it are dropped. A "file://" URI becomes its local path (another host or
// a bad escape: no entry); other addresses, absolute paths and Windows drive and UNC paths are
// kept as written; relative entries are joined to the playlist's directory. In the native form
// a relative entry's "\" separators (written on Windows) are read as "/" and its "." and ".."
// segments resolved.
QString ResolveEntry(const QString& directory, const QString& entry,
                     PathStyle style = kNativePathStyle);
// The text a playlist file stores for a song: just its file name when the song lies directly
// in the playlist's directory (exact, case-sensitive comparison), else the whole path, or its
// "file://" URI when blanks at its ends would be lost. Addresses and Windows paths unchanged.
QString EntryText(const QString& directory, const QString& song,
                  PathStyle style = kNativePathStyle);

}  // namespace corvane
