#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// What the text of a playlist entry names. Other programs write more than plain paths: file
// URIs, web addresses and Windows paths. Only local paths play here; the rest is kept exactly as
// written so that a load and a save never lose what another program stored.
namespace corvane::entry {

inline bool IsAsciiLetter(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
// One character of raw bytes or of text.
inline char16_t At(QByteArrayView text, qsizetype i) { return static_cast<unsigned char>(text[i]); }
inline char16_t At(QStringView text, qsizetype i) { return text[i].unicode(); }

// "scheme://" with a scheme of at least two characters (one letter and a colon is a drive).
template <typename View>
bool HasUrlScheme(View text) {
    const qsizetype size = text.size();
    if (size == 0 || !IsAsciiLetter(At(text, 0))) return false;
    qsizetype i = 1;
    for (; i < size; ++i) {
        const char16_t c = At(text, i);
        if (!IsAsciiLetter(c) && !(c >= u'0' && c <= u'9') && c != u'+' && c != u'-' && c != u'.')
            break;
    }
    return i >= 2 && i + 2 < size && At(text, i) == u':' && At(text, i + 1) == u'/' &&
           At(text, i + 2) == u'/';
}

// "file://" in any case.
template <typename View>
bool IsFileUri(View text) {
    if (text.size() < 7) return false;
    for (qsizetype i = 0; i < 4; ++i)
        if ((At(text, i) | 0x20) != char16_t(u"file"[i])) return false;
    return At(text, 4) == u':' && At(text, 5) == u'/' && At(text, 6) == u'/';
}

// A Windows drive path ("C:\…", "D:/…", "E:song.mp3") or a UNC path ("\\server\share\…").
template <typename View>
bool IsWindowsPath(View text) {
    if (text.size() >= 2 && IsAsciiLetter(At(text, 0)) && At(text, 1) == u':') return true;
    return text.size() >= 3 && At(text, 0) == u'\\' && At(text, 1) == u'\\' && At(text, 2) != u'\\';
}

// A web or streaming address (http:, https:, rtsp:, mms: …): anything with a scheme but a file
// URI. These are never local songs.
bool IsNetworkUrl(QStringView text);
// Kept as written, never joined to the playlist's folder: addresses and Windows paths.
bool IsForeignEntry(QStringView text);
// The file-name part of a song for display; Windows paths split at "\" as well.
QString FileNameOf(const QString& song);
// The status text shown when a stream is met where a song should play.
QString NetworkStreamStatus(const QString& url);

// The local path of a "file://" URI with an empty host or "localhost", percent-decoded as UTF-8
// (Latin-1 when the bytes are not UTF-8); "/C:/…" becomes the Windows path "C:/…". False for a
// bad escape, another host, an escaped NUL or an empty path.
bool DecodeFileUri(QByteArrayView uri, QString& path);
// A local path as a "file://" URI, for names that would not read back as themselves.
QString ToFileUri(const QString& path);

// Resolves "." and ".." and drops empty segments ("/" separated); ".." never climbs above the
// root. Linear in the length.
void CleanSegments(QString& path);
// Whether the segments from position `from` on (which follows a "/") hold "", "." or "..".
bool NeedsCleaning(QStringView path, qsizetype from);

// Blanks and tabs at both ends are no part of an entry.
QByteArrayView TrimBlanks(QByteArrayView text);

}  // namespace corvane::entry
