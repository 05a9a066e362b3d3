#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <vector>

namespace corvane {

// Every file under one folder by name, so that a song whose file has moved is found again by
// its name alone. Built once on a worker thread (it lists the whole tree), then only read.
class FileNameIndex {
public:
    // No more files than this are listed: a playlist kept in a huge folder must not fill memory.
    static constexpr qsizetype kMaxFiles = 2'000'000;

    // Lists every file under `root`, hidden ones and symbolic links to folders left out. Stops
    // early, with what it has, when `cancel` turns true.
    static FileNameIndex Build(const QString& root, const std::atomic<bool>* cancel = nullptr);

    qsizetype FileCount() const { return qsizetype(files_.size()); }
    // Every folder listed, the root first, each ending in "/".
    const QStringList& Folders() const { return folders_; }

    // The file named like the last segment of `entry` ("/" or "\" separated), compared without
    // regard to case; among several, the one whose parent folders match the entry's (from the
    // nearest up) the longest way, then the first by folder and name. Empty when no file has
    // the name.
    QString Find(QStringView entry) const;

private:
    struct File {
        qint32 folder;
        QString name;
    };
    QString PathOf(qint32 file) const;
    // Whether file a's path sorts before file b's, without making either path.
    bool PathBefore(qint32 a, qint32 b) const;

    QStringList folders_;
    std::vector<File> files_;
    QHash<QString, QList<qint32>> byName_;  // lower-cased name → files
};

}  // namespace corvane
