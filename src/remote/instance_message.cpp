#include "remote/instance_message.h"

#include <QStringDecoder>
#include <QtEndian>
#include <cstring>

namespace corvane::remote {

namespace {

constexpr qsizetype kMagicBytes = 4;

void AppendCount(QByteArray& out, quint32 count) {
    char bytes[4];
    qToBigEndian(count, bytes);
    out.append(bytes, 4);
}

quint32 CountAt(QByteArrayView bytes, qsizetype at) {
    return qFromBigEndian<quint32>(bytes.data() + at);
}

// Strict UTF-8: an invalid sequence fails rather than turning into a replacement character.
std::optional<QString> DecodePath(QByteArrayView bytes) {
    if (std::memchr(bytes.data(), 0, size_t(bytes.size())) != nullptr) return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString path = decoder.decode(bytes);
    if (decoder.hasError() || !path.startsWith(u'/')) return std::nullopt;
    return path;
}

}  // namespace

bool IsSendablePath(const QString& path) {
    if (!path.startsWith(u'/') || path.contains(QChar(0)) || !path.isValidUtf16()) return false;
    return path.toUtf8().size() <= kMaxPathBytes;
}

std::optional<QByteArray> SerializeMessage(const QStringList& paths) {
    if (paths.size() > kMaxPaths) return std::nullopt;
    QByteArray out(kMessageMagic, kMagicBytes);
    out.append(char(kMessageVersion));
    AppendCount(out, quint32(paths.size()));
    for (const QString& path : paths) {
        if (!IsSendablePath(path)) return std::nullopt;
        const QByteArray utf8 = path.toUtf8();
        AppendCount(out, quint32(utf8.size()));
        out.append(utf8);
    }
    return out;
}

ParsedMessage ParseMessage(QByteArrayView bytes) {
    ParsedMessage result;
    const QByteArrayView magic(kMessageMagic, kMagicBytes);
    const qsizetype seen = qMin(bytes.size(), kMagicBytes);
    if (bytes.first(seen) != magic.first(seen)) return result;
    if (bytes.size() > kMagicBytes && quint8(bytes[kMagicBytes]) != kMessageVersion) return result;
    if (bytes.size() < kMessageHeaderBytes) {
        result.status = ParseStatus::Incomplete;
        return result;
    }
    const quint32 count = CountAt(bytes, kMagicBytes + 1);
    if (count > quint32(kMaxPaths)) return result;
    // The lengths first: a message still arriving is walked, not decoded, at each read.
    qsizetype at = kMessageHeaderBytes;
    for (quint32 i = 0; i < count; ++i) {
        if (bytes.size() - at < 4) {
            result.status = ParseStatus::Incomplete;
            return result;
        }
        const quint32 length = CountAt(bytes, at);
        if (length == 0 || length > quint32(kMaxPathBytes)) return result;
        at += 4 + qsizetype(length);
    }
    if (at > bytes.size()) {
        result.status = ParseStatus::Incomplete;
        return result;
    }
    if (at != bytes.size()) return result;
    QStringList paths;
    for (at = kMessageHeaderBytes; at < bytes.size();) {
        const qsizetype length = CountAt(bytes, at);
        const std::optional<QString> path = DecodePath(bytes.sliced(at + 4, length));
        if (!path) return result;
        paths.append(*path);
        at += 4 + length;
    }
    result.status = ParseStatus::Complete;
    result.paths = std::move(paths);
    return result;
}

}  // namespace corvane::remote
