#include "playlist/song_finder.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include "playlist/entry_text.h"

namespace corvane {

namespace {
// inotify watches are a per-user budget shared with other programs.
constexpr qsizetype kMaxWatchedFolders = 4096;
// A burst of changes (a copy into the folder) rebuilds the index once.
constexpr int kRefreshDelayMs = 2000;
}  // namespace

SongFinder::SongFinder(FileCheck exists, QObject* parent)
    : QObject(parent), exists_(std::move(exists)) {
    if (!exists_) exists_ = [](const QString& path) { return QFileInfo(path).isFile(); };
    pool_.setMaxThreadCount(1);
    refresh_.setSingleShot(true);
    refresh_.setInterval(kRefreshDelayMs);
    connect(&refresh_, &QTimer::timeout, this, &SongFinder::RebuildStale);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &SongFinder::FolderChanged);
}

SongFinder::~SongFinder() {
    cancel_ = true;
    pool_.waitForDone();
}

void SongFinder::SetMusicFolder(const QString& folder) { musicFolder_ = folder; }

QString SongFinder::RootKey(const QString& folder) {
    if (folder.isEmpty()) return {};
    const QString clean = QDir::cleanPath(folder);
    // The whole disk is no place to look for one song.
    return clean == QLatin1String("/") ? QString() : clean;
}

bool SongFinder::IsIndexed(const QString& folder) const {
    const auto root = roots_.constFind(RootKey(folder));
    return root != roots_.constEnd() && root->index != nullptr;
}

QString SongFinder::PlayablePath(const QString& entry, const QString& listDir) {
    if (entry.isEmpty() || entry::IsNetworkUrl(entry)) return {};
    // A Windows path never names a file here, though a file may carry that text as its name.
    if (!entry::IsWindowsPath(QStringView(entry)) && exists_(entry)) return entry;
    return FindAgain(entry, listDir);
}

QString SongFinder::FindAgain(const QString& entry, const QString& listDir) {
    if (entry::IsNetworkUrl(entry)) return {};
    for (const QString& folder : {listDir, musicFolder_}) {
        const FileNameIndex* index = IndexFor(folder);
        if (index == nullptr) continue;
        QString found = index->Find(entry);
        if (!found.isEmpty() && exists_(found)) return found;
    }
    return {};
}

const FileNameIndex* SongFinder::IndexFor(const QString& folder) {
    const QString key = RootKey(folder);
    if (key.isEmpty()) return nullptr;
    Root& root = roots_[key];
    if (!root.index && !root.building) StartBuild(key);
    return root.index.get();
}

void SongFinder::StartBuild(const QString& key) {
    roots_[key].building = true;
    roots_[key].stale = false;
    pool_.start([this, key] {
        auto index = std::make_shared<const FileNameIndex>(FileNameIndex::Build(key, &cancel_));
        if (cancel_) return;
        // The finder outlives its workers (its destructor waits for them), and an event posted
        // to it is dropped if it is gone by then.
        QMetaObject::invokeMethod(
            this, [this, key, index] { Adopt(key, index); }, Qt::QueuedConnection);
    });
}

void SongFinder::Adopt(const QString& key, std::shared_ptr<const FileNameIndex> index) {
    Root& root = roots_[key];
    root.building = false;
    root.index = std::move(index);
    const QStringList& folders = root.index->Folders();
    const QStringList before = watcher_.directories();
    const QSet<QString> watched(before.begin(), before.end());
    QStringList add;
    for (const QString& folder : folders) {
        if (watched.size() + add.size() >= kMaxWatchedFolders) break;
        if (!watched.contains(folder)) add.append(folder);
    }
    if (!add.isEmpty()) watcher_.addPaths(add);
    Q_EMIT IndexReady(key);
    if (root.stale) refresh_.start();
}

void SongFinder::FolderChanged(const QString& path) {
    const QString changed = QDir::cleanPath(path);
    for (auto root = roots_.begin(); root != roots_.end(); ++root) {
        if (changed == root.key() || changed.startsWith(root.key() + QLatin1Char('/')))
            root->stale = true;
    }
    refresh_.start();
}

void SongFinder::RebuildStale() {
    QStringList due;
    for (auto root = roots_.cbegin(); root != roots_.cend(); ++root) {
        if (root->stale && !root->building) due.append(root.key());
    }
    for (const QString& key : due) StartBuild(key);
}

}  // namespace corvane
