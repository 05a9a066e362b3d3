#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <atomic>
#include <vector>

namespace corvane {

// Every file under one folder by name, so that a song whose file has moved is found again by
// its name alone. Built once on a worker thread (it lists the whole tree), then only read.
// It keeps the listed paths and a sorted table of case-blind name hashes: no allocation per
// file beyond the path the listing makes anyway.
class FileNameIndex {
public:
    // No more files than this are listed: a playlist kept in a huge folder must not fill memory.
    static constexpr qsizetype kMaxFiles = 2'000'000;

    // Lists every file under `root`, hidden ones and symbolic links to folders left out. Stops
    // early, with what it has, when `cancel` turns true.
    static FileNameIndex Build(const QString& root, const std::atomic<bool>* cancel = nullptr);

    qsizetype FileCount() const { return qsizetype(files_.size()); }
    // Every folder that holds a listed file, the root first, each ending in "/".
    const QStringList& Folders() const { return folders_; }

    // The file named like the last segment of `entry` ("/" or "\" separated), compared without
    // regard to case; among several, the one whose parent folders match the entry's (from the
    // nearest up) the longest way, then the first by path. Empty when no file has the name.
    QString Find(QStringView entry) const;

private:
    struct File {
        QString path;
        qsizetype nameStart;
        QStringView Name() const { return QStringView(path).sliced(nameStart); }
        QStringView Folder() const { return QStringView(path).first(nameStart); }
    };
    struct Key {
        quint64 hash;
        qint32 file;
        bool operator<(const Key& other) const { return hash < other.hash; }
    };
    static quint64 NameHash(QStringView name);

    QStringList folders_;
    std::vector<File> files_;
    std::vector<Key> byName_;  // sorted by hash
};

}  // namespace corvane
