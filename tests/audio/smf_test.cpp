#include "audio/smf.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "audio/decoder.h"
#include "audio/ram_metafile.h"

namespace corvane::audio {
namespace {

QByteArray Be(uint32_t v, int bytes) {
    QByteArray out;
    for (int i = bytes - 1; i >= 0; --i) out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    return out;
}

QByteArray VarLen(uint32_t v) {
    QByteArray out(1, static_cast<char>(v & 0x7F));
    while (v >>= 7) out.prepend(static_cast<char>(0x80 | (v & 0x7F)));
    return out;
}

QByteArray Header(int format, int tracks, int division) {
    return "MThd" + Be(6, 4) + Be(format, 2) + Be(tracks, 2) + Be(division, 2);
}

QByteArray Track(const QByteArray& body) { return "MTrk" + Be(body.size(), 4) + body; }

QByteArray Ev(uint32_t delta, std::initializer_list<int> bytes) {
    QByteArray out = VarLen(delta);
    for (int b : bytes) out.append(static_cast<char>(b));
    return out;
}

QByteArray Tempo(uint32_t delta, uint32_t microsPerQuarter) {
    return VarLen(delta) + QByteArray("\xFF\x51\x03", 3) + Be(microsPerQuarter, 3);
}

QByteArray EndOfTrack(uint32_t delta) { return Ev(delta, {0xFF, 0x2F, 0x00}); }

// Four quarters at 120 bpm, then 60 bpm and four more: 2 s + 4 s. The tempo lives in its own
// track, as format 1 files have it, so the merge and the tempo map are both exercised.
QByteArray TempoSong() {
    const QByteArray tempoTrack = Tempo(0, 500000) + Tempo(4 * 480, 1000000) + EndOfTrack(0);
    QByteArray notes = Ev(0, {0xC0, 5});
    for (int i = 0; i < 8; ++i) notes += Ev(0, {0x90, 60, 100}) + Ev(480, {0x80, 60, 0});
    notes += EndOfTrack(0);
    return Header(1, 2, 480) + Track(tempoTrack) + Track(notes);
}

// The song `bytes` hold; a refusal must come with a reason.
SmfSong Parse(const QByteArray& bytes, bool parses = true) {
    SmfSong song;
    QString error;
    EXPECT_EQ(ParseSmf(bytes, &song, &error), parses) << error.toStdString();
    EXPECT_EQ(error.isEmpty(), parses);
    return song;
}

TEST(Smf, TempoMapTurnsTicksIntoSeconds) {
    const SmfSong song = Parse(TempoSong());
    EXPECT_DOUBLE_EQ(song.durationSeconds, 6.0);
    // Program change plus eight note-on/note-off pairs; meta events are not played.
    ASSERT_EQ(song.events.size(), 17u);
    EXPECT_EQ(song.events[0].status, 0xC0);
    EXPECT_DOUBLE_EQ(song.events[7].seconds, 1.5);   // fourth note-on at 120 bpm
    EXPECT_DOUBLE_EQ(song.events[11].seconds, 3.0);  // sixth note-on at 60 bpm
    EXPECT_DOUBLE_EQ(song.events.back().seconds, 6.0);
}

TEST(Smf, RunningStatusSysexAndSmpteDivision) {
    // 25 frames per second, 40 ticks per frame: one millisecond per tick.
    const QByteArray body = Ev(0, {0x90, 60, 100}) + Ev(250, {62, 90}) +
                            Ev(0, {0xF0, 3, 0x7E, 0x09, 0xF7}) + Ev(250, {0x80, 60, 0}) +
                            Ev(0, {62, 0}) + EndOfTrack(500);
    const SmfSong song = Parse(Header(0, 1, 0xE728) + Track(body));
    ASSERT_EQ(song.events.size(), 5u);
    EXPECT_EQ(song.events[1].status, 0x90);
    EXPECT_EQ(song.events[1].data1, 62);
    EXPECT_DOUBLE_EQ(song.events[1].seconds, 0.25);
    EXPECT_EQ(song.events[2].sysex, QByteArray("\x7E\x09"));
    EXPECT_EQ(song.events[4].status, 0x80);
    EXPECT_DOUBLE_EQ(song.durationSeconds, 1.0);  // the end-of-track event counts
}

TEST(Smf, DamagedTracksKeepWhatCameBefore) {
    // The track claims more bytes than the file has and breaks off inside an event.
    QByteArray body = Ev(0, {0x90, 60, 100}) + Ev(480, {0x80, 60, 0}) + Ev(480, {0x90, 64});
    const SmfSong cut = Parse(Header(0, 1, 480) + "MTrk" + Be(1000, 4) + body);
    EXPECT_EQ(cut.events.size(), 2u);
    EXPECT_DOUBLE_EQ(cut.durationSeconds, 0.5);
    // A meta event cancels running status, so the data byte after it ends the track.
    body = Ev(0, {0x90, 60, 1}) + Ev(0, {0xFF, 1, 0}) + Ev(10, {0x40, 1});
    EXPECT_EQ(Parse(Header(0, 1, 480) + Track(body)).events.size(), 1u);
}

TEST(Smf, RefusesWhatIsNotAMidiFile) {
    Parse("This is a text file.\nIt has lines.\n", false);
    Parse(QByteArray(), false);
    Parse(Header(1, 0, 480), false);  // no tracks
    Parse(Header(0, 1, 0) + Track(Ev(0, {0x90, 1, 1})), false);
    Parse(Header(0, 1, 480) + Track(EndOfTrack(0)), false);
    // A five-byte length is not a variable-length quantity.
    Parse(Header(0, 1, 480) + Track(QByteArray(5, '\xFF') + "\x90\x01\x01"), false);
}

// About 300 KB of the longest delta times at the slowest tempo: more frames than a 64-bit
// count holds. The song has a length and plays instead of opening as zero length.
TEST(Smf, LongFileWithLargeDeltaTimesKeepsItsLength) {
    QByteArray body = Tempo(0, 0xFFFFFF) + Ev(0, {0x90, 60, 100});
    for (int i = 0; i < 51000; ++i) body += Ev(0x0FFFFFFF, {60, i % 2 ? 100 : 0});
    body += EndOfTrack(0);
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("long.mid")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(Header(0, 1, 1) + Track(body));
    file.close();

    QString error;
    auto decoder = OpenDecoder(file.fileName(), 44100, &error);
    ASSERT_TRUE(decoder) << error.toStdString();
    EXPECT_EQ(decoder->LengthFrames(), std::numeric_limits<long long>::max());
    float block[2 * 256];
    EXPECT_EQ(decoder->Read(block, 256), 256);
}

TEST(RamMetafile, FirstLocalLineWins) {
    QString error;
    const auto stream = [&](const char* text, const char* folder = "/x") {
        error.clear();
        return LocalStreamOfRam(text, QLatin1String(folder), &error);
    };
    const QString ab = QStringLiteral("/music/a b.rm");
    EXPECT_EQ(stream("# comment\r\n\r\n/music/a b.rm\r\n/music/c.rm\n"), ab);
    EXPECT_EQ(stream("rtsp://example.invalid/s.rm\nfile:///music/a%20b.rm\n"), ab);
    EXPECT_EQ(stream("sub/../song.ra\n", "/x/y"), QStringLiteral("/x/y/song.ra"));
    // Relative names stay relative to the metafile's folder, however they are written.
    EXPECT_EQ(stream("file:song.ra\n", "/x/y"), QStringLiteral("/x/y/song.ra"));
    EXPECT_EQ(stream(":live.rm\n"), QStringLiteral("/x/:live.rm"));

    EXPECT_TRUE(stream("http://stream.invalid/live.rm\npnm://a.invalid/b.ra\n").isEmpty());
    EXPECT_TRUE(error.contains(QLatin1String("network")));
    EXPECT_TRUE(stream("# only a comment\n\n").isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

}  // namespace
}  // namespace corvane::audio
