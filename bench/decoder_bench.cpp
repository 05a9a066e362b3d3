#include <benchmark/benchmark.h>

#include <QString>
#include <vector>

#include "audio/decoder.h"
#include "format_files.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

namespace {

constexpr int kRate = 44100;

QString BenchFile(const char* name) {
    return QStringLiteral(CORVANE_BINARY_DIR "/fixtures/") + QLatin1String(name);
}

QString Bench60s(int i) {
    return BenchFile("bench_60s_") + QString::number(i) + QStringLiteral(".mp3");
}

// The floor: FFmpeg alone, the shortest loop that turns an mp3 into stereo float at 44100.
// Returns the frames produced, or -1.
long long PlainFfmpegDecode(const QByteArray& path, std::vector<float>* out) {
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.constData(), nullptr, nullptr) < 0) return -1;
    long long frames = -1;
    const AVCodec* codec = nullptr;
    AVCodecContext* ctx = nullptr;
    SwrContext* swr = nullptr;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    const int stream = avformat_find_stream_info(format, nullptr) < 0
                           ? -1
                           : av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (stream >= 0 && (ctx = avcodec_alloc_context3(codec)) &&
        avcodec_parameters_to_context(ctx, format->streams[stream]->codecpar) >= 0 &&
        (ctx->pkt_timebase = format->streams[stream]->time_base, true) &&
        avcodec_open2(ctx, codec, nullptr) >= 0) {
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        if (swr_alloc_set_opts2(&swr, &stereo, AV_SAMPLE_FMT_FLT, kRate, &ctx->ch_layout,
                                ctx->sample_fmt, ctx->sample_rate, 0, nullptr) >= 0 &&
            swr_init(swr) >= 0) {
            frames = 0;
            auto drain = [&] {
                while (avcodec_receive_frame(ctx, frame) >= 0) {
                    uint8_t* dst = reinterpret_cast<uint8_t*>(out->data());
                    frames += swr_convert(swr, &dst, static_cast<int>(out->size() / 2),
                                          const_cast<const uint8_t**>(frame->extended_data),
                                          frame->nb_samples);
                }
            };
            while (av_read_frame(format, packet) >= 0) {
                if (packet->stream_index == stream) avcodec_send_packet(ctx, packet);
                av_packet_unref(packet);
                drain();
            }
            avcodec_send_packet(ctx, nullptr);
            drain();
        }
    }
    swr_free(&swr);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&ctx);
    avformat_close_input(&format);
    return frames;
}

void BM_DecodeFloor8(benchmark::State& state) {
    std::vector<float> out(2 * 8192);
    long long frames = 0;
    for (auto _ : state) {
        for (int i = 1; i <= 8; ++i) {
            const long long got = PlainFfmpegDecode(Bench60s(i).toUtf8(), &out);
            if (got < 0) {
                state.SkipWithError("cannot decode the bench files (build corvane_fixtures)");
                return;
            }
            frames += got;
        }
    }
    state.counters["audio_s_per_s"] =
        benchmark::Counter(static_cast<double>(frames) / kRate, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecodeFloor8)->Unit(benchmark::kMillisecond);

// The same eight files through our Decoder, for its overhead over the floor.
void BM_DecoderRead8(benchmark::State& state) {
    std::vector<float> out(2 * 4096);
    long long frames = 0;
    for (auto _ : state) {
        for (int i = 1; i <= 8; ++i) {
            QString error;
            auto d = corvane::audio::OpenDecoder(Bench60s(i), kRate, &error);
            if (!d) {
                state.SkipWithError(error.toUtf8().constData());
                return;
            }
            int n = 0;
            while ((n = d->Read(out.data(), 4096)) > 0) frames += n;
        }
    }
    state.counters["audio_s_per_s"] =
        benchmark::Counter(static_cast<double>(frames) / kRate, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DecoderRead8)->Unit(benchmark::kMillisecond);

void OpenOnly(benchmark::State& state, const char* name) {
    const QString path = BenchFile(name);
    for (auto _ : state) {
        QString error;
        auto d = corvane::audio::OpenDecoder(path, kRate, &error);
        if (!d) {
            state.SkipWithError(error.toUtf8().constData());
            return;
        }
        benchmark::DoNotOptimize(d->LengthFrames());
    }
}

void BM_DecoderOpen5min(benchmark::State& state) { OpenOnly(state, "bench_5min.mp3"); }
BENCHMARK(BM_DecoderOpen5min)->Unit(benchmark::kMillisecond);

// OpenDecoder alone on the five-minute files of BM_OpenToReadyFormat (wav first, the floor):
// the open without the worker thread and the queued notification around it.
void BM_DecoderOpenFormat(benchmark::State& state) {
    const QString path = corvane::bench::FiveMinuteFileFor(state);
    if (path.isEmpty()) return;
    QString error;
    for (auto _ : state) {
        auto d = corvane::audio::OpenDecoder(path, kRate, &error);
        if (!d) {
            state.SkipWithError(error.toUtf8().constData());
            return;
        }
        benchmark::DoNotOptimize(d->LengthFrames());
    }
}
BENCHMARK(BM_DecoderOpenFormat)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// A sample-exact seek (demuxer seek, preroll decode, discard) and the first block after it.
void BM_DecoderSeek5min(benchmark::State& state) {
    QString error;
    auto d = corvane::audio::OpenDecoder(BenchFile("bench_5min.mp3"), kRate, &error);
    if (!d) {
        state.SkipWithError(error.toUtf8().constData());
        return;
    }
    std::vector<float> out(2 * 4096);
    long long target = 0;
    for (auto _ : state) {
        target = (target + 37 * kRate + 123) % (290LL * kRate);
        if (!d->Seek(target) || d->Read(out.data(), 4096) != 4096) {
            state.SkipWithError("seek failed");
            return;
        }
    }
}
BENCHMARK(BM_DecoderSeek5min)->Unit(benchmark::kMillisecond);

// Each MIDI decoder loads the General MIDI sound font for its own synth.
void BM_DecoderOpenMidi(benchmark::State& state) { OpenOnly(state, "tempo.mid"); }
BENCHMARK(BM_DecoderOpenMidi)->Unit(benchmark::kMillisecond);

}  // namespace
