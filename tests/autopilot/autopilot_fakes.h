#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QHash>
#include <algorithm>
#include <array>
#include <memory>

#include "autopilot/autopilot.h"
#include "engine/line_player.h"
#include "playlist/playlist.h"
#include "settings/settings.h"
#include "support/temp_settings.h"

namespace corvane::autopilot::testing {

using engine::LinePlayer;

// Song lengths in seconds by path: absent = no such file, negative = a file that never opens.
using Songs = QHash<QString, double>;

// An AutoPilot player on a manual clock. Like the engine's player it opens asynchronously (on
// the next Advance), reports play-state changes synchronously from Play and Stop, and starts a
// scheduled song at its exact moment, between two ticks, reporting it only at the next Play.
class FakeApPlayer final : public LinePlayer {
public:
    FakeApPlayer(int index, const Songs& songs, const double& now)
        : index_(index), songs_(songs), now_(now) {}
    void Attach(AutoPilot* autoPilot) { autoPilot_ = autoPilot; }

    void OpenFile(const QString& path) override {
        Stop();
        fileName_ = path;
        open_ = false;
        opening_ = !path.isEmpty();
        position_ = 0.0;
    }
    void SetAutoStart(bool) override {}
    QString FileName() const override { return fileName_; }
    void Play() override {
        after_ = nullptr;
        if (opening_) startWhenOpen_ = true;
        if (!open_ || playing_) return;
        if (!running_) {
            if (position_ >= Duration()) position_ = 0.0;
            startedAt_ = now_ - position_;
        }
        running_ = false;
        SetPlaying(true);
    }
    void Stop() override {
        after_ = nullptr;
        running_ = false;
        startWhenOpen_ = false;
        if (playing_) SetPlaying(false);
    }
    double Position() const override { return position_; }
    void SetPosition(double seconds) override { position_ = seconds; }
    double Duration() const override { return open_ ? songs_.value(fileName_) : 0.0; }
    int PlayState() const override { return playing_ ? kPlaying : kStopped; }
    void SetRepeatCount(int) override {}
    void SetVolume(int) override {}
    void SetBalance(int) override {}
    bool PlayAfter(LinePlayer& current, double remainingSeconds) override {
        if (!open_ || playing_ || &current == this || current.PlayState() != kPlaying) return false;
        after_ = &current;
        remaining_ = remainingSeconds;
        return true;
    }
    // Playing, or started on schedule and not yet reported.
    bool Sounding() const { return playing_ || running_; }
    // The manual time at which the song now heard started.
    double StartedAt() const { return startedAt_; }

    // Completes a pending open (a file that never opens closes again, its name cleared).
    void FinishOpen() {
        if (!opening_) return;
        opening_ = false;
        if (songs_.value(fileName_, -1.0) < 0.0) {
            fileName_.clear();
            startWhenOpen_ = false;
            autoPilot_->OpenStateChanged(index_, 1, 0);
            return;
        }
        open_ = true;
        autoPilot_->OpenStateChanged(index_, 1, 6);
        if (startWhenOpen_) Play();
        startWhenOpen_ = false;
    }
    void Advance(double seconds) {
        if (playing_ || running_) position_ = std::min(position_ + seconds, Duration());
    }
    // A scheduled start whose moment was passed in the last Advance: it has sounded since.
    void StartIfDue() {
        if (after_ == nullptr) return;
        const double late = remaining_ - (after_->Duration() - after_->Position());
        if (late < -1e-9) return;
        after_ = nullptr;
        running_ = true;
        position_ = std::max(0.0, late);
        startedAt_ = now_ - position_;
    }
    // Apart from Advance, so a song started by another's end is not advanced at once.
    void EndIfDone() {
        if (playing_ && position_ >= Duration()) SetPlaying(false);
    }

private:
    void SetPlaying(bool on) {
        playing_ = on;
        autoPilot_->PlayStateChanged(index_, on ? 0 : 2, on ? 2 : 0);
    }

    int index_;
    const Songs& songs_;
    const double& now_;
    AutoPilot* autoPilot_ = nullptr;
    LinePlayer* after_ = nullptr;  // the player whose end the scheduled start waits for
    double remaining_ = 0.0;
    bool running_ = false;  // started on schedule, not yet reported
    double startedAt_ = 0.0;
    QString fileName_;
    bool open_ = false;
    bool opening_ = false;
    bool startWhenOpen_ = false;
    bool playing_ = false;
    double position_ = 0.0;
};

// An AutoPilot over two fake players, a settings file and playlists in a temporary folder.
class AutoPilotTest : public ::testing::Test, public TempSettings {
protected:
    static constexpr double kTick = 0.3;

    // With `apLoop` the list goes round.
    void Make(bool apLoop = false) {
        if (apLoop) settings_.SavePref(keys::LoopKey(0), true);
        autoPilot_ = std::make_unique<AutoPilot>(
            std::array<LinePlayer*, 2>{&ap_[0], &ap_[1]}, playlist_, settings_, random_,
            [] { return qint64(12345); },
            [this](const QString& path) { return songs_.contains(path); });
        for (auto& player : ap_) player.Attach(autoPilot_.get());
        QObject::connect(autoPilot_.get(), &AutoPilot::SongStarted, [this](const QString& path) {
            started_.append(path);
            startTimes_.append(std::max(ap_[0].StartedAt(), ap_[1].StartedAt()));
            if (ap_[0].PlayState() == LinePlayer::kPlaying &&
                ap_[1].PlayState() == LinePlayer::kPlaying)
                ++overlaps_;
        });
        QObject::connect(autoPilot_.get(), &AutoPilot::MessageRequested,
                         [this](const QString& text) { messages_.append(text); });
    }
    // Made over the songs named in `spaced`, of `seconds` each.
    void Make(bool apLoop, const char* spaced, double seconds) {
        Make(apLoop);
        SetList(Names(spaced), seconds);
    }
    static QStringList Names(const char* spaced) {
        return QString::fromLatin1(spaced).split(QLatin1Char(' '));
    }
    // Songs "/m/<name>.wav" of `seconds` each, in this order, as SongList (built as the
    // editor builds it, without a load).
    void SetList(const QStringList& names, double seconds) {
        playlist_.SongList.clear();
        for (const QString& name : names) {
            const QString path = Song(name);
            songs_.insert(path, seconds);
            playlist_.SongList.append(path);
        }
    }
    static QString Song(const QString& name) {
        return QStringLiteral("/m/") + name + QStringLiteral(".wav");
    }
    static QString Song(const char* name) { return Song(QLatin1String(name)); }
    // A playlist file in the temporary folder naming `paths`.
    QString WritePlaylist(const QString& name, const QStringList& paths) {
        const QString file = dir_.filePath(name);
        QFile out(file);
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(paths.join(QLatin1Char('\n')).toUtf8() + "\n");
        return file;
    }
    // Main ticks for `seconds` of manual time: open completions, playback, then the step.
    void Run(double seconds) {
        for (double t = 0.0; t < seconds - 1e-9; t += kTick) {
            now_ += kTick;
            for (auto& player : ap_) player.Advance(kTick);
            for (auto& player : ap_) player.StartIfDue();
            for (auto& player : ap_) player.EndIfDone();
            for (auto& player : ap_) player.FinishOpen();
            autoPilot_->AutoPilotTick();
        }
    }
    QStringList Titles() const {
        QStringList titles;
        for (const QString& path : started_) titles.append(path.mid(3).chopped(4));
        return titles;
    }

    Songs songs_;
    Playlist playlist_;
    double now_ = 0.0;
    std::array<FakeApPlayer, 2> ap_{FakeApPlayer(0, songs_, now_), FakeApPlayer(1, songs_, now_)};
    RandomSource random_{7};
    std::unique_ptr<AutoPilot> autoPilot_;
    QStringList started_;
    QList<double> startTimes_;
    QStringList messages_;
    int overlaps_ = 0;
};

}  // namespace corvane::autopilot::testing
