#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

#include "audio/overview.h"

namespace corvane::engine {

// What an overview was made from: a file changed in place gets a new key.
struct OverviewKey {
    QString path;  // absolute
    qint64 size = 0;
    qint64 modifiedMs = 0;

    QString Text() const;
    bool operator==(const OverviewKey&) const = default;
};

// The key of the file at `path` as it is now; empty when it is not a readable file.
std::optional<OverviewKey> OverviewKeyOf(const QString& path);

// $XDG_CACHE_HOME/Corvane/overviews (~/.cache when unset).
QString OverviewFolder();

// The bytes of a cache file, and back: the key it was made for (so a name shared by two keys
// is no harm), the peaks and a digest; anything that does not check out reads as nothing.
QByteArray EncodeOverview(const OverviewKey& key, const audio::OverviewPeaks& peaks);
std::optional<audio::OverviewPeaks> DecodeOverview(const QByteArray& bytes, const OverviewKey& key);

// Overviews on disk, one small file per key, each written atomically.
class OverviewCache {
public:
    explicit OverviewCache(QString folder) : folder_(std::move(folder)) {}

    QString FileFor(const OverviewKey& key) const;
    // Empty when there is none, or when the file is damaged (it is then rebuilt over).
    std::optional<audio::OverviewPeaks> Load(const OverviewKey& key) const;
    // False when the folder cannot be made or written: the overview is simply not kept.
    bool Store(const OverviewKey& key, const audio::OverviewPeaks& peaks) const;

private:
    QString folder_;
};

}  // namespace corvane::engine
