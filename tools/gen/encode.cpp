#include "encode.h"

#include "itunes_gapless.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
}

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <stdexcept>

namespace corvane::gen {

namespace {

struct CodecContextDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FormatDeleter {
    void operator()(AVFormatContext* f) const {
        if (f->pb) avio_closep(&f->pb);
        avformat_free_context(f);
    }
};

void Check(int result, const std::string& what) {
    if (result < 0) {
        char message[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(result, message, sizeof message);
        throw std::runtime_error(what + ": " + message);
    }
}

AVSampleFormat PickFormat(const AVCodec* codec) {
    static constexpr AVSampleFormat kPreferred[] = {AV_SAMPLE_FMT_FLTP, AV_SAMPLE_FMT_FLT,
                                                    AV_SAMPLE_FMT_S16, AV_SAMPLE_FMT_S16P};
    for (AVSampleFormat wanted : kPreferred) {
        for (const AVSampleFormat* f = codec->sample_fmts; f && *f != AV_SAMPLE_FMT_NONE; ++f) {
            if (*f == wanted) return wanted;
        }
    }
    throw std::runtime_error(std::string("no usable sample format for ") + codec->name);
}

// Copies `count` frames from `from` into `frame`, converting to the encoder's sample format.
void FillFrame(AVFrame* frame, const Pcm& pcm, long long from, int count) {
    const auto format = static_cast<AVSampleFormat>(frame->format);
    const bool planar = av_sample_fmt_is_planar(format);
    const bool isFloat = format == AV_SAMPLE_FMT_FLT || format == AV_SAMPLE_FMT_FLTP;
    for (int i = 0; i < count; ++i) {
        for (int c = 0; c < pcm.channels; ++c) {
            const float s = pcm.samples[static_cast<std::size_t>((from + i) * pcm.channels + c)];
            const int plane = planar ? c : 0;
            const int index = planar ? i : i * pcm.channels + c;
            if (isFloat) {
                reinterpret_cast<float*>(frame->data[plane])[index] = s;
            } else {
                reinterpret_cast<std::int16_t*>(frame->data[plane])[index] =
                    static_cast<std::int16_t>(std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f));
            }
        }
    }
}

class Encoder {
public:
    Encoder(const std::filesystem::path& path, const Pcm& pcm, const EncodeSettings& settings) {
        AVFormatContext* rawFormat = nullptr;
        Check(avformat_alloc_output_context2(&rawFormat, nullptr, settings.muxer.c_str(),
                                             path.c_str()),
              "muxer " + settings.muxer);
        format_.reset(rawFormat);
        const AVCodec* codec = avcodec_find_encoder_by_name(settings.codec.c_str());
        if (!codec) throw std::runtime_error("no encoder " + settings.codec);
        codec_.reset(avcodec_alloc_context3(codec));
        codec_->sample_rate = pcm.rate;
        codec_->sample_fmt = PickFormat(codec);
        av_channel_layout_default(&codec_->ch_layout, pcm.channels);
        codec_->time_base = AVRational{1, pcm.rate};
        if (settings.bitRate > 0) codec_->bit_rate = settings.bitRate;
        if (settings.quality >= 0) codec_->compression_level = settings.quality;
        if (format_->oformat->flags & AVFMT_GLOBALHEADER) {
            codec_->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        }
        Check(avcodec_open2(codec_.get(), codec, nullptr), "open " + settings.codec);

        stream_ = avformat_new_stream(format_.get(), nullptr);
        if (!stream_) throw std::runtime_error("cannot add a stream");
        stream_->time_base = codec_->time_base;
        Check(avcodec_parameters_from_context(stream_->codecpar, codec_.get()), "parameters");
        for (const auto& [key, value] : settings.tags) {
            av_dict_set(&format_->metadata, key.c_str(), value.c_str(), 0);
        }
        Check(avio_open(&format_->pb, path.c_str(), AVIO_FLAG_WRITE), "create " + path.string());
        AVDictionary* options = nullptr;
        if (settings.itunesGapless) av_dict_set(&options, "use_editlist", "0", 0);
        const int written = avformat_write_header(format_.get(), &options);
        av_dict_free(&options);
        Check(written, "header");
        packet_.reset(av_packet_alloc());
        wholeFrames_ = settings.itunesGapless;
    }

    void Run(const Pcm& pcm) {
        const int frameSize = codec_->frame_size > 0 ? codec_->frame_size : 1152;
        std::unique_ptr<AVFrame, FrameDeleter> frame(av_frame_alloc());
        for (long long at = 0; at < pcm.Frames(); at += frameSize) {
            const int count = static_cast<int>(std::min<long long>(frameSize, pcm.Frames() - at));
            frame->nb_samples = count;
            frame->format = codec_->sample_fmt;
            frame->sample_rate = pcm.rate;
            Check(av_channel_layout_copy(&frame->ch_layout, &codec_->ch_layout), "layout");
            Check(av_frame_get_buffer(frame.get(), 0), "frame buffer");
            FillFrame(frame.get(), pcm, at, count);
            frame->pts = at;
            Send(frame.get());
            av_frame_unref(frame.get());
        }
        Send(nullptr);
        Check(av_write_trailer(format_.get()), "trailer");
    }

    // iTunes' gapless tag for what Run encoded from `pcm`.
    std::string Smpb(const Pcm& pcm) const {
        const long long delay = codec_->initial_padding;
        return ItunesSmpb(delay, samples_ - delay - pcm.Frames(), pcm.Frames());
    }

private:
    void Send(const AVFrame* frame) {
        Check(avcodec_send_frame(codec_.get(), frame), "encode");
        for (;;) {
            const int got = avcodec_receive_packet(codec_.get(), packet_.get());
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) return;
            Check(got, "encode");
            if (wholeFrames_ && codec_->frame_size > 0) packet_->duration = codec_->frame_size;
            samples_ += packet_->duration;
            av_packet_rescale_ts(packet_.get(), codec_->time_base, stream_->time_base);
            packet_->stream_index = stream_->index;
            Check(av_interleaved_write_frame(format_.get(), packet_.get()), "write");
        }
    }

    std::unique_ptr<AVFormatContext, FormatDeleter> format_;
    std::unique_ptr<AVCodecContext, CodecContextDeleter> codec_;
    std::unique_ptr<AVPacket, PacketDeleter> packet_;
    AVStream* stream_ = nullptr;
    bool wholeFrames_ = false;
    long long samples_ = 0;  // in the codec's time base, 1/rate
};

struct InputDeleter {
    void operator()(AVFormatContext* f) const { avformat_close_input(&f); }
};

}  // namespace

void QuietCodecLogs() { av_log_set_level(AV_LOG_FATAL); }

double DecodedSeconds(const std::filesystem::path& path) {
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) return -1.0;
    std::unique_ptr<AVFormatContext, InputDeleter> input(raw);
    if (avformat_find_stream_info(raw, nullptr) < 0) return -1.0;
    const AVCodec* codec = nullptr;
    const int stream = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, -1, &codec, 0);
    if (stream < 0) return -1.0;
    std::unique_ptr<AVCodecContext, CodecContextDeleter> decoder(avcodec_alloc_context3(codec));
    if (avcodec_parameters_to_context(decoder.get(), raw->streams[stream]->codecpar) < 0) {
        return -1.0;
    }
    decoder->pkt_timebase = raw->streams[stream]->time_base;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) return -1.0;
    std::unique_ptr<AVPacket, PacketDeleter> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameDeleter> frame(av_frame_alloc());
    long long samples = 0;
    auto drain = [&] {
        while (avcodec_receive_frame(decoder.get(), frame.get()) >= 0) {
            samples += frame->nb_samples;
            av_frame_unref(frame.get());
        }
    };
    while (av_read_frame(raw, packet.get()) >= 0) {
        if (packet->stream_index == stream) avcodec_send_packet(decoder.get(), packet.get());
        av_packet_unref(packet.get());
        drain();
    }
    avcodec_send_packet(decoder.get(), nullptr);
    drain();
    return static_cast<double>(samples) / decoder->sample_rate;
}

void EncodeSilentVideo(const std::filesystem::path& path, const std::string& codecName,
                       const std::string& muxer) {
    constexpr int kFrames = 5;
    AVFormatContext* rawFormat = nullptr;
    Check(avformat_alloc_output_context2(&rawFormat, nullptr, muxer.c_str(), path.c_str()),
          "muxer " + muxer);
    std::unique_ptr<AVFormatContext, FormatDeleter> format(rawFormat);
    const AVCodec* codec = avcodec_find_encoder_by_name(codecName.c_str());
    if (!codec) throw std::runtime_error("no encoder " + codecName);
    std::unique_ptr<AVCodecContext, CodecContextDeleter> context(avcodec_alloc_context3(codec));
    context->width = 64;
    context->height = 48;
    context->pix_fmt = AV_PIX_FMT_YUV420P;
    context->time_base = AVRational{1, 10};
    if (format->oformat->flags & AVFMT_GLOBALHEADER) context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    Check(avcodec_open2(context.get(), codec, nullptr), "open " + codecName);
    AVStream* stream = avformat_new_stream(format.get(), nullptr);
    if (!stream) throw std::runtime_error("cannot add a stream");
    stream->time_base = context->time_base;
    Check(avcodec_parameters_from_context(stream->codecpar, context.get()), "parameters");
    Check(avio_open(&format->pb, path.c_str(), AVIO_FLAG_WRITE), "create " + path.string());
    Check(avformat_write_header(format.get(), nullptr), "header");
    std::unique_ptr<AVPacket, PacketDeleter> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameDeleter> frame(av_frame_alloc());
    auto send = [&](const AVFrame* f) {
        Check(avcodec_send_frame(context.get(), f), "encode");
        while (avcodec_receive_packet(context.get(), packet.get()) == 0) {
            av_packet_rescale_ts(packet.get(), context->time_base, stream->time_base);
            packet->stream_index = stream->index;
            Check(av_interleaved_write_frame(format.get(), packet.get()), "write");
        }
    };
    for (int i = 0; i < kFrames; ++i) {
        frame->format = context->pix_fmt;
        frame->width = context->width;
        frame->height = context->height;
        Check(av_frame_get_buffer(frame.get(), 0), "frame buffer");
        for (int plane = 0; plane < 3; ++plane) {
            const int rows = plane == 0 ? frame->height : frame->height / 2;
            std::fill_n(frame->data[plane], static_cast<std::size_t>(frame->linesize[plane]) * rows,
                        std::uint8_t{128});
        }
        frame->pts = i;
        send(frame.get());
        av_frame_unref(frame.get());
    }
    send(nullptr);
    Check(av_write_trailer(format.get()), "trailer");
}

void EncodeFile(const std::filesystem::path& path, const Pcm& pcm, const EncodeSettings& settings) {
    std::filesystem::path temp = path;
    temp += ".part";
    std::string smpb;
    {
        Encoder encoder(temp, pcm, settings);
        encoder.Run(pcm);
        if (settings.itunesGapless) smpb = encoder.Smpb(pcm);  // added once the file is closed
    }
    if (settings.itunesGapless) {
        std::ifstream in(temp, std::ios::binary);
        std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        in.close();
        WriteFile(temp, WithItunesSmpb(std::move(bytes), smpb));
    }
    std::filesystem::rename(temp, path);
}

}  // namespace corvane::gen
