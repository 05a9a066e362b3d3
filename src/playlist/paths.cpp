#include "playlist/paths.h"

namespace corvane {

QChar Separator(PathStyle style) {
    return style == PathStyle::Windows ? QLatin1Char('\\') : QLatin1Char('/');
}

SplitPathResult SplitPath(const QString& path, PathStyle style) {
    const qsizetype cut = path.lastIndexOf(Separator(style));
    if (cut < 0) return {QString(), path};
    return {path.left(cut + 1), path.mid(cut + 1)};
}

QString StripExtension(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0) return name;
    return name.left(dot);
}

QString WithBackslash(const QString& directory, PathStyle style) {
    const QChar sep = Separator(style);
    if (directory.endsWith(sep)) return directory;
    return directory + sep;
}

QString DriveOf(const QString& path, PathStyle style) {
    if (style == PathStyle::Windows) return path.left(3).toUpper();
    return path.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
}

bool IsAbsolutePath(const QString& path, PathStyle style) {
    if (style == PathStyle::Windows) return path.size() >= 2 && path.at(1) == QLatin1Char(':');
    return path.startsWith(QLatin1Char('/'));
}

QString ResolveEntry(const QString& directory, const QString& entry, PathStyle style) {
    if (IsAbsolutePath(entry, style)) return entry;
    if (style == PathStyle::Unix && entry.contains(QLatin1Char('\\'))) {
        QString native = entry;
        native.replace(QLatin1Char('\\'), QLatin1Char('/'));
        return directory + native;
    }
    return directory + entry;
}

QString EntryText(const QString& directory, const QString& song, PathStyle style) {
    const SplitPathResult parts = SplitPath(song, style);
    if (parts.directory != directory) return song;
    // A relative name must read back as the same song: the line form skips "#" lines, and a
    // native "\" would be read as a separator.
    if (parts.fileName.startsWith(QLatin1Char('#'))) return song;
    if (style == PathStyle::Unix && parts.fileName.contains(QLatin1Char('\\'))) return song;
    return parts.fileName;
}

}  // namespace corvane
