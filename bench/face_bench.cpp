#include <benchmark/benchmark.h>

#include <QImage>
#include <QTemporaryDir>

#include "app/appearance_wiring.h"
#include "app/main_form.h"
#include "appearance/face.h"
#include "audio/decoder.h"
#include "audio/engine.h"
#include "bench_widgets.h"
#include "playlist/playlist.h"
#include "settings/ini.h"
#include "settings/settings.h"

namespace corvane::app {
namespace {

const QString kSample = QStringLiteral(CORVANE_BINARY_DIR "/share/corvane/Faces/Sample/");

// The floor: decoding the Sample face's three pictures and nothing else.
void BM_FacePicturesFloor(benchmark::State& state) {
    QStringList files;
    for (auto picture : {appearance::FacePicture::Background, appearance::FacePicture::SliderKnob,
                         appearance::FacePicture::FaderKnob}) {
        files += appearance::FacePictureFiles(kSample, picture);
    }
    for (auto _ : state) {
        for (const QString& file : files) benchmark::DoNotOptimize(QImage(file).isNull());
    }
}
BENCHMARK(BM_FacePicturesFloor)->Unit(benchmark::kMillisecond);

// LoadFace(true) with the Sample face on the real main window: pictures found and decoded,
// knobs set, the picture placed behind eight sliders and the crossfader, colours applied.
// Needs widgets: run it on its own (--benchmark_filter=LoadFace).
void BM_LoadFace(benchmark::State& state) {
    if (!bench::HaveWidgets()) {
        state.SkipWithError("needs a QApplication: run with --benchmark_filter=LoadFace");
        return;
    }
    QTemporaryDir dir;
    IniFiles ini;
    Settings settings(ini, dir.filePath(QStringLiteral("Corvane.ini")));
    Playlist playlist;
    audio::EngineOptions options;
    options.output = audio::OutputKind::Offline;
    audio::Engine engine(options, audio::OpenDecoder);
    MainForm form(engine, settings, playlist);
    form.show();
    form.Look().SetFacePath(kSample);
    for (auto _ : state) {
        form.Look().LoadFace(true);
        benchmark::DoNotOptimize(form.Look().Background().isNull());
    }
}
BENCHMARK(BM_LoadFace)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace corvane::app
