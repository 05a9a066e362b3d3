#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListView>
#include <QTemporaryDir>

#include "bench_widgets.h"
#include "playlist/playlist.h"
#include "playlist/song_rows.h"
#include "playlist/ui/list_editor.h"
#include "settings/ini.h"
#include "settings/settings.h"

namespace corvane::editor {
namespace {

QStringList Songs(qsizetype count) {
    QStringList songs;
    songs.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        songs.append(QStringLiteral("/home/dj/Music/Artist %1/Album/%2 - Track title.mp3")
                         .arg(i % 500)
                         .arg(i, 6, 10, QLatin1Char('0')));
    return songs;
}

// The editor's list rebuilt from SongList in the shown window, up to the view's next layout.
void BM_Refresh1(benchmark::State& state) {
    if (!bench::HaveWidgets()) {
        state.SkipWithError("needs a QApplication: run with --benchmark_filter=Refresh1");
        return;
    }
    QTemporaryDir dir;
    IniFiles ini;
    Settings settings(ini, dir.filePath(QStringLiteral("Corvane.ini")));
    Playlist playlist;
    playlist.SongList = Songs(state.range(0));
    playlist.ListName = QStringLiteral("Big.m3u");
    EditorCallbacks callbacks;
    ListEditor editor(playlist, settings, callbacks);
    editor.OpenEditor();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        editor.Refresh1();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(editor.List1()->model()->rowCount());
    }
    editor.hide();
}
BENCHMARK(BM_Refresh1)->Arg(100000)->Unit(benchmark::kMillisecond);

// The floor: the rows' texts alone, without a model or a view.
void BM_Refresh1Floor(benchmark::State& state) {
    const QStringList songs = Songs(state.range(0));
    for (auto _ : state) {
        QStringList names;
        names.reserve(songs.size());
        for (const QString& song : songs) names.append(SplitPath(song).fileName);
        benchmark::DoNotOptimize(names);
    }
}
BENCHMARK(BM_Refresh1Floor)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane::editor
