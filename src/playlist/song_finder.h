#pragma once

#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>

#include "playlist/file_name_index.h"

namespace corvane {

// Finds songs whose files have moved: by file name, under the playlist's own folder and under
// the user's music folder. Each folder is indexed once per run on a worker thread and again
// when something in it changes; a lookup never waits for an index, and one that is not ready
// yet finds nothing for now (IndexReady tells when to ask again).
class SongFinder : public QObject {
    Q_OBJECT

public:
    // Whether a local file exists at the path; tests pass their own.
    using FileCheck = std::function<bool(const QString& path)>;

    explicit SongFinder(FileCheck exists = {}, QObject* parent = nullptr);
    ~SongFinder() override;

    // The second folder searched, after the playlist's own; empty: none.
    void SetMusicFolder(const QString& folder);
    const QString& MusicFolder() const { return musicFolder_; }

    // The file to play for a SongList entry: the entry itself when its file exists, else a file
    // of the same name found under `listDir` or the music folder; empty when there is none (or
    // not yet). Network addresses are never local files: empty.
    QString PlayablePath(const QString& entry, const QString& listDir);
    // Only the search by name, for an entry known to be missing.
    QString FindAgain(const QString& entry, const QString& listDir);

    // Whether the folder's index is built (for tests and the benchmark).
    bool IsIndexed(const QString& folder) const;

Q_SIGNALS:
    // A folder's index was built or rebuilt: missing entries may be found now.
    void IndexReady(const QString& folder);

private:
    struct Root {
        std::shared_ptr<const FileNameIndex> index;
        bool building = false;
        bool stale = false;
    };
    static QString RootKey(const QString& folder);
    const FileNameIndex* IndexFor(const QString& folder);
    void StartBuild(const QString& key);
    void Adopt(const QString& key, std::shared_ptr<const FileNameIndex> index);
    void FolderChanged(const QString& path);
    void RebuildStale();

    FileCheck exists_;
    QString musicFolder_;
    QHash<QString, Root> roots_;
    QFileSystemWatcher watcher_;
    QTimer refresh_;
    QThreadPool pool_;
    std::atomic<bool> cancel_{false};
};

}  // namespace corvane
