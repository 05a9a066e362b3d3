#include "format_files.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <exception>

#include "demo.h"
#include "encode.h"
#include "tones.h"

namespace corvane::bench {

namespace {

// Opus runs at 48 kHz only; linear interpolation is good enough for a file that is only opened.
gen::Pcm At48k(const gen::Pcm& pcm) {
    gen::Pcm out{48000, pcm.channels, {}};
    const long long frames = pcm.Frames() * 48000 / pcm.rate;
    out.samples.resize(static_cast<std::size_t>(frames * pcm.channels));
    for (long long i = 0; i < frames; ++i) {
        const double at = static_cast<double>(i) * pcm.rate / 48000;
        const long long j = std::min(static_cast<long long>(at), pcm.Frames() - 2);
        const float t = static_cast<float>(at - static_cast<double>(j));
        for (int c = 0; c < pcm.channels; ++c) {
            const float a = pcm.samples[static_cast<std::size_t>(j * pcm.channels + c)];
            const float b = pcm.samples[static_cast<std::size_t>((j + 1) * pcm.channels + c)];
            out.samples[static_cast<std::size_t>(i * pcm.channels + c)] = a + (b - a) * t;
        }
    }
    return out;
}

}  // namespace

namespace {

// The piece of `seconds` as a `ending` file named music_<label>.<ending>, made on first use.
QString PieceFile(const gen::Pcm& piece, const QString& label, const QString& ending,
                  QString* error) {
    const QString dir = QStringLiteral(CORVANE_BINARY_DIR "/bench_files");
    const QString path = dir + QStringLiteral("/music_") + label + QLatin1Char('.') + ending;
    if (QFileInfo(path).isFile()) return path;
    try {
        QDir().mkpath(dir);
        const std::filesystem::path file = path.toStdString();
        if (ending == QLatin1String("wav")) {
            gen::WriteFile(file, gen::WavBytes(piece, gen::WavSample::S16));
        } else if (ending == QLatin1String("flac")) {
            gen::EncodeFile(file, piece, {"flac", "flac", 0, -1, {}});
        } else if (ending == QLatin1String("mp3")) {
            gen::EncodeFile(file, piece, {"libmp3lame", "mp3", 192000, -1, {}});
        } else if (ending == QLatin1String("ogg")) {
            gen::EncodeFile(file, piece, {"libvorbis", "ogg", 160000, -1, {}});
        } else if (ending == QLatin1String("opus")) {
            gen::EncodeFile(file, At48k(piece), {"libopus", "ogg", 128000, -1, {}});
        } else if (ending == QLatin1String("m4a")) {
            gen::EncodeFile(file, piece, {"aac", "ipod", 192000, -1, {}});
        } else {
            *error = QStringLiteral("no bench file of kind ") + ending;
            return {};
        }
    } catch (const std::exception& e) {
        *error = QString::fromStdString(e.what());
        return {};
    }
    return path;
}

}  // namespace

QString FiveMinuteFile(const QString& ending, QString* error) {
    static const gen::Pcm piece = gen::MusicPiece(3, 300.0);
    return PieceFile(piece, QStringLiteral("5min"), ending, error);
}

QString TenMinuteFile(const QString& ending, QString* error) {
    static const gen::Pcm piece = gen::MusicPiece(5, 600.0);
    return PieceFile(piece, QStringLiteral("10min"), ending, error);
}

QString FiveMinuteFileFor(benchmark::State& state) {
    static const char* const kEndings[] = {"wav", "flac", "ogg", "opus", "m4a"};
    const QString ending = QLatin1String(kEndings[state.range(0)]);
    QString error;
    const QString path = FiveMinuteFile(ending, &error);
    if (path.isEmpty())
        state.SkipWithError(error.toUtf8().constData());
    else
        state.SetLabel(ending.toStdString());
    return path;
}

}  // namespace corvane::bench
