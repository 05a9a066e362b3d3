#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <numeric>
#include <optional>
#include <vector>

#include "audio/backends/decoders.h"
#include "audio/backends/mp4_gapless.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avstring.h>
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

namespace corvane::audio {

namespace {

// Only these demuxers are ever used: playlists (hls), scripts (concat) and the like could
// make FFmpeg open other files or the network. "mp4" stands for FFmpeg's mov family.
constexpr const char* kFormatWhitelist = "wav,mp3,rm,flac,ogg,mp4,aac,aiff,wv";
// Only these decoders ever see a file's bytes, also while FFmpeg probes the streams: a
// crafted header cannot steer data into a video, subtitle or rarely used audio decoder.
constexpr const char* kCodecWhitelist =
    "pcm_u8,pcm_s8,pcm_s16le,pcm_s16be,pcm_s24le,pcm_s24be,pcm_s32le,pcm_s32be,pcm_f32le,"
    "pcm_f32be,pcm_f64le,pcm_f64be,pcm_alaw,pcm_mulaw,adpcm_ms,adpcm_ima_wav,adpcm_ima_qt,"
    "mp1,mp1float,mp2,mp2float,mp3,mp3float,real_144,real_288,cook,sipr,"
    "flac,vorbis,opus,aac,aac_fixed,alac,wavpack";
constexpr auto kBlockingLimit = std::chrono::seconds(5);
constexpr int kMaxConsecutiveErrors = 32;
constexpr int kProbeBytes = 128 * 1024;
// Decoded before a seek target so that mp3's bit reservoir and filter overlap, and the
// resampler's history, are back in the state a linear decode would have.
constexpr double kSeekPrerollSeconds = 0.1;

struct FormatCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecFreer {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct SwrFreer {
    void operator()(SwrContext* c) const { swr_free(&c); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFreer {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
using FormatPtr = std::unique_ptr<AVFormatContext, FormatCloser>;
using CodecPtr = std::unique_ptr<AVCodecContext, CodecFreer>;
using SwrPtr = std::unique_ptr<SwrContext, SwrFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;

using Clock = std::chrono::steady_clock;

int InterruptWhenLate(void* opaque) {
    return Clock::now() > *static_cast<const Clock::time_point*>(opaque) ? 1 : 0;
}

// Size of an ID3v2 tag at the start of `head`, 0 when there is none.
qint64 Id3v2Size(const QByteArray& head) {
    if (head.size() < 10 || !head.startsWith("ID3")) return 0;
    qint64 size = 0;
    for (int i = 6; i < 10; ++i) size = (size << 7) | (static_cast<uint8_t>(head[i]) & 0x7F);
    const bool footer = (static_cast<uint8_t>(head[5]) & 0x10) != 0;
    return 10 + size + (footer ? 10 : 0);
}

// Decides the demuxer from the content alone (no file name, so an extension cannot vouch
// for random bytes) and accepts only a confident answer from the whitelist.
const AVInputFormat* ProbeFormat(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the file");
        return nullptr;
    }
    QByteArray head = file.read(kProbeBytes);
    if (const qint64 tag = Id3v2Size(head); tag > 0 && file.seek(tag))
        head = file.read(kProbeBytes);
    if (head.isEmpty()) {
        *error = QStringLiteral("the file is empty");
        return nullptr;
    }
    const qsizetype dataSize = head.size();
    head.append(QByteArray(AVPROBE_PADDING_SIZE, '\0'));
    AVProbeData probe{};
    probe.filename = "";
    probe.buf = reinterpret_cast<unsigned char*>(head.data());
    probe.buf_size = static_cast<int>(dataSize);
    int score = 0;
    const AVInputFormat* format = av_probe_input_format3(&probe, 1, &score);
    if (!format || score < AVPROBE_SCORE_EXTENSION / 2) {
        *error = QStringLiteral("not a sound file this program can play");
        return nullptr;
    }
    if (av_match_list(format->name, kFormatWhitelist, ',') <= 0) {
        *error = QStringLiteral("unsupported file format (%1)").arg(QLatin1String(format->name));
        return nullptr;
    }
    return format;
}

// The length the container states, less the encoder delay FFmpeg skips at the start (mp3's
// LAME tag gives both); 0 when it states none.
double ContainerSeconds(const AVFormatContext* format, const AVStream* stream) {
    const double base = av_q2d(stream->time_base);
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
        const int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
        return static_cast<double>(stream->duration - start) * base;
    }
    if (format->duration != AV_NOPTS_VALUE && format->duration > 0)
        return static_cast<double>(format->duration) / AV_TIME_BASE;
    return 0.0;
}

// FFmpeg guesses a length from the bit rate when the container states none; only for
// constant-rate MPEG audio is that guess the length. The rest (FLAC without a total, raw AAC)
// count their packets instead.
bool LengthIsAGuess(const AVFormatContext* format, const AVStream* stream) {
    if (format->duration_estimation_method != AVFMT_DURATION_FROM_BITRATE) return false;
    const AVCodecID codec = stream->codecpar->codec_id;
    return codec != AV_CODEC_ID_MP1 && codec != AV_CODEC_ID_MP2 && codec != AV_CODEC_ID_MP3;
}

bool IsMp4(const AVInputFormat* format) { return av_match_list(format->name, "mp4", ',') > 0; }

// Opens `url` with the one demuxer the probe chose, reading through the file protocol only.
FormatPtr OpenContainer(const QByteArray& url, const AVInputFormat* inputFormat,
                        Clock::time_point* deadline) {
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw) return nullptr;
    raw->interrupt_callback.callback = InterruptWhenLate;
    raw->interrupt_callback.opaque = deadline;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    av_dict_set(&options, "format_whitelist", kFormatWhitelist, 0);
    av_dict_set(&options, "codec_whitelist", kCodecWhitelist, 0);
    // An MP4 may name other files or URLs for its samples; we read this one file only.
    av_dict_set(&options, "enable_drefs", "0", 0);
    *deadline = Clock::now() + kBlockingLimit;
    const int opened = avformat_open_input(&raw, url.constData(), inputFormat, &options);
    av_dict_free(&options);
    return FormatPtr(opened < 0 ? nullptr : raw);  // on failure FFmpeg has freed `raw`
}

// For containers without a stated length (FFmpeg's own rm muxer writes none, nor does raw
// AAC, nor a FLAC made while recording): the sum of the packet durations, read without
// decoding, from a second opening of the file.
double ScanSeconds(const QByteArray& url, const AVInputFormat* inputFormat,
                   Clock::time_point* deadline) {
    FormatPtr format = OpenContainer(url, inputFormat, deadline);
    // Without the stream info, raw streams (FLAC, ADTS) have neither channels nor durations.
    if (!format || avformat_find_stream_info(format.get(), nullptr) < 0) return 0.0;
    const int index = av_find_best_stream(format.get(), AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (index < 0) return 0.0;
    const AVStream* stream = format->streams[index];
    PacketPtr packet(av_packet_alloc());
    double seconds = 0.0;
    while (packet && av_read_frame(format.get(), packet.get()) >= 0) {
        if (packet->stream_index == index) {
            const int samples = av_get_audio_frame_duration2(stream->codecpar, packet->size);
            if (packet->duration > 0)
                seconds += static_cast<double>(packet->duration) * av_q2d(stream->time_base);
            else if (samples > 0 && stream->codecpar->sample_rate > 0)
                seconds += static_cast<double>(samples) / stream->codecpar->sample_rate;
        }
        av_packet_unref(packet.get());
    }
    return seconds;
}

// FFmpeg's fixed-point MPEG audio decoders carry rounding state that no seek restores; their
// float twins decode the same streams without it.
const AVCodec* PreferFloat(const AVCodec* decoder) {
    const QByteArray twin = QByteArray(decoder->name) + "float";
    const AVCodec* floatTwin = avcodec_find_decoder_by_name(twin.constData());
    return floatTwin && floatTwin->id == decoder->id ? floatTwin : decoder;
}

class FfmpegDecoder final : public Decoder {
public:
    explicit FfmpegDecoder(int outputRate) : outputRate_(outputRate) {}

    bool Open(const QString& path, QString* error);

    int Read(float* out, int frames) override;
    bool Seek(long long frame) override;
    bool SeekNear(long long frame) override;
    long long LengthFrames() const override { return lengthFrames_; }
    int Rate() const override { return outputRate_; }

private:
    void Arm() { deadline_ = Clock::now() + kBlockingLimit; }
    bool OpenStreams(QString* error);
    bool SeekDemuxer(int64_t sourceSample);
    bool DecodeFrame();
    bool ConsumeFrame();
    bool BuildResampler();
    void Convert(const uint8_t** in, int samples);
    bool FillPending();
    int64_t FrameSample() const;

    const int outputRate_;
    Clock::time_point deadline_;
    QByteArray url_;
    const AVInputFormat* inputFormat_ = nullptr;
    bool restartOnSeek_ = false;
    FormatPtr format_;
    CodecPtr codec_;
    SwrPtr swr_;
    PacketPtr packet_{av_packet_alloc()};
    FramePtr frame_{av_frame_alloc()};
    AVStream* stream_ = nullptr;
    int sourceRate_ = 0;
    long long lengthFrames_ = 0;
    int64_t origin_ = 0;         // raw sample index of the first sample heard
    int64_t statedOrigin_ = -1;  // the same when the file states it, else -1
    bool originKnown_ = false;
    int64_t nextSource_ = 0;  // source sample (from origin) of the next decoded sample
    int64_t firstPacket_ = AV_NOPTS_VALUE;  // timestamp of the stream's first packet
    int64_t leadIn_ = 0;      // codec delay before the origin that no header accounts for
    int64_t endSource_ = -1;  // source samples in the stated length, -1 when none binds
    int64_t feedFrom_ = 0;    // source samples before this are discarded after a seek
    int64_t dropOutput_ = 0;  // output frames still to discard after a seek
    bool needTimestamp_ = false;
    bool retriedFromStart_ = false;
    bool inputEnded_ = false;
    bool ended_ = false;
    int errors_ = 0;
    // The frame's layout and format the resampler was built for.
    int swrRate_ = 0;
    int swrFormat_ = -1;
    int swrChannels_ = 0;
    std::vector<const uint8_t*> planes_;
    std::vector<float> pending_;  // converted, not yet read; interleaved stereo
    size_t pendingPos_ = 0;       // in floats
};

bool FfmpegDecoder::Open(const QString& path, QString* error) {
    inputFormat_ = ProbeFormat(path, error);
    if (!inputFormat_) return false;
    if (!packet_ || !frame_) {
        *error = QStringLiteral("out of memory");
        return false;
    }
    // "file:" keeps a colon in the path from being read as a protocol name.
    url_ = "file:" + QFileInfo(path).absoluteFilePath().toUtf8();
    if (!OpenStreams(error)) return false;

    const AVCodecParameters* par = stream_->codecpar;
    std::optional<Mp4Gapless> gapless;
    if (IsMp4(inputFormat_) && stream_->duration > 0 && par->sample_rate > 0) {
        // The edit list states the playable length; FFmpeg drops the encoder delay before
        // it but decodes the padding after it.
        endSource_ = av_rescale_q(stream_->duration, stream_->time_base, {1, par->sample_rate});
        // Without an edit list, iTunes' tag may state where the audio starts and ends.
        gapless = ItunesGapless(format_.get(), stream_);
        if (gapless) {
            statedOrigin_ = gapless->delay;
            endSource_ = gapless->samples;
        }
    }
    if (qstrcmp(inputFormat_->name, "aac") == 0 && par->profile == FF_PROFILE_AAC_LOW) {
        // Raw AAC says nothing of its delay: drop the 1024 samples every AAC-LC encoder
        // primes with. The padding after the last frame cannot be known.
        leadIn_ = 1024;
    }
    double seconds = gapless ? static_cast<double>(gapless->samples) / par->sample_rate
                             : ContainerSeconds(format_.get(), stream_);
    if (seconds <= 0) {
        seconds = ScanSeconds(url_, inputFormat_, &deadline_);
        restartOnSeek_ = true;  // without timing in the container, its seeks land anywhere
    } else if (LengthIsAGuess(format_.get(), stream_)) {
        seconds = ScanSeconds(url_, inputFormat_, &deadline_);
    }
    if (par->sample_rate > 0) seconds -= static_cast<double>(leadIn_) / par->sample_rate;
    // A PCM header may claim far more data than the file holds; the file's size bounds it.
    const int bits = av_get_exact_bits_per_sample(par->codec_id);
    if (bits > 0 && par->ch_layout.nb_channels > 0 && par->sample_rate > 0) {
        const double held = static_cast<double>(QFileInfo(path).size()) * 8.0 /
                            (static_cast<double>(bits) * par->ch_layout.nb_channels) /
                            par->sample_rate;
        seconds = std::min(seconds, held);
    }
    lengthFrames_ = std::max<long long>(0, std::llround(seconds * outputRate_));

    // A file that cannot deliver a single frame fails here rather than at play time.
    if (!FillPending()) {
        *error = QStringLiteral("no audio could be decoded");
        return false;
    }
    return true;
}

bool FfmpegDecoder::OpenStreams(QString* error) {
    codec_.reset();
    format_ = OpenContainer(url_, inputFormat_, &deadline_);
    if (!format_) {
        *error = QStringLiteral("cannot open the file");
        return false;
    }
    Arm();
    if (avformat_find_stream_info(format_.get(), nullptr) < 0) {
        *error = QStringLiteral("cannot read the stream");
        return false;
    }
    const AVCodec* decoder = nullptr;
    const int index = av_find_best_stream(format_.get(), AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (index < 0 || !decoder) {
        *error = QStringLiteral("no playable audio in the file");
        return false;
    }
    for (unsigned i = 0; i < format_->nb_streams; ++i)
        format_->streams[i]->discard =
            static_cast<int>(i) == index ? AVDISCARD_DEFAULT : AVDISCARD_ALL;
    stream_ = format_->streams[index];
    decoder = PreferFloat(decoder);
    if (av_match_list(decoder->name, kCodecWhitelist, ',') <= 0) {
        *error = QStringLiteral("unsupported audio codec (%1)").arg(QLatin1String(decoder->name));
        return false;
    }
    codec_.reset(avcodec_alloc_context3(decoder));
    if (!codec_ || avcodec_parameters_to_context(codec_.get(), stream_->codecpar) < 0) {
        *error = QStringLiteral("out of memory");
        return false;
    }
    codec_->pkt_timebase = stream_->time_base;
    codec_->thread_count = 1;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "codec_whitelist", kCodecWhitelist, 0);
    const int opened = avcodec_open2(codec_.get(), decoder, &options);
    av_dict_free(&options);
    if (opened < 0) {
        *error = QStringLiteral("cannot start the audio decoder");
        return false;
    }
    return true;
}

int64_t FfmpegDecoder::FrameSample() const {
    int64_t pts = frame_->pts != AV_NOPTS_VALUE ? frame_->pts : frame_->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE || sourceRate_ <= 0) return AV_NOPTS_VALUE;
    return av_rescale_q(pts, stream_->time_base, AVRational{1, sourceRate_});
}

bool FfmpegDecoder::SeekDemuxer(int64_t sourceSample) {
    int64_t target =
        av_rescale_q(origin_ + sourceSample, AVRational{1, sourceRate_}, stream_->time_base);
    if (sourceSample <= -leadIn_) {
        // Back to the very first packet: an MP4's priming packets come before the start
        // time, and the decoder needs them to overlap into the first samples heard.
        if (stream_->start_time != AV_NOPTS_VALUE) target = std::min(target, stream_->start_time);
        if (firstPacket_ != AV_NOPTS_VALUE) target = std::min(target, firstPacket_);
    }
    QString ignored;
    if (restartOnSeek_) {
        if (!OpenStreams(&ignored)) {
            ended_ = true;  // the file went away; the stream stays ended
            return false;
        }
    } else {
        Arm();
        if (av_seek_frame(format_.get(), stream_->index, target, AVSEEK_FLAG_BACKWARD) < 0)
            return false;
        avcodec_flush_buffers(codec_.get());
    }
    swr_.reset();
    pending_.clear();
    pendingPos_ = 0;
    needTimestamp_ = true;
    inputEnded_ = false;
    ended_ = false;
    errors_ = 0;
    return true;
}

bool FfmpegDecoder::Seek(long long frame) {
    if (frame < 0 || sourceRate_ <= 0 || !codec_) return false;
    int64_t feed = frame;
    int64_t drop = 0;
    int64_t preroll = 0;
    if (sourceRate_ != outputRate_) {
        // Restart the resampler on a source sample where both rates meet a whole sample, so
        // its phase is the one a linear decode has there and the output is the same.
        const int64_t g = std::gcd(sourceRate_, outputRate_);
        const int64_t sourceStep = sourceRate_ / g;
        const int64_t outputStep = outputRate_ / g;
        const int64_t source = frame * sourceRate_ / outputRate_;
        const int64_t back = static_cast<int64_t>(kSeekPrerollSeconds * sourceRate_);
        feed = std::max<int64_t>(0, (source - back) / sourceStep) * sourceStep;
        drop = frame - feed / sourceStep * outputStep;
    }
    if (av_get_exact_bits_per_sample(codec_->codec_id) <= 0)
        preroll = static_cast<int64_t>(kSeekPrerollSeconds * sourceRate_);
    retriedFromStart_ = false;
    // From the lead-in on, so the first frame heard is decoded after the one before it.
    if (!SeekDemuxer(std::max<int64_t>(-leadIn_, feed - preroll))) return false;
    feedFrom_ = feed;
    dropOutput_ = drop;
    return FillPending();
}

bool FfmpegDecoder::SeekNear(long long frame) {
    // A container without timing restarts from the top on every seek: no quick way there.
    if (frame < 0 || sourceRate_ <= 0 || !codec_ || restartOnSeek_) return false;
    // Whatever packet the demuxer lands on starts the output: no preroll, nothing dropped, and
    // no retry from the start when it lands late.
    retriedFromStart_ = true;
    if (!SeekDemuxer(frame * sourceRate_ / outputRate_)) return false;
    feedFrom_ = -(int64_t{1} << 62);
    dropOutput_ = 0;
    return FillPending();
}

bool FfmpegDecoder::DecodeFrame() {
    if (!codec_ || !format_) return false;
    for (;;) {
        const int received = avcodec_receive_frame(codec_.get(), frame_.get());
        if (received == 0) {
            errors_ = 0;
            return true;
        }
        if (received == AVERROR_EOF) return false;
        if (received != AVERROR(EAGAIN)) {
            if (++errors_ > kMaxConsecutiveErrors) return false;
            continue;
        }
        if (inputEnded_) return false;
        Arm();
        if (av_read_frame(format_.get(), packet_.get()) < 0) {
            inputEnded_ = true;  // end of file, or a read error: either ends the stream
            avcodec_send_packet(codec_.get(), nullptr);
            continue;
        }
        if (packet_->stream_index == stream_->index) {
            if (firstPacket_ == AV_NOPTS_VALUE)
                firstPacket_ = packet_->pts != AV_NOPTS_VALUE ? packet_->pts : packet_->dts;
            const int sent = avcodec_send_packet(codec_.get(), packet_.get());
            if (sent < 0 && sent != AVERROR(EAGAIN) && ++errors_ > kMaxConsecutiveErrors) {
                av_packet_unref(packet_.get());
                return false;
            }
        }
        av_packet_unref(packet_.get());
    }
}

bool FfmpegDecoder::BuildResampler() {
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    AVChannelLayout in{};
    if (frame_->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&in, frame_->ch_layout.nb_channels);
    else if (av_channel_layout_copy(&in, &frame_->ch_layout) < 0)
        return false;
    SwrContext* raw = nullptr;
    const int made = swr_alloc_set_opts2(&raw, &stereo, AV_SAMPLE_FMT_FLT, outputRate_, &in,
                                         static_cast<AVSampleFormat>(frame_->format),
                                         frame_->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&in);
    swr_.reset(raw);
    if (made < 0) return false;
    if (frame_->ch_layout.nb_channels == 1) {
        // Mono plays at full level on both sides, not panned to the centre at -3 dB.
        const double both[2] = {1.0, 1.0};
        if (swr_set_matrix(swr_.get(), both, 1) < 0) return false;
    }
    if (swr_init(swr_.get()) < 0) return false;
    swrRate_ = frame_->sample_rate;
    swrFormat_ = frame_->format;
    swrChannels_ = frame_->ch_layout.nb_channels;
    return true;
}

void FfmpegDecoder::Convert(const uint8_t** in, int samples) {
    const int room = swr_get_out_samples(swr_.get(), samples);
    if (room <= 0) return;
    const size_t used = pending_.size();
    pending_.resize(used + static_cast<size_t>(room) * 2);
    uint8_t* out = reinterpret_cast<uint8_t*>(pending_.data() + used);
    const int got = swr_convert(swr_.get(), &out, room, in, samples);
    pending_.resize(used + static_cast<size_t>(std::max(got, 0)) * 2);
}

// Turns the decoded frame into output, minus what a seek asked to skip. False when the frame
// could not be used and the stream should end.
bool FfmpegDecoder::ConsumeFrame() {
    const int channels = frame_->ch_layout.nb_channels;
    if (channels <= 0 || frame_->sample_rate <= 0 || frame_->nb_samples <= 0) return true;
    if (!originKnown_) {
        sourceRate_ = frame_->sample_rate;
        const int64_t at = FrameSample();
        const int64_t first = at == AV_NOPTS_VALUE ? 0 : at;
        // A stated origin holds whether or not FFmpeg has dropped the priming already.
        origin_ = statedOrigin_ >= 0 ? statedOrigin_ : first + leadIn_;
        nextSource_ = first - origin_;
        originKnown_ = true;
        needTimestamp_ = false;
    }
    int64_t position = nextSource_;
    if (needTimestamp_) {
        needTimestamp_ = false;
        const int64_t at = FrameSample();
        position = at == AV_NOPTS_VALUE ? 0 : at - origin_;
        if (position > feedFrom_ && !retriedFromStart_) {
            // The demuxer landed past the target: only a decode from the start is exact.
            retriedFromStart_ = true;
            return SeekDemuxer(-leadIn_);
        }
    }
    nextSource_ = position + frame_->nb_samples;
    int64_t count = frame_->nb_samples;
    if (endSource_ >= 0) {
        if (position >= endSource_) return false;  // only padding is left
        count = std::min(count, endSource_ - position);
    }
    const int64_t skip = std::clamp<int64_t>(feedFrom_ - position, 0, count);
    if (skip == count) return true;

    if (!swr_ || frame_->sample_rate != swrRate_ || frame_->format != swrFormat_ ||
        channels != swrChannels_) {
        if (!BuildResampler()) return false;
    }
    const auto format = static_cast<AVSampleFormat>(frame_->format);
    const int bytes = av_get_bytes_per_sample(format);
    planes_.assign(static_cast<size_t>(channels), nullptr);
    if (av_sample_fmt_is_planar(format)) {
        for (int c = 0; c < channels; ++c) planes_[c] = frame_->extended_data[c] + skip * bytes;
    } else {
        planes_[0] = frame_->extended_data[0] + skip * bytes * channels;
    }
    Convert(planes_.data(), static_cast<int>(count - skip));
    return true;
}

bool FfmpegDecoder::FillPending() {
    pending_.clear();
    pendingPos_ = 0;
    while (pending_.empty()) {
        if (ended_) return false;
        if (!DecodeFrame() || !ConsumeFrame()) {
            if (swr_) Convert(nullptr, 0);  // the resampler's tail
            ended_ = true;
        }
        const int64_t drop = std::min<int64_t>(dropOutput_, pending_.size() / 2);
        dropOutput_ -= drop;
        pendingPos_ = static_cast<size_t>(drop) * 2;
        if (pendingPos_ == pending_.size()) {
            pending_.clear();
            pendingPos_ = 0;
        }
    }
    return true;
}

int FfmpegDecoder::Read(float* out, int frames) {
    int done = 0;
    while (done < frames) {
        if (pendingPos_ == pending_.size() && !FillPending()) break;
        const int n =
            std::min<int>(frames - done, static_cast<int>(pending_.size() - pendingPos_) / 2);
        std::memcpy(out + static_cast<size_t>(done) * 2, pending_.data() + pendingPos_,
                    static_cast<size_t>(n) * 2 * sizeof(float));
        pendingPos_ += static_cast<size_t>(n) * 2;
        done += n;
    }
    return done;
}

}  // namespace

std::unique_ptr<Decoder> OpenFfmpegDecoder(const QString& path, int outputRate, QString* error) {
    auto decoder = std::make_unique<FfmpegDecoder>(outputRate);
    if (!decoder->Open(path, error)) return nullptr;
    return decoder;
}

}  // namespace corvane::audio
