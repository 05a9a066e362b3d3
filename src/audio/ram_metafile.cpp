#include "audio/ram_metafile.h"

#include <QDir>
#include <QList>
#include <QRegularExpression>
#include <QUrl>

namespace corvane::audio {

namespace {

// "file:song.ra" is relative too. Only "/" makes a path absolute: QDir would take a name
// starting with ':' for a Qt resource.
QString AbsoluteIn(const QString& folder, const QString& path) {
    return QDir::cleanPath(path.startsWith(u'/') ? path : folder + u'/' + path);
}

}  // namespace

QString LocalStreamOfRam(const QByteArray& text, const QString& ramFolder, QString* error) {
    // A scheme is letters, digits, + - . followed by ':'; one letter before ':' would be a
    // Windows drive, which is a path, not an address.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    bool sawNetwork = false;
    const QList<QByteArray> lines = text.split('\n');
    for (const QByteArray& rawLine : lines) {
        const QString line = QString::fromUtf8(rawLine).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        if (line.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
            const QString local = QUrl(line).toLocalFile();
            if (!local.isEmpty()) return AbsoluteIn(ramFolder, local);
            continue;
        }
        if (scheme.match(line).hasMatch()) {
            sawNetwork = true;
            continue;
        }
        return AbsoluteIn(ramFolder, line);
    }
    *error = sawNetwork ? QStringLiteral("the metafile names only network streams")
                        : QStringLiteral("the metafile names no file");
    return QString();
}

}  // namespace corvane::audio
