#include "playlist/playlisttext.h"

#include <QUtf8StringView>

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

QString PlaylistText::Entry(const QString& directory, QByteArrayView entry, PathStyle style) const {
    const bool absolute = IsAbsolutePath(entry, style);
    QString path;
    path.reserve((absolute ? 0 : directory.size()) + entry.size());  // one allocation per entry
    if (absolute) {
        AppendDecoded(path, entry);
        return path;
    }
    path.append(directory);
    AppendDecoded(path, entry);
    ToNativeSeparators(path, directory.size(), style);
    return path;
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
