#include "playlist/plsform.h"

#include <cmath>
#include <limits>

namespace corvane {

namespace {
constexpr int kPlsWriteStep = 50;

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

qsizetype SkipDigits(const QString& text, qsizetype i) {
    while (i < text.size() && IsDigit(text.at(i))) ++i;
    return i;
}

// An INI value is one line, and the reader trims the blanks around it.
bool FitsIniValue(const QString& value) {
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r'))) return false;
    return value.isEmpty() || (!value.front().isSpace() && !value.back().isSpace());
}
}  // namespace

qint64 ParsePlsCount(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == QLatin1Char(' ') || text.at(i) == QLatin1Char('\t')))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) ++i;
    const qsizetype intStart = i;
    i = SkipDigits(text, i);
    bool anyDigit = i > intStart;
    if (i < text.size() && text.at(i) == QLatin1Char('.')) {
        const qsizetype fracStart = i + 1;
        const qsizetype fracEnd = SkipDigits(text, fracStart);
        if (fracEnd > fracStart || anyDigit) i = fracEnd;
        anyDigit = anyDigit || fracEnd > fracStart;
    }
    if (!anyDigit) return 0;
    if (i < text.size() && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        qsizetype e = i + 1;
        if (e < text.size() && (text.at(e) == QLatin1Char('+') || text.at(e) == QLatin1Char('-')))
            ++e;
        const qsizetype expEnd = SkipDigits(text, e);
        if (expEnd > e) i = expEnd;
    }
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    if (!ok && !std::isinf(value)) return 0;
    constexpr double kLimit = 9.0e18;  // keeps the conversion to qint64 defined
    if (value >= kLimit) return static_cast<qint64>(kLimit);
    if (value <= -kLimit) return -static_cast<qint64>(kLimit);
    return static_cast<qint64>(std::nearbyint(value));  // default rounding: half to even
}

qint64 PlsFileKeyIndex(const QString& key) {
    if (key.size() < 5 || key.size() > 22) return 0;
    if (!key.startsWith(QLatin1String("file"), Qt::CaseInsensitive)) return 0;
    if (key.at(4) == QLatin1Char('0')) return 0;
    qint64 index = 0;
    for (qsizetype i = 4; i < key.size(); ++i) {
        if (!IsDigit(key.at(i))) return 0;
        const int digit = key.at(i).unicode() - '0';
        if (index > (std::numeric_limits<qint64>::max() - digit) / 10) return 0;
        index = index * 10 + digit;
    }
    return index;
}

bool FormatPls(const QStringList& songs, const QString& directory, PathStyle style,
               const PlaylistHooks& hooks, QByteArray& out) {
    out.clear();
    qsizetype guess = 32;
    for (const QString& song : songs) guess += song.size() + 16;
    out.reserve(guess + guess / 8);
    out.append("[playlist]\r\n");
    for (qsizetype i = 0; i < songs.size(); ++i) {
        const QString text = EntryText(directory, songs.at(i), style);
        if (!FitsIniValue(text)) return false;
        const qsizetype count = i + 1;
        out.append("File");
        out.append(QByteArray::number(count));
        out.append('=');
        out.append(text.toUtf8());
        out.append("\r\n", 2);
        ReportStep(hooks, count, kPlsWriteStep);
    }
    out.append("NumberOfEntries=");
    out.append(QByteArray::number(songs.size()));
    out.append("\r\n", 2);
    return true;
}

}  // namespace corvane
