#include "settings/atomic_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

namespace corvane {

namespace {

QString SystemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

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
    const QString why = SystemError(syncError);
    if (error) *error = QStringLiteral("Couldn't sync %1: %2").arg(folder, why);
    if (reason) *reason = why;
    return false;
}

// The temporary file of a write: ".<name>.<pid>.tmp" beside the file, so a leftover names
// the process that made it.
QString TemporaryPrefix(const QString& name) { return u'.' + name + u'.'; }

// Removes what writes of this file left when their process was killed mid-write: temporary
// files whose process is gone. A live process's file is its write in progress.
void RemoveLeftovers(const QFileInfo& target) {
    const QString prefix = TemporaryPrefix(target.fileName());
    const QDir folder = target.absoluteDir();
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (!name.startsWith(prefix) || !name.endsWith(QLatin1String(".tmp"))) continue;
        bool ok = false;
        const qint64 pid = QStringView(name).sliced(prefix.size()).chopped(4).toLongLong(&ok);
        if (!ok || pid <= 0 || pid == ::getpid()) continue;
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH) continue;
        QFile::remove(folder.filePath(name));
    }
}

bool WriteAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        left -= written;
    }
    return true;
}

}  // namespace

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString* error,
                         QString* reason) {
    const auto fail = [&](const QString& why) {
        if (error) *error = QStringLiteral("Couldn't write %1: %2").arg(path, why);
        if (reason) *reason = why;
        return false;
    };
    QFileInfo info(path);
    // A link is written through: the file it names gets the new content, the link stays.
    if (info.isSymLink()) info = QFileInfo(info.symLinkTarget());
    // A folder of that name would take the rename's place only to fail it.
    if (info.isDir()) return fail(QStringLiteral("it is a folder"));
    RemoveLeftovers(info);

    const QString target = info.absoluteFilePath();
    const QString temporary = info.absoluteDir().filePath(
        TemporaryPrefix(info.fileName()) + QString::number(::getpid()) + QLatin1String(".tmp"));
    const QByteArray nativeTemporary = QFile::encodeName(temporary);
    const int fd = ::open(nativeTemporary.constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) return fail(SystemError(errno));
    // The file keeps its permissions; a new one gets the umask's.
    struct stat old {};
    if (::stat(QFile::encodeName(target).constData(), &old) == 0)
        (void)::fchmod(fd, old.st_mode & 07777);
    // Everything is on disk before the rename makes it the file: a crash after it finds the
    // new content whole, a crash before it the old.
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
        ::unlink(nativeTemporary.constData());
        return fail(SystemError(written ? errno : writeError));
    }
    if (::rename(nativeTemporary.constData(), QFile::encodeName(target).constData()) != 0) {
        const int renameError = errno;
        ::unlink(nativeTemporary.constData());
        return fail(SystemError(renameError));
    }
    return SyncFolder(info.absolutePath(), error, reason);
}

}  // namespace corvane
