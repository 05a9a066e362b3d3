#include "playlist/open_dialog.h"

#include <QRegularExpression>

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

namespace {

constexpr SoundFileKind kSoundFileKinds[] = {
    {QLatin1String("wav"), QLatin1String("audio/x-wav;audio/wav;audio/vnd.wave")},
    {QLatin1String("mp3"), QLatin1String("audio/mpeg;audio/x-mp3")},
    {QLatin1String("mp2"), QLatin1String("audio/mp2;audio/x-mp2")},
    {QLatin1String("mp1"), QLatin1String("audio/mpeg")},
    {QLatin1String("ra"), QLatin1String("audio/x-pn-realaudio;audio/vnd.rn-realaudio")},
    {QLatin1String("rm"), QLatin1String("application/vnd.rn-realmedia")},
    {QLatin1String("ram"), QLatin1String("audio/x-pn-realaudio")},
    {QLatin1String("mid"), QLatin1String("audio/midi;audio/x-midi")},
    {QLatin1String("flac"), QLatin1String("audio/flac;audio/x-flac")},
    {QLatin1String("ogg"), QLatin1String("audio/ogg;audio/x-vorbis+ogg")},
    {QLatin1String("oga"), QLatin1String("audio/ogg")},
    {QLatin1String("opus"), QLatin1String("audio/x-opus+ogg;audio/opus")},
    {QLatin1String("m4a"), QLatin1String("audio/mp4;audio/x-m4a;audio/m4a")},
    {QLatin1String("mp4"), QLatin1String("audio/mp4")},
    {QLatin1String("aac"), QLatin1String("audio/aac;audio/x-aac")},
    {QLatin1String("aif"), QLatin1String("audio/x-aiff")},
    {QLatin1String("aiff"), QLatin1String("audio/x-aiff;audio/aiff")},
    {QLatin1String("aifc"), QLatin1String("audio/x-aifc")},
    {QLatin1String("wv"), QLatin1String("audio/x-wavpack;audio/wavpack")},
};

}  // namespace

std::span<const SoundFileKind> SoundFileKinds() { return kSoundFileKinds; }

QStringList SoundFilePatterns() {
    QStringList patterns;
    for (const SoundFileKind& kind : kSoundFileKinds)
        patterns.append(QStringLiteral("*.") + kind.ending);
    return patterns;
}

QString SoundFileFilter() {
    return QStringLiteral("Sound Files|") + SoundFilePatterns().join(QLatin1Char(';')) +
           QStringLiteral("|All Files|*.*");
}

bool HasSoundFileEnding(const QString& path) {
    for (const SoundFileKind& kind : kSoundFileKinds) {
        const qsizetype dot = path.size() - kind.ending.size() - 1;
        if (dot >= 0 && path[dot] == QLatin1Char('.') &&
            path.endsWith(kind.ending, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

}  // namespace corvane
