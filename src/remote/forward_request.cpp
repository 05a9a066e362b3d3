#include "remote/forward_request.h"

#include <QFileInfo>

#include "remote/instance_message.h"

namespace corvane::remote {

namespace {

// A path too long to print whole is shown by its beginning.
QString Shown(const QString& path) {
    constexpr qsizetype kShownChars = 80;
    return path.size() <= kShownChars ? path : path.left(kShownChars) + QStringLiteral("...");
}

QString CheckPath(const QString& path) {
    if (path.toUtf8().size() > kMaxPathBytes)
        return QStringLiteral("the path %1 is longer than %2 bytes")
            .arg(Shown(path))
            .arg(kMaxPathBytes);
    if (!IsSendablePath(path)) return QStringLiteral("not a usable path: %1").arg(Shown(path));
    const QFileInfo info(path);
    if (info.isDir()) return QStringLiteral("%1 is a folder, not a file").arg(path);
    if (!info.exists()) return QStringLiteral("no such file: %1").arg(path);
    return {};
}

}  // namespace

ForwardRequest PrepareForward(const QStringList& paths) {
    ForwardRequest request;
    if (paths.size() > kMaxPaths) {
        request.error = QStringLiteral("%1 files given; at most %2 can be opened at once")
                            .arg(paths.size())
                            .arg(kMaxPaths);
        return request;
    }
    for (const QString& path : paths) {
        request.error = CheckPath(path);
        if (!request.error.isEmpty()) return request;
    }
    request.message = SerializeMessage(paths).value_or(QByteArray());
    return request;
}

int LineForSound(const std::function<bool(int line)>& busy) {
    for (int line = 1; line <= 6; ++line) {
        if (!busy(line)) return line;
    }
    return 0;
}

}  // namespace corvane::remote
