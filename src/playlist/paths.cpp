#include "playlist/paths.h"

#include "playlist/entry_text.h"
#include "playlist/playlisttext.h"

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

QString ResolveEntry(const QString& directory, const QString& entry, PathStyle style) {
    const QByteArray bytes = entry.toUtf8();
    QString path;
    if (!PlaylistText(bytes).Entry(directory, bytes, style, path)) return QString();
    return path;
}

namespace {

bool BlankAtAnEnd(const QString& text) {
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    return !text.isEmpty() && (blank(text.front()) || blank(text.back()));
}

// A relative name must read back as the same song: the line form skips empty and "#" lines, a
// leading U+FEFF on the first line is read as the file's byte-order mark, a native "\" would be
// read as a separator, "X:" as a drive and blanks at the ends are trimmed.
bool ReadsBackAsName(const QString& name, PathStyle style) {
    if (name.isEmpty() || name.startsWith(QLatin1Char('#')) || name.startsWith(QChar(0xFEFF)) ||
        BlankAtAnEnd(name))
        return false;
    if (style == PathStyle::Windows) return true;
    return !name.contains(QLatin1Char('\\')) && !entry::IsWindowsPath(QStringView(name));
}

}  // namespace

QString EntryText(const QString& directory, const QString& song, PathStyle style) {
    if (style == PathStyle::Unix ? entry::IsForeignEntry(song) : entry::IsNetworkUrl(song))
        return song;
    const SplitPathResult parts = SplitPath(song, style);
    if (parts.directory == directory && ReadsBackAsName(parts.fileName, style))
        return parts.fileName;
    if (style == PathStyle::Unix && BlankAtAnEnd(song)) return entry::ToFileUri(song);
    return song;
}

}  // namespace corvane
