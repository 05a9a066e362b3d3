#include "engine/overview_cache.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtEndian>

#include "settings/atomic_file.h"

namespace corvane::engine {

namespace {

constexpr char kMagic[] = "CVNOVW1\n";
constexpr qsizetype kMagicSize = sizeof(kMagic) - 1;
constexpr qsizetype kDigestSize = 20;  // SHA-1
// Far above any real key or overview: a size field beyond it is damage, not a big file.
constexpr quint32 kMaxField = 1 << 20;

QByteArray Digest(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
}

void AppendField(QByteArray* out, const QByteArray& field) {
    char size[4];
    qToLittleEndian(static_cast<quint32>(field.size()), size);
    out->append(size, 4);
    out->append(field);
}

// The field at `*at`, moving past it; empty when the bytes end or the size is absurd.
std::optional<QByteArray> TakeField(const QByteArray& bytes, qsizetype* at) {
    if (bytes.size() - *at < 4) return std::nullopt;
    const quint32 size = qFromLittleEndian<quint32>(bytes.constData() + *at);
    *at += 4;
    if (size > kMaxField || bytes.size() - *at < static_cast<qsizetype>(size)) return std::nullopt;
    QByteArray field = bytes.mid(*at, size);
    *at += size;
    return field;
}

}  // namespace

QString OverviewKey::Text() const {
    return path + QLatin1Char('\n') + QString::number(size) + QLatin1Char('\n') +
           QString::number(modifiedMs);
}

std::optional<OverviewKey> OverviewKeyOf(const QString& path) {
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile()) return std::nullopt;
    return OverviewKey{info.absoluteFilePath(), info.size(),
                       info.lastModified().toMSecsSinceEpoch()};
}

QString OverviewFolder() {
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return QDir::cleanPath(base) + QStringLiteral("/Corvane/overviews");
}

QByteArray EncodeOverview(const OverviewKey& key, const audio::OverviewPeaks& peaks) {
    QByteArray out(kMagic, kMagicSize);
    AppendField(&out, key.Text().toUtf8());
    AppendField(&out, QByteArray(reinterpret_cast<const char*>(peaks.data()),
                                 static_cast<qsizetype>(peaks.size())));
    out.append(Digest(out));
    return out;
}

std::optional<audio::OverviewPeaks> DecodeOverview(const QByteArray& bytes,
                                                   const OverviewKey& key) {
    if (bytes.size() < kMagicSize + kDigestSize || !bytes.startsWith(kMagic)) return std::nullopt;
    const QByteArray body = bytes.first(bytes.size() - kDigestSize);
    if (Digest(body) != bytes.last(kDigestSize)) return std::nullopt;
    qsizetype at = kMagicSize;
    const std::optional<QByteArray> madeFor = TakeField(body, &at);
    const std::optional<QByteArray> peaks = TakeField(body, &at);
    if (!madeFor || !peaks || at != body.size() || *madeFor != key.Text().toUtf8() ||
        peaks->size() != audio::kOverviewBins)
        return std::nullopt;
    return audio::OverviewPeaks(peaks->begin(), peaks->end());
}

QString OverviewCache::FileFor(const OverviewKey& key) const {
    const QByteArray name =
        QCryptographicHash::hash(key.Text().toUtf8(), QCryptographicHash::Sha1).toHex();
    return folder_ + QLatin1Char('/') + QString::fromLatin1(name) + QStringLiteral(".ovw");
}

std::optional<audio::OverviewPeaks> OverviewCache::Load(const OverviewKey& key) const {
    QFile file(FileFor(key));
    // Bounded read: a cache file is a couple of kilobytes, a damaged one may be anything.
    if (!file.open(QIODevice::ReadOnly) || file.size() > 4 * kMaxField) return std::nullopt;
    return DecodeOverview(file.readAll(), key);
}

bool OverviewCache::Store(const OverviewKey& key, const audio::OverviewPeaks& peaks) const {
    if (folder_.isEmpty() || !QDir().mkpath(folder_)) return false;
    return WriteFileAtomically(FileFor(key), EncodeOverview(key, peaks));
}

}  // namespace corvane::engine
