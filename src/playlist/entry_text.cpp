#include "playlist/entry_text.h"

#include <QUtf8StringView>
#include <QVarLengthArray>
#include <algorithm>
#include <array>
#include <vector>

namespace corvane::entry {

namespace {

// Hex digit values by byte, -1 for any other byte: one load per digit in the hot loop.
constexpr std::array<signed char, 256> kHexDigits = [] {
    std::array<signed char, 256> table{};
    for (size_t i = 0; i < table.size(); ++i) table[i] = -1;
    for (int d = 0; d < 10; ++d) table[size_t('0' + d)] = static_cast<signed char>(d);
    for (int d = 0; d < 6; ++d) {
        table[size_t('a' + d)] = static_cast<signed char>(10 + d);
        table[size_t('A' + d)] = static_cast<signed char>(10 + d);
    }
    return table;
}();

inline int HexValue(char c) { return kHexDigits[static_cast<unsigned char>(c)]; }

// The byte of the escape at `at` ("%41"); -1 for a bad one, and for "%00", which no path holds.
inline int EscapedByte(QByteArrayView text, qsizetype at) {
    if (at + 2 >= text.size()) return -1;
    const int high = HexValue(text[at + 1]);
    const int low = HexValue(text[at + 2]);
    if (high < 0 || low < 0 || (high == 0 && low == 0)) return -1;
    return high * 16 + low;
}

// The usual URI: ASCII once decoded, written straight into the text in one pass. False, with
// `path` unspecified, when a bad escape or a byte beyond ASCII needs the general decoder.
bool DecodeAscii(QByteArrayView encoded, QString& path) {
    path.resize(encoded.size());
    char16_t* out = reinterpret_cast<char16_t*>(path.data());
    const char* data = encoded.data();
    const qsizetype size = encoded.size();
    qsizetype length = 0;
    unsigned char bits = 0;
    for (qsizetype i = 0; i < size; ++i) {
        auto c = static_cast<unsigned char>(data[i]);
        if (c == '%') {
            const int byte = EscapedByte(encoded, i);
            if (byte < 0) return false;
            c = static_cast<unsigned char>(byte);
            i += 2;
        }
        bits |= c;
        out[length++] = c;
    }
    path.truncate(length);
    return bits < 0x80;
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
    QByteArrayView encoded = rest.sliced(slash);
    // file:///C:/Music/a.mp3 names a Windows drive.
    if (encoded.size() >= 3 && IsAsciiLetter(At(encoded, 1)) && encoded[2] == ':')
        encoded = encoded.sliced(1);
    if (DecodeAscii(encoded, path)) return true;
    // Bytes beyond ASCII: gathered, then read as UTF-8 (Latin-1 when they are not UTF-8).
    QVarLengthArray<char, 256> bytes;
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        char c = encoded[i];
        if (c == '%') {
            const int byte = EscapedByte(encoded, i);
            if (byte < 0) return false;
            c = static_cast<char>(byte);
            i += 2;
        }
        bytes.append(c);
    }
    const QByteArrayView decoded(bytes.constData(), bytes.size());
    if (QUtf8StringView(decoded.data(), decoded.size()).isValidUtf8()) {
        path = QString::fromUtf8(decoded);
    } else {
        path = QString::fromLatin1(decoded);
    }
    return true;
}

QString ToFileUri(const QString& path) {
    static const QByteArray kKept("/-._~!$&'()*+,;=:@");
    QByteArray encoded = path.toUtf8().toPercentEncoding(kKept);
    // "/c:/…" is a folder named "c:", which the reader would take for a drive.
    if (encoded.size() >= 3 && encoded[0] == '/' && IsAsciiLetter(At(encoded, 1)) &&
        encoded[2] == ':')
        encoded.replace(2, 1, "%3A");
    return QStringLiteral("file://") + QString::fromLatin1(encoded);
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
