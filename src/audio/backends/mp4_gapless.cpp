#include "audio/backends/mp4_gapless.h"

#include <QByteArray>
#include <QList>

extern "C" {
#include <libavformat/avformat.h>
}

namespace corvane::audio {

namespace {

// Longer priming than this is no encoder's delay but a broken or hostile tag.
constexpr int kMaxDelaySeconds = 5;

// A field of 1 to 16 hex digits, or -1.
int64_t HexField(const QByteArray& field) {
    if (field.isEmpty() || field.size() > 16) return -1;
    bool ok = false;
    const qulonglong value = field.toULongLong(&ok, 16);
    return ok && value <= static_cast<qulonglong>(INT64_MAX) ? static_cast<int64_t>(value) : -1;
}

// FFmpeg applies an edit list by moving the track's timeline onto it: the samples the edit
// skips come before 0 and are marked to be discarded. A track without one starts its packets
// at 0, unmarked. (An edit list that skips nothing at the start leaves no such mark; the
// track's duration is then its length, which bounds the tag's count below.)
bool EditListApplied(const AVStream* stream) {
    const AVIndexEntry* first = avformat_index_get_entry(const_cast<AVStream*>(stream), 0);
    return !first || first->timestamp != 0 || (first->flags & AVINDEX_DISCARD_FRAME) != 0;
}

}  // namespace

std::optional<Mp4Gapless> ItunesGapless(const AVFormatContext* format, const AVStream* stream) {
    const int rate = stream->codecpar->sample_rate;
    if (rate <= 0 || stream->duration <= 0 || EditListApplied(stream)) return std::nullopt;
    // FFmpeg keeps iTunes' freeform tags with the file; look at the track's too. The lookup
    // ignores case.
    const AVDictionaryEntry* tag = av_dict_get(format->metadata, "iTunSMPB", nullptr, 0);
    if (!tag) tag = av_dict_get(stream->metadata, "iTunSMPB", nullptr, 0);
    if (!tag) return std::nullopt;
    const QList<QByteArray> fields = QByteArray(tag->value).simplified().split(' ');
    if (fields.size() < 4 || HexField(fields[0]) < 0 || HexField(fields[2]) < 0)
        return std::nullopt;
    const int64_t delay = HexField(fields[1]);
    const int64_t count = HexField(fields[3]);
    // What the packets hold, at the codec's rate: the tag may claim no more.
    const int64_t held = av_rescale_q(stream->duration, stream->time_base, AVRational{1, rate});
    if (delay < 0 || delay > int64_t{kMaxDelaySeconds} * rate || count <= 0 || count > held - delay)
        return std::nullopt;
    return Mp4Gapless{delay, count};
}

}  // namespace corvane::audio
