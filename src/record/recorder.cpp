#include "record/recorder.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <csignal>

#include "audio/engine.h"
#include "audio/master_tap.h"
#include "audio/media_player.h"
#include "record/wav_writer.h"

namespace corvane::record {

namespace {

constexpr int kPollMs = 100;
constexpr int kIdleSleepMs = 10;
constexpr int kChunkFrames = 4096;
// About six seconds at 44.1 kHz (2 MiB): a disk that stalls for that long loses frames.
constexpr int kTapFrames = 1 << 18;
constexpr int kPlayers = 8;

audio::MediaPlayer* PlayerOfSlot(audio::Engine* engine, int slot) {
    return slot < 6 ? engine->Player(slot + 1) : engine->AP(slot - 6);
}

QString CueFileType(Format format) {
    return format == Format::Mp3 ? QStringLiteral("MP3") : QStringLiteral("WAVE");
}

}  // namespace

Recorder::Recorder(audio::Engine* engine, std::function<QString(const QString&)> titleOf,
                   QObject* parent)
    : QObject(parent),
      engine_(engine),
      titleOf_(std::move(titleOf)),
      now_([] { return QDateTime::currentDateTime(); }) {
    poll_.setInterval(kPollMs);
    connect(&poll_, &QTimer::timeout, this, &Recorder::Poll);
}

Recorder::~Recorder() {
    if (Recording()) Stop();
}

QString Recorder::FileNameFor(const QDateTime& when, Format format) {
    return when.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss.")) + FormatSuffix(format);
}

QString Recorder::CuePath() const {
    if (path_.isEmpty()) return {};
    const QFileInfo info(path_);
    return info.path() + u'/' + info.completeBaseName() + QStringLiteral(".cue");
}

double Recorder::ElapsedSeconds() const {
    return static_cast<double>(written_.load(std::memory_order_relaxed)) / engine_->Rate();
}

long long Recorder::DroppedFrames() const { return tap_ ? tap_->DroppedFrames() : 0; }

int Recorder::PendingFrames() const { return Recording() ? tap_->Ring().AvailableFrames() : 0; }

bool Recorder::Start(const RecordSettings& settings, QString* error) {
    if (Recording()) return true;
    // Past a file size limit, writes then fail with an error instead of killing the program.
    std::signal(SIGXFSZ, SIG_IGN);
    const auto fail = [&](const QString& where, const QString& why) {
        if (error != nullptr) *error = QStringLiteral("Cannot record to %1: %2.").arg(where, why);
        return false;
    };
    if (settings.folder.isEmpty() || !QDir().mkpath(settings.folder))
        return fail(settings.folder, QStringLiteral("the folder cannot be made"));
    const QString base = QDir(settings.folder).filePath(FileNameFor(now_(), settings.format));
    QString path = base;
    for (int n = 2; QFileInfo::exists(path); ++n) {
        const QFileInfo info(base);
        path = info.path() + u'/' + info.completeBaseName() + QStringLiteral(" (%1).").arg(n) +
               info.suffix();
    }
    QString why;
    encoder_ =
        OpenFileEncoder({settings.format, engine_->Rate(), settings.bitrateKbps}, path, &why);
    if (encoder_ == nullptr) return fail(path, why);

    settings_ = settings;
    path_ = path;
    tracks_.clear();
    pending_.clear();
    for (int slot = 0; slot < kPlayers; ++slot) seen_[slot] = engine_->LastStart(slot).count;
    stop_.store(false);
    failed_.store(false);
    error_.clear();
    written_.store(0);
    bytes_.store(encoder_->Bytes());
    dropReported_ = false;
    tap_ = std::make_unique<audio::MasterTap>(kTapFrames);
    worker_ = std::thread([this] { Work(); });
    engine_->AttachTap(audio::kRecordTap, tap_.get());
    poll_.start();
    Q_EMIT Started(path_);
    return true;
}

void Recorder::Stop() { Finish(QString()); }

void Recorder::Finish(const QString& error) {
    if (!Recording()) return;
    poll_.stop();
    NoteStarts();
    // Once detached, the ring holds everything that will ever come: the worker writes it all.
    engine_->DetachTap(audio::kRecordTap);
    stop_.store(true, std::memory_order_release);
    worker_.join();
    QString message = error;
    if (message.isEmpty() && failed_.load(std::memory_order_acquire))
        message = QStringLiteral("Recording stopped: %1 (%2). What was recorded is kept.")
                      .arg(error_, QDir::toNativeSeparators(path_));
    encoder_.reset();
    NoteStarts();
    WriteCue();
    Q_EMIT Stopped(path_, message);
}

void Recorder::Poll() {
    if (!Recording()) return;
    NoteStarts();
    if (!dropReported_ && tap_->DroppedFrames() > 0) {
        dropReported_ = true;
        Q_EMIT FramesDropped(QStringLiteral("Recording: the disk did not keep up and some audio "
                                            "was dropped from %1.")
                                 .arg(QFileInfo(path_).fileName()));
    }
    if (failed_.load(std::memory_order_acquire)) Finish(QString());
}

void Recorder::NoteStarts() {
    bool added = false;
    for (int slot = 0; slot < kPlayers; ++slot) {
        const audio::PlayStart start = engine_->LastStart(slot);
        if (start.count == seen_[slot]) continue;
        seen_[slot] = start.count;
        const QString path = PlayerOfSlot(engine_, slot)->FileName();
        if (path.isEmpty()) continue;
        pending_.push_back({titleOf_ ? titleOf_(path) : path, start.masterFrame});
    }
    const int64_t first = tap_ ? tap_->FirstMasterFrame() : -1;
    if (first < 0) return;
    for (const Pending& p : pending_) {
        tracks_.push_back({p.title, std::max<int64_t>(0, p.masterFrame - first)});
        added = true;
    }
    pending_.clear();
    if (added) {
        std::stable_sort(tracks_.begin(), tracks_.end(),
                         [](const CueTrack& a, const CueTrack& b) { return a.frame < b.frame; });
        WriteCue();
    }
}

void Recorder::WriteCue() {
    if (tracks_.empty() || path_.isEmpty()) return;
    // Replaced whole each time, so a crash leaves the last complete list. Best effort: a disk
    // too full for it has stopped the recording already, and that is what gets reported.
    QSaveFile file(CuePath());
    if (!file.open(QIODevice::WriteOnly)) return;
    file.write(CueText(QFileInfo(path_).fileName(), CueFileType(settings_.format), tracks_,
                       engine_->Rate())
                   .toUtf8());
    file.commit();
}

void Recorder::Work() {
    audio::StereoRing& ring = tap_->Ring();
    // Twice a second, so a kill loses less than a second even when the worker runs late.
    const int64_t flushEvery = engine_->Rate() / 2;
    int64_t written = 0;
    int64_t flushedAt = 0;
    bool ok = true;
    for (;;) {
        const bool stopping = stop_.load(std::memory_order_acquire);
        int available = 0;
        const float* frames = ring.ReadRegion(&available);
        if (available > 0 && ok) {
            const int n = std::min(available, kChunkFrames);
            ok = encoder_->Write(frames, n);
            ring.CommitRead(n);
            if (ok) written += n;
            if (ok && written - flushedAt >= flushEvery) {
                ok = encoder_->Flush();
                flushedAt = written;
            }
            written_.store(written, std::memory_order_relaxed);
            bytes_.store(encoder_->Bytes(), std::memory_order_relaxed);
            if (!ok) {
                error_ = encoder_->Error();
                failed_.store(true, std::memory_order_release);
            }
            continue;
        }
        if (stopping || !ok) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(kIdleSleepMs));
    }
    encoder_->Finish();
    bytes_.store(encoder_->Bytes(), std::memory_order_relaxed);
}

QStringList Recorder::RepairInterrupted(const QString& folder) {
    QStringList repaired;
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("*.wav"), QStringLiteral("*.WAV")}, QDir::Files);
    for (const QString& name : names)
        if (RepairWav(QDir(folder).filePath(name), nullptr) == WavRepair::Repaired)
            repaired.append(name);
    return repaired;
}

}  // namespace corvane::record
