#include "playlist/plsform.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

#include "playlist/playlisttext.h"

namespace corvane {

namespace {
constexpr int kPlsWriteStep = 50;
constexpr int kPlsReadStep = 25;

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

qint64 PlsFileKeyIndex(QByteArrayView key) {
    if (key.size() < 5 || key.size() > 22) return 0;
    if (key.first(4).compare("file", Qt::CaseInsensitive) != 0 || key[4] == '0') return 0;
    qint64 index = 0;
    for (char c : key.sliced(4)) {
        if (c < '0' || c > '9') return 0;
        const int digit = c - '0';
        if (index > (std::numeric_limits<qint64>::max() - digit) / 10) return 0;
        index = index * 10 + digit;
    }
    return index;
}

bool ParsePls(const QByteArray& data, const QString& directory, PathStyle style,
              const PlaylistHooks& hooks, QStringList& entries) {
    const PlaylistText text(data);
    bool found = false;
    bool inList = false;
    std::optional<QByteArrayView> count;
    std::vector<std::pair<qint64, QByteArrayView>> files;
    text.ForEachLine([&](QByteArrayView line) {
        if (line.size() > kMaxLineBytes) return;
        const QByteArrayView trimmed = TrimmedBytes(line);
        if (trimmed.isEmpty() || trimmed.front() == ';' || trimmed.front() == '#') return;
        const qsizetype close = trimmed.front() == '[' ? trimmed.indexOf(']') : -1;
        if (close > 0) {
            inList = TrimmedBytes(trimmed.sliced(1, close - 1))
                         .compare("playlist", Qt::CaseInsensitive) == 0;
            found = found || inList;
            return;
        }
        const qsizetype equals = trimmed.indexOf('=');
        if (!inList || equals <= 0) return;
        const QByteArrayView key = TrimmedBytes(trimmed.first(equals));
        const QByteArrayView value = TrimmedBytes(trimmed.sliced(equals + 1));
        if (const qint64 index = PlsFileKeyIndex(key))
            files.emplace_back(index, value);
        else if (!count && key.compare("NumberOfEntries", Qt::CaseInsensitive) == 0)
            count = value;
    });
    if (!found) return false;

    const qint64 last = count ? ParsePlsCount(text.Decode(*count)) : 0;
    // Only the keys that exist are visited, however large the stated count; among keys of the
    // same number the first in the file wins.
    const auto byNumber = [](const auto& a, const auto& b) { return a.first < b.first; };
    if (!std::is_sorted(files.begin(), files.end(), byNumber))
        std::stable_sort(files.begin(), files.end(), byNumber);
    entries.reserve(entries.size() + qsizetype(files.size()));
    qint64 previous = 0;
    for (const auto& [index, value] : files) {
        if (index > last) break;
        if (index == previous) continue;
        previous = index;
        QString path;
        if (!text.Entry(directory, value, style, path)) continue;
        entries.append(std::move(path));
        if (hooks.yield && entries.size() % kPlsReadStep == 0) hooks.yield();
    }
    return true;
}

bool FormatPls(const QStringList& songs, const QString& directory, PathStyle style,
               const PlaylistHooks& hooks, QByteArray& out) {
    out.clear();
    qsizetype guess = 32;
    for (const QString& song : songs) guess += song.size() + 16;
    out.reserve(guess + guess / 8);
    out.append("[playlist]\r\n");
    for (qsizetype i = 0; i < songs.size(); ++i) {
        QString text = EntryText(directory, songs.at(i), style);
        // A name with blanks at its start reads back whole only in the song's whole path.
        if (!FitsIniValue(text)) text = songs.at(i);
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
