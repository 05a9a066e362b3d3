#include "playlist/open_dialog.h"

#include <QRegularExpression>
#include <array>

namespace corvane {

QStringList NameFiltersFrom(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    static const QRegularExpression kTrailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        description.remove(kTrailingPatterns);
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
            if (pattern == QLatin1String("*.*")) pattern = QStringLiteral("*");
        }
        filters.append(description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')'));
    }
    return filters;
}

bool HasSoundFileEnding(const QString& path) {
    static constexpr std::array<QLatin1String, 8> kEndings = {
        QLatin1String("wav"), QLatin1String("mp3"), QLatin1String(".ra"), QLatin1String("mp2"),
        QLatin1String("mp1"), QLatin1String(".rm"), QLatin1String("ram"), QLatin1String("mid")};
    const QString ending = path.right(3).toLower();
    for (const QLatin1String& known : kEndings) {
        if (ending == known) return true;
    }
    return false;
}

}  // namespace corvane
