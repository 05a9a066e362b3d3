#include "playlist/playlisttext.h"

#include <QUtf8StringView>

#include "playlist/entry_text.h"

namespace corvane {

namespace {
bool IsAscii(const QByteArray& data) {
    unsigned char bits = 0;
    for (char c : data) bits |= static_cast<unsigned char>(c);
    return bits < 0x80;
}
}  // namespace

PlaylistText::PlaylistText(const QByteArray& data)
    : data_(data),
      ascii_(IsAscii(data)),
      utf8_(ascii_ || QUtf8StringView(data.constData(), data.size()).isValidUtf8()),
      decoder_(QStringDecoder::Utf8,
               QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom) {}

void PlaylistText::AppendDecoded(QString& text, QByteArrayView bytes) const {
    if (ascii_ || !utf8_) {
        text.append(QLatin1StringView(bytes));
        return;
    }
    // UTF-8 never decodes to more UTF-16 units than it has bytes.
    const qsizetype old = text.size();
    text.resize(old + bytes.size());
    text.truncate(decoder_.appendToBuffer(text.data() + old, bytes) - text.constData());
}

QString PlaylistText::Decode(QByteArrayView bytes) const {
    QString text;
    AppendDecoded(text, bytes);
    return text;
}

bool PlaylistText::Entry(const QString& directory, QByteArrayView raw, PathStyle style,
                         QString& path) const {
    const QByteArrayView entry = entry::TrimBlanks(raw);
    if (entry.isEmpty()) return false;
    if (entry::IsFileUri(entry)) return entry::DecodeFileUri(entry, path);
    // Addresses and Windows paths are kept as written: they are never in the list's folder.
    const bool kept =
        IsAbsolutePath(entry, style) || entry::IsWindowsPath(entry) || entry::HasUrlScheme(entry);
    path.clear();
    path.reserve((kept ? 0 : directory.size()) + entry.size());  // one allocation per entry
    if (kept) {
        AppendDecoded(path, entry);
        return true;
    }
    path.append(directory);
    AppendDecoded(path, entry);
    if (style == PathStyle::Unix) {
        ToNativeSeparators(path, directory.size(), style);
        if (entry::NeedsCleaning(path, directory.size())) entry::CleanSegments(path);
    }
    return true;
}

QByteArrayView TrimmedBytes(QByteArrayView bytes) {
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
    };
    while (begin < end && blank(bytes[begin])) ++begin;
    while (end > begin && blank(bytes[end - 1])) --end;
    return bytes.sliced(begin, end - begin);
}

}  // namespace corvane
