#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "record/cue_sheet.h"
#include "record/encoder.h"

namespace corvane::audio {
class Engine;
class MasterTap;
}  // namespace corvane::audio

namespace corvane::record {

struct RecordSettings {
    QString folder;
    Format format = Format::Flac;
    int bitrateKbps = 192;  // MP3 and Ogg
};

// Records the master mix to a file named from the date and time in the chosen folder, with a
// .cue track list beside it. The audio callback hands the mix over through a master tap; a
// worker thread encodes and writes it, flushing twice a second so a killed program leaves a
// file that plays to within a second. A write error (full disk, folder gone) ends the
// recording with one message; the mix plays on. Lives on the UI thread.
class Recorder : public QObject {
    Q_OBJECT

public:
    // `titleOf` turns a song's path into its title as the rest of the program shows it.
    Recorder(audio::Engine* engine, std::function<QString(const QString& path)> titleOf,
             QObject* parent = nullptr);
    ~Recorder() override;

    // False with `error` set ("Cannot record ...") when the file cannot be made.
    bool Start(const RecordSettings& settings, QString* error);
    // Ends the recording: everything the tap held is written, the file completed.
    void Stop();
    bool Recording() const { return worker_.joinable(); }

    QString FilePath() const { return path_; }
    QString CuePath() const;
    // Seconds of audio written so far in this (or the last) recording.
    double ElapsedSeconds() const;
    int64_t FileBytes() const { return bytes_.load(std::memory_order_relaxed); }
    long long DroppedFrames() const;
    // Frames the tap holds that the worker has not written yet.
    int PendingFrames() const;

    // Notes song starts, watches the worker; every 100 ms on its own timer while recording.
    // Tests that render offline call it after each block.
    void Poll();

    // The file name a recording started at `when` gets: "2026-12-06 21-30-00.flac".
    static QString FileNameFor(const QDateTime& when, Format format);
    // Repairs the WAV files in `folder` that a killed recording left with stale sizes;
    // returns the names of those it repaired.
    static QStringList RepairInterrupted(const QString& folder);
    // Where a recording starts; tests put in a fixed time.
    void SetClock(std::function<QDateTime()> now) { now_ = std::move(now); }

Q_SIGNALS:
    void Started(const QString& path);
    // `error` is empty for a stop that was asked for, else the message to show.
    void Stopped(const QString& path, const QString& error);
    // Once per recording, when the worker first fell behind: the message to show.
    void FramesDropped(const QString& message);

private:
    void Work();
    void Fail(const QString& why);
    void NoteStarts();
    void WriteCue();
    void Finish(const QString& error);

    audio::Engine* engine_;
    std::function<QString(const QString&)> titleOf_;
    std::function<QDateTime()> now_;
    QTimer poll_;

    RecordSettings settings_;
    QString path_;
    std::unique_ptr<audio::MasterTap> tap_;
    std::unique_ptr<Encoder> encoder_;  // the worker's while it runs
    std::thread worker_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> failed_{false};
    QString error_;  // written by the worker before failed_
    std::atomic<int64_t> written_{0};
    std::atomic<int64_t> bytes_{0};
    bool dropReported_ = false;

    std::array<uint32_t, 8> seen_{};  // start counts of each player already noted
    std::vector<CueTrack> tracks_;
    struct Pending {
        QString title;
        int64_t masterFrame;
    };
    std::vector<Pending> pending_;  // starts heard before the tap's first frame was known
};

}  // namespace corvane::record
