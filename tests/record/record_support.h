#pragma once

#include <QByteArray>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "audio/decoder.h"
#include "audio/player_worker.h"
#include "playlist/paths.h"
#include "support/signal_decoder.h"

namespace corvane::record::testing {

// What the `ffmpeg` tool decodes `path` to, as raw interleaved stereo samples of `rawFormat`
// ("s16le", "s32le" or "f32le") at `rate`; empty when it fails. Decoding through the tool
// rather than our own code is what shows other players can read the file.
inline QByteArray DecodeWithFfmpeg(const QString& path, const char* rawFormat, int rate = 44100) {
    QProcess ffmpeg;
    ffmpeg.start(
        QStringLiteral("ffmpeg"),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-i"), path,
         QStringLiteral("-f"), QLatin1String(rawFormat), QStringLiteral("-ac"), QStringLiteral("2"),
         QStringLiteral("-ar"), QString::number(rate), QStringLiteral("-")});
    if (!ffmpeg.waitForFinished(60000)) {
        ffmpeg.kill();
        ffmpeg.waitForFinished(5000);
        return {};
    }
    return ffmpeg.exitCode() == 0 ? ffmpeg.readAllStandardOutput() : QByteArray();
}

template <typename T>
std::vector<T> Samples(const QByteArray& raw) {
    std::vector<T> out(static_cast<size_t>(raw.size()) / sizeof(T));
    std::memcpy(out.data(), raw.constData(), out.size() * sizeof(T));
    return out;
}

// The frequency of the left channel from its rises through zero, with some hysteresis so that
// near-silence (an encoder's padding) does not count.
inline double ToneHz(const std::vector<float>& stereo, int rate) {
    bool high = false;
    long first = -1;
    long last = -1;
    int rises = 0;
    for (size_t i = 0; i < stereo.size(); i += 2) {
        if (!high && stereo[i] > 0.05f) {
            high = true;
            last = static_cast<long>(i / 2);
            if (first < 0) first = last;
            ++rises;
        } else if (high && stereo[i] < -0.05f) {
            high = false;
        }
    }
    return rises < 2 ? 0.0 : (rises - 1) * static_cast<double>(rate) / (last - first);
}

inline std::vector<float> Sine(int frames, double hz, int rate, float amplitude = 0.5f) {
    std::vector<float> out(static_cast<size_t>(frames) * 2);
    for (int i = 0; i < frames; ++i)
        out[2 * i] = out[2 * i + 1] =
            amplitude * static_cast<float>(std::sin(2 * M_PI * hz * i / rate));
    return out;
}

// "<any folder>/<name>-<hz>.tone": `seconds` of a sine of <hz> at a quarter of full scale on
// both channels.
inline audio::DecoderFactory ToneFactory(int seconds) {
    return [seconds](const QString& path, int, QString*) -> std::unique_ptr<audio::Decoder> {
        const double hz = QFileInfo(path).completeBaseName().section(u'-', -1).toDouble();
        auto tone = [hz = hz > 0 ? hz : 440.0](long long i) {
            return 0.25f * static_cast<float>(std::sin(2 * M_PI * hz * i / 44100.0));
        };
        return std::make_unique<corvane::testing::SignalDecoder>(seconds * 44100LL, tone, tone);
    };
}

// Titles as the program makes them everywhere: the file name without its extension.
inline QString TitleOf(const QString& path) { return StripExtension(SplitPath(path).fileName); }

}  // namespace corvane::record::testing
