#include "playlist/lineform.h"

#include "playlist/entry_text.h"
#include "playlist/playlisttext.h"

namespace corvane {

namespace {
constexpr int kLineFormStep = 25;
}

QStringList ParseLineForm(const QByteArray& data, const QString& directory, PathStyle style,
                          const PlaylistHooks& hooks) {
    const PlaylistText text(data);
    QStringList entries;
    QString path;
    text.ForEachLine([&](QByteArrayView raw) {
        const QByteArrayView line = entry::TrimBlanks(raw);
        if (line.isEmpty() || line.size() > kMaxLineBytes || line.front() == '#') return;
        if (!text.Entry(directory, line, style, path)) return;
        entries.append(std::move(path));
        if (hooks.yield && entries.size() % kLineFormStep == 0) hooks.yield();
    });
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
