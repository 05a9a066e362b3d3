#include "playlist/file_name_index.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <algorithm>

namespace corvane {

namespace {

qsizetype LastSeparator(QStringView path) {
    return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
}

// How many parent folders two folder paths share, counted from the nearest up, without regard
// to case. `entryFolder` may use "\" (a Windows path).
int MatchingParents(QStringView entryFolder, QStringView folder) {
    int matched = 0;
    for (;;) {
        while (!entryFolder.isEmpty() &&
               (entryFolder.back() == u'/' || entryFolder.back() == u'\\'))
            entryFolder.chop(1);
        while (!folder.isEmpty() && folder.back() == u'/') folder.chop(1);
        if (entryFolder.isEmpty() || folder.isEmpty()) return matched;
        const qsizetype a = LastSeparator(entryFolder);
        const qsizetype b = folder.lastIndexOf(u'/');
        if (entryFolder.sliced(a + 1).compare(folder.sliced(b + 1), Qt::CaseInsensitive) != 0)
            return matched;
        ++matched;
        entryFolder.truncate(a + 1);
        folder.truncate(b + 1);
        if (a < 0 || b < 0) return matched;
    }
}

}  // namespace

FileNameIndex FileNameIndex::Build(const QString& root, const std::atomic<bool>* cancel) {
    FileNameIndex index;
    QString top = QDir::cleanPath(root);
    if (top.isEmpty() || !QFileInfo(top).isDir()) return index;
    if (!top.endsWith(u'/')) top += u'/';
    index.folders_.append(top);
    QHash<QString, qint32> folderIds{{top, 0}};
    qint32 folder = 0;
    QDirIterator it(top, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) break;
        QString path = it.next();
        const qsizetype cut = path.lastIndexOf(u'/');
        const QStringView dir = QStringView(path).first(cut + 1);
        // Files of one folder mostly come together: look the folder up only when it changes.
        if (dir != QStringView(index.folders_.at(folder))) {
            const QString key = dir.toString();
            const auto known = folderIds.constFind(key);
            if (known != folderIds.constEnd()) {
                folder = *known;
            } else {
                folder = qint32(index.folders_.size());
                folderIds.insert(key, folder);
                index.folders_.append(key);
            }
        }
        QString name = path.sliced(cut + 1);
        index.byName_[name.toLower()].append(qint32(index.files_.size()));
        index.files_.push_back({folder, std::move(name)});
        if (qsizetype(index.files_.size()) >= kMaxFiles) break;
    }
    return index;
}

QString FileNameIndex::PathOf(qint32 file) const {
    const File& f = files_[size_t(file)];
    return folders_.at(f.folder) + f.name;
}

QString FileNameIndex::Find(QStringView entry) const {
    const qsizetype cut = LastSeparator(entry);
    const QStringView name = entry.sliced(cut + 1);
    if (name.isEmpty()) return {};
    const auto found = byName_.constFind(name.toString().toLower());
    if (found == byName_.constEnd()) return {};
    const QList<qint32>& hits = *found;
    if (hits.size() == 1) return PathOf(hits.front());
    const QStringView entryFolder = entry.first(cut + 1);
    qint32 best = -1;
    int bestScore = -1;
    for (qint32 hit : hits) {
        const int score = MatchingParents(entryFolder, folders_.at(files_[size_t(hit)].folder));
        if (score < bestScore || (score == bestScore && !PathBefore(hit, best))) continue;
        best = hit;
        bestScore = score;
    }
    return PathOf(best);
}

bool FileNameIndex::PathBefore(qint32 a, qint32 b) const {
    const File& fa = files_[size_t(a)];
    const File& fb = files_[size_t(b)];
    if (fa.folder != fb.folder) return folders_.at(fa.folder) < folders_.at(fb.folder);
    return fa.name < fb.name;
}

}  // namespace corvane
