#include "settings/atomic_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>

namespace corvane {

namespace {

// The rename is durable only once the folder that holds the new name is on disk too. File
// systems that cannot sync a folder say EINVAL; there is nothing more to do on those.
bool SyncFolder(const QString& folder, QString* error, QString* reason) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return true;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    const int syncError = errno;
    ::close(fd);
    if (synced) return true;
    const QString why = QString::fromLocal8Bit(std::strerror(syncError));
    if (error) *error = QStringLiteral("Couldn't sync %1: %2").arg(folder, why);
    if (reason) *reason = why;
    return false;
}

}  // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error,
                         QString* reason) {
    const auto fail = [&](const QString& why) {
        if (error) *error = QStringLiteral("Couldn't write %1: %2").arg(path, why);
        if (reason) *reason = why;
        return false;
    };
    const QFileInfo info(path);
    // A folder of that name would take the rename's place only to fail it.
    if (info.isDir()) return fail(QStringLiteral("it is a folder"));
    // QSaveFile writes a temporary file beside the target, syncs it on commit and renames it;
    // a failed commit, or one never made, removes the temporary file.
    // Unbuffered: a buffered write that fails half-way when flushed (a full disk, a file size
    // limit) would be committed cut short.
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) return fail(out.errorString());
    // A short write is followed by one that says why it stopped.
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = out.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) return fail(out.errorString());
        done += written;
    }
    if (!out.commit()) return fail(out.errorString());
    return SyncFolder(info.absolutePath(), error, reason);
}

}  // namespace corvane
