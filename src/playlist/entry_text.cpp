#include "playlist/entry_text.h"

#include <QUtf8StringView>
#include <QVarLengthArray>
#include <algorithm>
#include <vector>

namespace corvane::entry {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsSegment(QStringView segment, const char16_t* dots) { return segment == QStringView(dots); }

}  // namespace

bool IsNetworkUrl(QStringView text) { return HasUrlScheme(text) && !IsFileUri(text); }

bool IsForeignEntry(QStringView text) { return IsNetworkUrl(text) || IsWindowsPath(text); }

QString FileNameOf(const QString& song) {
    qsizetype cut = song.lastIndexOf(u'/');
    if (IsWindowsPath(QStringView(song))) cut = std::max(cut, song.lastIndexOf(u'\\'));
    return song.sliced(cut + 1);
}

QString NetworkStreamStatus(const QString& url) {
    return QStringLiteral("Network streams are not played: ") + url;
}

bool DecodeFileUri(QByteArrayView uri, QString& path) {
    if (!IsFileUri(uri)) return false;
    const QByteArrayView rest = uri.sliced(7);
    const qsizetype slash = rest.indexOf('/');
    if (slash < 0) return false;
    const QByteArrayView host = rest.first(slash);
    if (!host.isEmpty() && host.compare("localhost", Qt::CaseInsensitive) != 0) return false;
    const QByteArrayView encoded = rest.sliced(slash);
    QVarLengthArray<char, 512> bytes(encoded.size());
    qsizetype size = 0;
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        char c = encoded[i];
        if (c == '%') {
            if (i + 2 >= encoded.size()) return false;
            const int high = HexValue(encoded[i + 1]);
            const int low = HexValue(encoded[i + 2]);
            if (high < 0 || low < 0 || (high == 0 && low == 0)) return false;
            c = static_cast<char>(high * 16 + low);
            i += 2;
        }
        bytes[size++] = c;
    }
    QByteArrayView decoded(bytes.constData(), size);
    // file:///C:/Music/a.mp3 names a Windows drive.
    if (decoded.size() >= 3 && IsAsciiLetter(At(decoded, 1)) && decoded[2] == ':')
        decoded = decoded.sliced(1);
    if (QUtf8StringView(decoded.data(), decoded.size()).isValidUtf8()) {
        path = QString::fromUtf8(decoded);
    } else {
        path = QString::fromLatin1(decoded);
    }
    return true;
}

QString ToFileUri(const QString& path) {
    static const QByteArray kKept("/-._~!$&'()*+,;=:@");
    return QStringLiteral("file://") + QString::fromLatin1(path.toUtf8().toPercentEncoding(kKept));
}

bool NeedsCleaning(QStringView path, qsizetype from) {
    qsizetype start = from;
    while (start <= path.size()) {
        qsizetype end = path.indexOf(u'/', start);
        if (end < 0) end = path.size();
        const QStringView segment = path.sliced(start, end - start);
        if (segment.isEmpty() || IsSegment(segment, u".") || IsSegment(segment, u"..")) return true;
        start = end + 1;
    }
    return false;
}

void CleanSegments(QString& path) {
    const QStringView source(path);
    const bool rooted = source.startsWith(u'/');
    QString out;
    out.reserve(path.size());
    if (rooted) out += QLatin1Char('/');
    const qsizetype rootLength = out.size();
    std::vector<qsizetype> kept;  // where each segment that ".." may remove begins in `out`
    qsizetype start = rooted ? 1 : 0;
    while (start <= source.size()) {
        qsizetype end = source.indexOf(u'/', start);
        if (end < 0) end = source.size();
        const QStringView segment = source.sliced(start, end - start);
        start = end + 1;
        if (segment.isEmpty() || IsSegment(segment, u".")) continue;
        const bool up = IsSegment(segment, u"..");
        if (up && !kept.empty()) {
            out.truncate(kept.back());
            kept.pop_back();
            continue;
        }
        if (up && rooted) continue;  // nothing is above the root
        if (!up) kept.push_back(out.size());
        if (out.size() > rootLength) out += QLatin1Char('/');
        out += segment;
    }
    path = std::move(out);
}

QByteArrayView TrimBlanks(QByteArrayView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
    return text.sliced(begin, end - begin);
}

}  // namespace corvane::entry
