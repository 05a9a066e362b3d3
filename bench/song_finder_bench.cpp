#include <benchmark/benchmark.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <thread>

#include "playlist/file_name_index.h"

// The figures of finding moved songs again: indexing a music folder of 100,000 files in 2,000
// folders on a worker, beside the same tree listed by QDirIterator alone, and one lookup.
namespace {

constexpr int kArtists = 100;
constexpr int kAlbumsPerArtist = 20;  // 2,000 folders
constexpr int kTracksPerAlbum = 50;   // 100,000 files

// Made once per run in a temporary folder; empty files are enough to be listed.
const QString& MusicTree() {
    static std::unique_ptr<QTemporaryDir> dir;
    static QString root;
    if (dir) return root;
    dir = std::make_unique<QTemporaryDir>();
    root = dir->path() + QStringLiteral("/Music/");
    for (int a = 0; a < kArtists; ++a) {
        for (int b = 0; b < kAlbumsPerArtist; ++b) {
            const QString album = root + QStringLiteral("Artist %1/Album %2/").arg(a).arg(b);
            QDir().mkpath(album);
            for (int t = 0; t < kTracksPerAlbum; ++t) {
                QFile file(album + QStringLiteral("%1 - Artist %2 - Track of album %3.mp3")
                                       .arg(t, 2, 10, QLatin1Char('0'))
                                       .arg(a)
                                       .arg(b));
                if (!file.open(QIODevice::WriteOnly)) root.clear();
            }
        }
    }
    return root;
}

void BM_IndexMusicFolder(benchmark::State& state) {
    const QString root = MusicTree();
    if (root.isEmpty()) {
        state.SkipWithError("cannot make the music folder");
        return;
    }
    for (auto _ : state) {
        // On a worker, as the program builds it.
        corvane::FileNameIndex index;
        std::thread worker([&] { index = corvane::FileNameIndex::Build(root); });
        worker.join();
        if (index.FileCount() != kArtists * kAlbumsPerArtist * kTracksPerAlbum) {
            state.SkipWithError("wrong file count");
            return;
        }
        benchmark::DoNotOptimize(index);
    }
}

// The floor: the same tree listed, nothing kept.
void BM_ListMusicFolderFloor(benchmark::State& state) {
    const QString root = MusicTree();
    for (auto _ : state) {
        qsizetype count = 0;
        std::thread worker([&] {
            QDirIterator it(root, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                benchmark::DoNotOptimize(it.next());
                ++count;
            }
        });
        worker.join();
        benchmark::DoNotOptimize(count);
    }
}

// One missing entry written on Windows, found again by its name in the indexed tree.
void BM_FindMissingEntry(benchmark::State& state) {
    const QString root = MusicTree();
    static const corvane::FileNameIndex index = corvane::FileNameIndex::Build(root);
    const QString entry = QStringLiteral(
        "C:\\Users\\dj\\Music\\Artist 42\\Album 7\\17 - Artist 42 - Track of album 7.mp3");
    for (auto _ : state) benchmark::DoNotOptimize(index.Find(entry));
    if (index.Find(entry).isEmpty()) state.SkipWithError("not found");
}

}  // namespace

BENCHMARK(BM_IndexMusicFolder)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ListMusicFolderFloor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FindMissingEntry)->Unit(benchmark::kMicrosecond);
