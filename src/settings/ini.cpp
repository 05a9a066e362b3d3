#include "settings/ini.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <functional>
#include <memory>
#include <vector>

#include "settings/atomic_file.h"
#include "settings/ini_document.h"

namespace corvane {

namespace {

// Few files are open at once (settings, the song log, a playlist, a colour file); more than
// this and the least recently used one is dropped and parsed again when next read.
constexpr int kMaxCachedFiles = 16;
// An INI file this large is not one of ours; refusing it beats running out of memory.
constexpr qint64 kMaxFileSize = 256 * 1024 * 1024;

// What tells us that a file changed under us. Our own writes replace the file, which always
// gives it a new inode, so even a rewrite within the file system's time granularity shows.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    explicit FileStamp(const struct stat& st)
        : device(st.st_dev),
          inode(st.st_ino),
          size(st.st_size),
          modified(st.st_mtim),
          changed(st.st_ctim) {}
    FileStamp() = default;

    bool SameFile(const FileStamp& o) const { return device == o.device && inode == o.inode; }
    bool operator==(const FileStamp& o) const {
        return SameFile(o) && size == o.size && modified.tv_sec == o.modified.tv_sec &&
               modified.tv_nsec == o.modified.tv_nsec && changed.tv_sec == o.changed.tv_sec &&
               changed.tv_nsec == o.changed.tv_nsec;
    }
};

enum class FileState { Present, Missing, Unreadable };

// Stats a path; Missing also when a parent folder is not a folder, as reading such a path
// finds nothing and writing it fails later when the folder cannot be made.
FileState StatPath(const QByteArray& native, struct stat* st) {
    if (::stat(native.constData(), st) != 0)
        return errno == ENOENT || errno == ENOTDIR ? FileState::Missing : FileState::Unreadable;
    return S_ISREG(st->st_mode) ? FileState::Present : FileState::Unreadable;
}

// The folders are made as needed: the song log may be set to a folder that does not exist yet.
bool SaveAtomically(const QString& file, const QByteArray& bytes, QString* reason = nullptr) {
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder)) {
        if (reason) *reason = QStringLiteral("the folder %1 could not be made").arg(folder);
        return false;
    }
    return WriteFileAtomically(file, bytes, nullptr, reason);
}

// The file as it is on disk, copied to "<file>.bak" before a repair rewrites it.
bool KeepBackup(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = in.readAll();
    return in.error() == QFileDevice::NoError &&
           SaveAtomically(file + QStringLiteral(".bak"), bytes);
}

}  // namespace

struct IniFiles::Impl {
    struct Entry {
        QString path;
        QByteArray native;  // the path as the system takes it, made once
        FileStamp stamp;
        IniDocument doc;
        quint64 lastUse = 0;
    };

    // A handful of entries, searched in order: cheaper than hashing the path on every read.
    std::vector<std::unique_ptr<Entry>> cache;
    quint64 useCounter = 0;
    QStringList repairedFiles;

    Entry* Find(const QString& file);
    void Forget(const QString& file);
    // The parsed file, from the cache while the file is unchanged. Null unless Present.
    IniDocument* Current(const QString& file, FileState* state);
    IniDocument* Load(const QString& file, QByteArray native, const struct stat& st,
                      FileState* state);
    Entry& Add(const QString& file, QByteArray native);
    // Applies a change and writes the file when the change reports that it changed something.
    bool Modify(const QString& file, const std::function<bool(IniDocument&)>& change,
                IniWriteReport* report = nullptr);
    void Remember(const QString& file, IniDocument* fresh);
};

IniFiles::Impl::Entry* IniFiles::Impl::Find(const QString& file) {
    for (const auto& entry : cache)
        if (entry->path == file) return entry.get();
    return nullptr;
}

void IniFiles::Impl::Forget(const QString& file) {
    std::erase_if(cache, [&](const auto& entry) { return entry->path == file; });
}

IniDocument* IniFiles::Impl::Current(const QString& file, FileState* state) {
    Entry* entry = Find(file);
    QByteArray native = entry ? entry->native : QFile::encodeName(file);
    struct stat st {};
    *state = StatPath(native, &st);
    if (*state != FileState::Present) {
        Forget(file);
        return nullptr;
    }
    if (entry && entry->stamp == FileStamp(st)) {
        entry->lastUse = ++useCounter;
        return &entry->doc;
    }
    return Load(file, std::move(native), st, state);
}

IniDocument* IniFiles::Impl::Load(const QString& file, QByteArray native, const struct stat& st,
                                  FileState* state) {
    Forget(file);
    *state = FileState::Unreadable;
    QFile in(file);
    if (st.st_size > kMaxFileSize || !in.open(QIODevice::ReadOnly)) return nullptr;
    // The stamp is taken before reading: a change made while we read shows as a new stamp on
    // the next look, and the file is read again then.
    struct stat opened {};
    if (::fstat(in.handle(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
        opened.st_size > kMaxFileSize)
        return nullptr;
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) return nullptr;
    *state = FileState::Present;
    Entry& entry = Add(file, std::move(native));
    entry.stamp = FileStamp(opened);
    entry.doc = IniDocument::Parse(bytes);
    return &entry.doc;
}

IniFiles::Impl::Entry& IniFiles::Impl::Add(const QString& file, QByteArray native) {
    if (cache.size() >= size_t(kMaxCachedFiles)) {
        const auto oldest = std::min_element(
            cache.begin(), cache.end(), [](auto& a, auto& b) { return a->lastUse < b->lastUse; });
        cache.erase(oldest);
    }
    cache.push_back(std::make_unique<Entry>());
    Entry& entry = *cache.back();
    entry.path = file;
    entry.native = std::move(native);
    entry.lastUse = ++useCounter;
    return entry;
}

bool IniFiles::Impl::Modify(const QString& file, const std::function<bool(IniDocument&)>& change,
                            IniWriteReport* report) {
    IniWriteReport unused;
    if (report == nullptr) report = &unused;
    *report = IniWriteReport{};
    FileState state = FileState::Missing;
    IniDocument* doc = Current(file, &state);
    if (state == FileState::Unreadable) {
        report->error = QStringLiteral("%1 cannot be read").arg(file);
        return false;
    }
    IniDocument fresh;
    const bool isNew = doc == nullptr;
    const bool repair = !isNew && doc->Damaged() && repairedFiles.contains(file);
    if (isNew) doc = &fresh;
    if (repair) {
        fresh = doc->WithoutDamage();
        doc = &fresh;
    }
    // A repaired copy differs from the file even when the change itself changes nothing.
    if (!change(*doc) && !repair) return true;
    if (repair && !KeepBackup(file)) {
        report->error = QStringLiteral("the backup of %1 could not be written").arg(file);
        return false;
    }
    if (!SaveAtomically(file, doc->Serialize(), &report->error)) {
        // The cached copy already holds the change that did not reach the disk.
        Forget(file);
        return false;
    }
    if (repair) Forget(file);
    Remember(file, isNew || repair ? &fresh : nullptr);
    report->written = true;
    return true;
}

// Records the file we just wrote, so that reading it next does not parse it again, and drops
// any other name for the same file, whose cached copy is now out of date.
void IniFiles::Impl::Remember(const QString& file, IniDocument* fresh) {
    QByteArray native = QFile::encodeName(file);
    struct stat st {};
    if (StatPath(native, &st) != FileState::Present) {
        Forget(file);
        return;
    }
    const FileStamp stamp(st);
    Entry* entry = Find(file);
    if (fresh) {
        entry = &Add(file, std::move(native));
        entry->doc = std::move(*fresh);
    }
    if (!entry) return;
    const FileStamp old = entry->stamp;
    entry->stamp = stamp;
    entry->lastUse = ++useCounter;
    std::erase_if(cache, [&](const auto& other) {
        return other->path != file && (other->stamp.SameFile(old) || other->stamp.SameFile(stamp));
    });
}

IniFiles::IniFiles() : impl_(std::make_unique<Impl>()) {}

IniFiles::~IniFiles() = default;

QString IniFiles::ReadIni(const QString& section, const QString& key, const QString& file) {
    FileState state = FileState::Missing;
    const IniDocument* doc = impl_->Current(file, &state);
    return doc ? doc->Value(section, key) : QString();
}

bool IniFiles::ReadSection(const QString& section, const QString& file, QList<IniKeyValue>& keys) {
    keys.clear();
    FileState state = FileState::Missing;
    const IniDocument* doc = impl_->Current(file, &state);
    if (!doc || !doc->HasSection(section)) return false;
    const auto found = doc->Keys(section);
    keys.reserve(qsizetype(found.size()));
    for (const auto& [key, value] : found) keys.append(IniKeyValue{key, value});
    return true;
}

bool IniFiles::WriteIni(const QString& section, const QString& key, const QString& value,
                        const QString& file) {
    return WriteIni(QList<IniWrite>{IniWrite{section, key, value}}, file);
}

bool IniFiles::WriteIni(const QList<IniWrite>& writes, const QString& file,
                        IniWriteReport* report) {
    if (report) *report = IniWriteReport{};
    for (const IniWrite& w : writes)
        if (!IniDocument::CanWrite(w.section, w.key, w.value)) return false;
    return impl_->Modify(
        file,
        [&](IniDocument& doc) {
            bool changed = false;
            for (const IniWrite& w : writes)
                changed = doc.Set(w.section, w.key, w.value) || changed;
            return changed;
        },
        report);
}

void IniFiles::RepairWithBackup(const QString& file) {
    if (!impl_->repairedFiles.contains(file)) impl_->repairedFiles.append(file);
}

bool IniFiles::DeleteSection(const QString& section, const QString& file) {
    return impl_->Modify(file, [&](IniDocument& doc) { return doc.RemoveSection(section); });
}

}  // namespace corvane
