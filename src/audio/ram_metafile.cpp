#include "audio/ram_metafile.h"

#include <QDir>
#include <QList>
#include <QRegularExpression>
#include <QUrl>

namespace corvane::audio {

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
            if (!local.isEmpty()) return QDir::cleanPath(local);
            continue;
        }
        if (scheme.match(line).hasMatch()) {
            sawNetwork = true;
            continue;
        }
        return QDir::cleanPath(QDir(ramFolder).absoluteFilePath(line));
    }
    *error = sawNetwork ? QStringLiteral("the metafile names only network streams")
                        : QStringLiteral("the metafile names no file");
    return QString();
}

}  // namespace corvane::audio
