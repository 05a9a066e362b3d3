#include "propertybag.h"

#include <QMetaType>
#include <optional>

namespace corvane::ombrel {

namespace {

std::optional<qint64> ToInteger(const QVariant& v) {
    const int type = v.typeId();
    if (type == QMetaType::Double || type == QMetaType::Float) {
        // Range-checked here: converting a huge double to an integer is undefined.
        const double d = v.toDouble();
        if (!(d >= -9.0e15 && d <= 9.0e15) || d != static_cast<double>(static_cast<qint64>(d))) {
            return std::nullopt;
        }
        return static_cast<qint64>(d);
    }
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    if (!ok) {
        return std::nullopt;
    }
    return n;
}

}  // namespace

qint64 BagReader::Number(QLatin1String key, qint64 fallback, qint64 lowest, qint64 highest) {
    const auto it = bag_.constFind(key);
    if (it == bag_.constEnd()) {
        return fallback;
    }
    const std::optional<qint64> n = ToInteger(*it);
    if (!n || *n < lowest || *n > highest) {
        Reject(key);
        return fallback;
    }
    return *n;
}

bool BagReader::Boolean(QLatin1String key, bool fallback) {
    const auto it = bag_.constFind(key);
    if (it == bag_.constEnd()) {
        return fallback;
    }
    if (it->typeId() == QMetaType::Bool) {
        return it->toBool();
    }
    const QString text = it->toString().trimmed();
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        return false;
    }
    if (const std::optional<qint64> n = ToInteger(*it)) {
        return *n != 0;
    }
    Reject(key);
    return fallback;
}

}  // namespace corvane::ombrel
