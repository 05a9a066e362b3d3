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

void ToNativeSeparators(QString& path, qsizetype from, PathStyle style) {
    if (style != PathStyle::Unix) return;
    const qsizetype first = path.indexOf(QLatin1Char('\\'), from);
    if (first < 0) return;
    QChar* chars = path.data();
    for (qsizetype i = first; i < path.size(); ++i)
        if (chars[i] == u'\\') chars[i] = u'/';
}

QString EntryText(const QString& directory, const QString& song, PathStyle style) {
    const SplitPathResult parts = SplitPath(song, style);
    if (parts.directory != directory) return song;
    // A relative name must read back as the same song: the line form skips empty and "#"
    // lines, a leading U+FEFF on the first line is read as the file's byte-order mark, and a
    // native "\" would be read as a separator.
    if (parts.fileName.isEmpty() || parts.fileName.startsWith(QLatin1Char('#')) ||
        parts.fileName.startsWith(QChar(0xFEFF)))
        return song;
    if (style == PathStyle::Unix && parts.fileName.contains(QLatin1Char('\\'))) return song;
    return parts.fileName;
}

}  // namespace corvane
