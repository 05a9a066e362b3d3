#include "record/backends/ffmpeg_encoder.h"

#include <QFile>
#include <algorithm>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace corvane::record {

namespace {

constexpr int kIoBufferBytes = 4096;

struct Choice {
    const char* encoder;
    const char* muxer;
    AVSampleFormat sampleFormat;  // preferred; the encoder's first one otherwise
    bool usesBitrate;
};

Choice ChoiceFor(Format format) {
    switch (format) {
        case Format::Mp3:
            return {"libmp3lame", "mp3", AV_SAMPLE_FMT_FLTP, true};
        case Format::Vorbis:
            return {"libvorbis", "ogg", AV_SAMPLE_FMT_FLTP, true};
        case Format::Opus:
            return {"libopus", "ogg", AV_SAMPLE_FMT_FLT, true};
        default:
            // 16 bits, as WAV 16: the same samples, losslessly packed.
            return {"flac", "flac", AV_SAMPLE_FMT_S16, false};
    }
}

QString AvError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromLocal8Bit(text);
}

class FfmpegEncoder : public Encoder {
public:
    explicit FfmpegEncoder(ByteSink sink) : sink_(std::move(sink)) {}
    ~FfmpegEncoder() override {
        Finish();
        av_audio_fifo_free(fifo_);
        swr_free(&swr_);
        av_frame_free(&frame_);
        av_packet_free(&packet_);
        if (converted_ != nullptr) av_freep(&converted_[0]);
        av_freep(&converted_);
        avcodec_free_context(&codec_);
        CloseIo();
        avformat_free_context(fmt_);
    }

    bool Open(const EncoderSettings& settings, const QString& path, QString* error);
    bool CreatedFile() const { return createdFile_; }

    bool Write(const float* frames, int count) override {
        if (!error_.isEmpty() || finished_) return false;
        const int room = swr_get_out_samples(swr_, count);
        if (room > capacity_) {
            if (converted_ != nullptr) av_freep(&converted_[0]);
            av_freep(&converted_);
            if (av_samples_alloc_array_and_samples(&converted_, nullptr, 2, room,
                                                   codec_->sample_fmt, 0) < 0)
                return Fail(AVERROR(ENOMEM));
            capacity_ = room;
        }
        const auto* in = reinterpret_cast<const uint8_t*>(frames);
        const int made = swr_convert(swr_, converted_, capacity_, &in, count);
        if (made < 0) return Fail(made);
        if (av_audio_fifo_write(fifo_, reinterpret_cast<void**>(converted_), made) < made)
            return Fail(AVERROR(ENOMEM));
        while (av_audio_fifo_size(fifo_) >= frameSize_)
            if (!EncodeFrame(frameSize_)) return false;
        return true;
    }

    bool Flush() override {
        if (!error_.isEmpty() || finished_) return error_.isEmpty();
        // Muxers that hold pages back (Ogg) write them out now.
        if ((fmt_->oformat->flags & AVFMT_ALLOW_FLUSH) != 0) {
            const int r = av_write_frame(fmt_, nullptr);
            if (r < 0) return Fail(r);
        }
        avio_flush(fmt_->pb);
        return fmt_->pb->error < 0 ? Fail(fmt_->pb->error) : true;
    }

    bool Finish() override {
        if (finished_ || fmt_ == nullptr || !headerWritten_) return error_.isEmpty();
        finished_ = true;
        if (error_.isEmpty()) {
            const int rest = av_audio_fifo_size(fifo_);
            if (rest > 0) EncodeFrame(rest);
        }
        if (error_.isEmpty()) {
            avcodec_send_frame(codec_, nullptr);
            Drain();
        }
        const int r = av_write_trailer(fmt_);
        if (r < 0) Fail(r);
        if (fmt_->pb != nullptr) {
            avio_flush(fmt_->pb);
            if (fmt_->pb->error < 0) Fail(fmt_->pb->error);
        }
        CloseIo();
        return error_.isEmpty();
    }

    QString Error() const override { return error_; }
    int64_t Bytes() const override {
        if (sink_) return sunk_;
        return fmt_ != nullptr && fmt_->pb != nullptr ? avio_tell(fmt_->pb) : closedBytes_;
    }

private:
    static int WritePacket(void* opaque, uint8_t* data, int size) {
        auto* self = static_cast<FfmpegEncoder*>(opaque);
        if (!self->sink_(data, size)) return AVERROR(EPIPE);
        self->sunk_ += size;
        return size;
    }

    bool Fail(int code) {
        if (error_.isEmpty())
            error_ = sink_ && code == AVERROR(EPIPE) ? QStringLiteral("the stream stopped")
                                                     : AvError(code);
        return false;
    }

    bool EncodeFrame(int samples) {
        av_frame_unref(frame_);
        frame_->nb_samples = samples;
        // A codec that only takes whole frames gets the last one padded with silence.
        if (samples < frameSize_ &&
            (codec_->codec->capabilities &
             (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE)) == 0)
            frame_->nb_samples = frameSize_;
        frame_->format = codec_->sample_fmt;
        frame_->sample_rate = codec_->sample_rate;
        int r = av_channel_layout_copy(&frame_->ch_layout, &codec_->ch_layout);
        if (r >= 0) r = av_frame_get_buffer(frame_, 0);
        if (r < 0) return Fail(r);
        av_samples_set_silence(frame_->data, 0, frame_->nb_samples, 2, codec_->sample_fmt);
        if (av_audio_fifo_read(fifo_, reinterpret_cast<void**>(frame_->data), samples) < samples)
            return Fail(AVERROR_BUG);
        frame_->pts = pts_;
        pts_ += frame_->nb_samples;
        r = avcodec_send_frame(codec_, frame_);
        if (r < 0) return Fail(r);
        return Drain();
    }

    bool Drain() {
        for (;;) {
            int r = avcodec_receive_packet(codec_, packet_);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
            if (r < 0) return Fail(r);
            av_packet_rescale_ts(packet_, codec_->time_base, stream_->time_base);
            packet_->stream_index = stream_->index;
            r = av_write_frame(fmt_, packet_);
            av_packet_unref(packet_);
            if (r < 0) return Fail(r);
            if (fmt_->pb->error < 0) return Fail(fmt_->pb->error);
        }
    }

    void CloseIo() {
        if (fmt_ == nullptr || fmt_->pb == nullptr) return;
        closedBytes_ = Bytes();
        if (sink_) {
            av_freep(&fmt_->pb->buffer);
            avio_context_free(&fmt_->pb);
        } else {
            avio_closep(&fmt_->pb);
        }
    }

    ByteSink sink_;
    AVFormatContext* fmt_ = nullptr;
    AVCodecContext* codec_ = nullptr;
    AVStream* stream_ = nullptr;
    SwrContext* swr_ = nullptr;
    AVAudioFifo* fifo_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    uint8_t** converted_ = nullptr;
    int capacity_ = 0;
    int frameSize_ = 1024;
    int64_t pts_ = 0;
    int64_t sunk_ = 0;
    int64_t closedBytes_ = 0;
    bool headerWritten_ = false;
    bool finished_ = false;
    bool createdFile_ = false;
    QString error_;
};

bool FfmpegEncoder::Open(const EncoderSettings& settings, const QString& path, QString* error) {
    const Choice choice = ChoiceFor(settings.format);
    const auto fail = [&](const QString& why) {
        if (error != nullptr) *error = why;
        return false;
    };
    const AVCodec* codec = avcodec_find_encoder_by_name(choice.encoder);
    if (codec == nullptr)
        return fail(QStringLiteral("no %1 encoder").arg(QLatin1String(choice.encoder)));
    if (avformat_alloc_output_context2(&fmt_, nullptr, choice.muxer, nullptr) < 0)
        return fail(QStringLiteral("no %1 writer").arg(QLatin1String(choice.muxer)));
    codec_ = avcodec_alloc_context3(codec);
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (codec_ == nullptr || frame_ == nullptr || packet_ == nullptr)
        return fail(AvError(AVERROR(ENOMEM)));

    codec_->sample_fmt =
        codec->sample_fmts != nullptr ? codec->sample_fmts[0] : choice.sampleFormat;
    for (const AVSampleFormat* f = codec->sample_fmts; f != nullptr && *f != AV_SAMPLE_FMT_NONE;
         ++f)
        if (*f == choice.sampleFormat) codec_->sample_fmt = *f;
    codec_->sample_rate = settings.format == Format::Opus ? 48000 : settings.rate;
    codec_->ch_layout = AV_CHANNEL_LAYOUT_STEREO;
    codec_->time_base = AVRational{1, codec_->sample_rate};
    if (choice.usesBitrate)
        codec_->bit_rate = static_cast<int64_t>(std::clamp(settings.bitrateKbps, 32, 320)) * 1000;
    if ((fmt_->oformat->flags & AVFMT_GLOBALHEADER) != 0)
        codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int r = avcodec_open2(codec_, codec, nullptr);
    if (r < 0) return fail(AvError(r));
    if ((codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) == 0 && codec_->frame_size > 0)
        frameSize_ = codec_->frame_size;

    stream_ = avformat_new_stream(fmt_, nullptr);
    if (stream_ == nullptr) return fail(AvError(AVERROR(ENOMEM)));
    stream_->time_base = codec_->time_base;
    r = avcodec_parameters_from_context(stream_->codecpar, codec_);
    if (r < 0) return fail(AvError(r));

    if (!settings.title.isEmpty())
        av_dict_set(&fmt_->metadata, "title", settings.title.toUtf8().constData(), 0);
    AVDictionary* options = nullptr;
    if (sink_) {
        auto* buffer = static_cast<uint8_t*>(av_malloc(kIoBufferBytes));
        fmt_->pb = buffer != nullptr ? avio_alloc_context(buffer, kIoBufferBytes, 1, this, nullptr,
                                                          &FfmpegEncoder::WritePacket, nullptr)
                                     : nullptr;
        if (fmt_->pb == nullptr) {
            av_free(buffer);
            return fail(AvError(AVERROR(ENOMEM)));
        }
        fmt_->flags |= AVFMT_FLAG_CUSTOM_IO;
        // A stream has no header to come back to, and players want bare MP3 frames.
        av_dict_set(&options, "write_xing", "0", 0);
        av_dict_set(&options, "id3v2_version", "0", 0);
    } else {
        r = avio_open(&fmt_->pb, QFile::encodeName(path).constData(), AVIO_FLAG_WRITE);
        if (r < 0) return fail(AvError(r));
        createdFile_ = true;
    }
    r = avformat_write_header(fmt_, &options);
    av_dict_free(&options);
    if (r < 0) return fail(AvError(r));
    headerWritten_ = true;

    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    r = swr_alloc_set_opts2(&swr_, &stereo, codec_->sample_fmt, codec_->sample_rate, &stereo,
                            AV_SAMPLE_FMT_FLT, settings.rate, 0, nullptr);
    if (r >= 0) r = swr_init(swr_);
    if (r < 0) return fail(AvError(r));
    fifo_ = av_audio_fifo_alloc(codec_->sample_fmt, 2, frameSize_ * 2);
    if (fifo_ == nullptr) return fail(AvError(AVERROR(ENOMEM)));
    return true;
}

}  // namespace

std::unique_ptr<Encoder> OpenFfmpegEncoder(const EncoderSettings& settings, const QString& path,
                                           ByteSink sink, QString* error) {
    auto encoder = std::make_unique<FfmpegEncoder>(std::move(sink));
    if (encoder->Open(settings, path, error)) return encoder;
    // No half-made file is left behind.
    const bool created = encoder->CreatedFile();
    encoder.reset();
    if (created) QFile::remove(path);
    return nullptr;
}

}  // namespace corvane::record
