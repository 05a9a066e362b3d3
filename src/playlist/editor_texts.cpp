#include "playlist/editor_texts.h"

#include "playlist/open_dialog.h"

namespace corvane::editor {

QStringList FilterNames() {
    return {QStringLiteral("Sound Files"), QStringLiteral("Playlist Files"),
            QStringLiteral("All Files")};
}

QStringList FilterPatterns(FileFilter filter) {
    switch (filter) {
        case FileFilter::SoundFiles:
            return SoundFilePatterns();
        case FileFilter::PlaylistFiles:
            return {QStringLiteral("*.cvn"), QStringLiteral("*.m3u"), QStringLiteral("*.m3u8"),
                    QStringLiteral("*.pls")};
        case FileFilter::AllFiles:
            break;
    }
    return {QStringLiteral("*")};
}

namespace {

// Hundredths of a unit as text: no decimals when whole, no trailing zero.
QString Hundredths(qint64 hundredths, const QLocale& locale) {
    QString text = QString::number(hundredths / 100);
    const qint64 cents = hundredths % 100;
    if (cents == 0) return text;
    text += locale.decimalPoint();
    text += QLatin1Char(char('0' + cents / 10));
    if (cents % 10 != 0) text += QLatin1Char(char('0' + cents % 10));
    return text;
}

}  // namespace

QString SizeText(qint64 bytes, const QLocale& locale) {
    constexpr qint64 kKilo = 1024;
    constexpr qint64 kMega = 1048576;
    // Whole-number arithmetic: the cut to hundredths is exact, where s / 10.24 in floating
    // point may land just below a boundary.
    if (bytes < kKilo) return QString::number(bytes) + QStringLiteral(" Bytes");
    if (bytes < kMega) return Hundredths(bytes * 100 / kKilo, locale) + QStringLiteral(" KB");
    return Hundredths(bytes / kMega * 100 + bytes % kMega * 100 / kMega, locale) +
           QStringLiteral(" MB");
}

QString TitleLine(const QString& listName, qsizetype rows) {
    return listName + QStringLiteral(" - ") + QString::number(rows) + QStringLiteral(" Titles.");
}

QString ConfirmSaveText(const QString& listName) {
    return QStringLiteral("Save Changes to ") + listName + QLatin1Char('?');
}

}  // namespace corvane::editor
