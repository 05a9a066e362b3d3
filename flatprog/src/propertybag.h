#pragma once

#include <QLatin1String>
#include <QStringList>
#include <QVariantMap>
#include <QtGlobal>

namespace corvane::ombrel {

// Typed reads from a saved property bag. A missing entry gives the default quietly; an entry
// of the wrong type or out of range gives the default too and is remembered as rejected.
class BagReader {
public:
    explicit BagReader(const QVariantMap& bag) : bag_(bag) {}

    qint64 Number(QLatin1String key, qint64 fallback, qint64 lowest, qint64 highest);
    bool Boolean(QLatin1String key, bool fallback);
    // For checks the reader cannot make itself.
    void Reject(QLatin1String key) { rejected_.append(key); }

    const QStringList& Rejected() const { return rejected_; }

private:
    const QVariantMap& bag_;
    QStringList rejected_;
};

}  // namespace corvane::ombrel
