#include "record/cue_sheet.h"

namespace corvane::record {

namespace {

// Quotes cannot be escaped inside a CUE string; line breaks would end the command.
QString Quoted(QString text) {
    text.replace(u'"', u'\'');
    text.replace(u'\n', u' ');
    text.replace(u'\r', u' ');
    return u'"' + text + u'"';
}

}  // namespace

QString CueIndex(int64_t frame, int rate) {
    const int64_t cd = rate > 0 ? (frame * 75 + rate / 2) / rate : 0;
    return QStringLiteral("%1:%2:%3")
        .arg(static_cast<qlonglong>(cd / (75 * 60)), 2, 10, QChar(u'0'))
        .arg(static_cast<qlonglong>(cd / 75 % 60), 2, 10, QChar(u'0'))
        .arg(static_cast<qlonglong>(cd % 75), 2, 10, QChar(u'0'));
}

QString CueText(const QString& audioFile, const QString& fileType,
                const std::vector<CueTrack>& tracks, int rate) {
    QString text = QStringLiteral("REM COMMENT \"Corvane\"\n");
    text += QStringLiteral("FILE %1 %2\n").arg(Quoted(audioFile), fileType);
    int number = 0;
    for (const CueTrack& track : tracks) {
        text += QStringLiteral("  TRACK %1 AUDIO\n").arg(++number, 2, 10, QChar(u'0'));
        text += QStringLiteral("    TITLE %1\n").arg(Quoted(track.title));
        text += QStringLiteral("    REM SAMPLE %1\n").arg(static_cast<qlonglong>(track.frame));
        text += QStringLiteral("    INDEX 01 %1\n").arg(CueIndex(track.frame, rate));
    }
    return text;
}

}  // namespace corvane::record
