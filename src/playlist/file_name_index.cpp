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

quint64 FileNameIndex::NameHash(QStringView name) {
    quint64 hash = 14695981039346656037ULL;  // FNV-1a over the case-folded characters
    for (QChar c : name) {
        const char16_t u = c.unicode();
        const char16_t folded =
            u < 0x80 ? char16_t(u >= u'A' && u <= u'Z' ? u + 32 : u) : c.toCaseFolded().unicode();
        hash = (hash ^ folded) * 1099511628211ULL;
    }
    return hash;
}

FileNameIndex FileNameIndex::Build(const QString& root, const std::atomic<bool>* cancel) {
    FileNameIndex index;
    QString top = QDir::cleanPath(root);
    if (top.isEmpty() || !QFileInfo(top).isDir()) return index;
    if (!top.endsWith(u'/')) top += u'/';
    index.folders_.append(top);
    QDirIterator it(top, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QStringView folder = index.folders_.front();
    while (it.hasNext()) {
        if (cancel != nullptr && cancel->load(std::memory_order_relaxed)) break;
        File file{it.next(), 0};
        file.nameStart = file.path.lastIndexOf(u'/') + 1;
        // A folder's files come together: a new folder starts where the last one's end.
        if (file.Folder() != folder) index.folders_.append(file.Folder().toString());
        index.byName_.push_back({NameHash(file.Name()), qint32(index.files_.size())});
        index.files_.push_back(std::move(file));
        folder = index.files_.back().Folder();
        if (qsizetype(index.files_.size()) >= kMaxFiles) break;
    }
    std::sort(index.byName_.begin(), index.byName_.end());
    index.folders_.removeDuplicates();
    return index;
}

QString FileNameIndex::Find(QStringView entry) const {
    const qsizetype cut = LastSeparator(entry);
    const QStringView name = entry.sliced(cut + 1);
    if (name.isEmpty()) return {};
    const Key probe{NameHash(name), 0};
    const auto [first, last] = std::equal_range(byName_.begin(), byName_.end(), probe);
    const QStringView entryFolder = entry.first(cut + 1);
    const File* best = nullptr;
    int bestScore = -1;
    for (auto key = first; key != last; ++key) {
        const File& file = files_[size_t(key->file)];
        if (file.Name().compare(name, Qt::CaseInsensitive) != 0) continue;
        const int score = MatchingParents(entryFolder, file.Folder());
        if (score < bestScore || (score == bestScore && file.path >= best->path)) continue;
        best = &file;
        bestScore = score;
    }
    return best == nullptr ? QString() : best->path;
}

}  // namespace corvane
