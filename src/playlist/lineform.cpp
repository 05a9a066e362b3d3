#include "playlist/lineform.h"

#include <QUtf8StringView>
#include <cstring>

namespace corvane {

namespace {
constexpr int kLineFormStep = 25;
}

bool IsUtf8Text(const QByteArray& data) {
    return QUtf8StringView(data.constData(), data.size()).isValidUtf8();
}

QStringList ParseLineForm(const QByteArray& data, const QString& directory, PathStyle style,
                          const PlaylistHooks& hooks) {
    const bool utf8 = IsUtf8Text(data);
    const char* pos = data.constData();
    const char* const end = pos + data.size();
    // Windows editors like to start UTF-8 text with a byte-order mark.
    if (utf8 && data.startsWith("\xEF\xBB\xBF")) pos += 3;

    QStringList entries;
    while (pos < end) {
        const char* newline =
            static_cast<const char*>(std::memchr(pos, '\n', static_cast<size_t>(end - pos)));
        const char* lineEnd = newline ? newline : end;
        const char* next = newline ? newline + 1 : end;
        if (lineEnd > pos && lineEnd[-1] == '\r') --lineEnd;
        const qsizetype length = lineEnd - pos;
        if (length > 0 && length <= kMaxLineBytes && *pos != '#') {
            const QString line =
                utf8 ? QString::fromUtf8(pos, length) : QString::fromLatin1(pos, length);
            entries.append(ResolveEntry(directory, line, style));
            if (hooks.yield && entries.size() % kLineFormStep == 0) hooks.yield();
        }
        pos = next;
    }
    return entries;
}

bool FormatLineForm(const QStringList& songs, const QString& directory, PathStyle style,
                    const PlaylistHooks& hooks, QByteArray& out) {
    out.clear();
    qsizetype guess = 0;
    for (const QString& song : songs) guess += song.size() + 2;
    out.reserve(guess + guess / 8);
    for (qsizetype i = 0; i < songs.size(); ++i) {
        const QString text = EntryText(directory, songs.at(i), style);
        if (text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))) return false;
        out.append(text.toUtf8());
        out.append("\r\n", 2);
        ReportStep(hooks, i + 1, kLineFormStep);
    }
    return true;
}

}  // namespace corvane
