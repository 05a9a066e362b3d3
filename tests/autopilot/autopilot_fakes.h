#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QHash>
#include <QTemporaryDir>
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
// the next Advance) and reports play-state changes synchronously from Play and Stop.
class FakeApPlayer final : public LinePlayer {
public:
    FakeApPlayer(int index, const Songs& songs) : index_(index), songs_(songs) {}
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
        if (opening_) startWhenOpen_ = true;
        if (!open_ || playing_) return;
        if (position_ >= Duration()) position_ = 0.0;
        SetPlaying(true);
    }
    void Stop() override {
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
        if (playing_) position_ = std::min(position_ + seconds, Duration());
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
    AutoPilot* autoPilot_ = nullptr;
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

    void Make() {
        autoPilot_ = std::make_unique<AutoPilot>(
            std::array<LinePlayer*, 2>{&ap_[0], &ap_[1]}, playlist_, settings_,
            [] { return qint64(12345); },
            [this](const QString& path) { return songs_.contains(path); });
        for (auto& player : ap_) player.Attach(autoPilot_.get());
        QObject::connect(autoPilot_.get(), &AutoPilot::SongStarted, [this](const QString& path) {
            started_.append(path);
            startTimes_.append(now_);
            if (ap_[0].PlayState() == LinePlayer::kPlaying &&
                ap_[1].PlayState() == LinePlayer::kPlaying)
                ++overlaps_;
        });
        QObject::connect(autoPilot_.get(), &AutoPilot::MessageRequested,
                         [this](const QString& text) { messages_.append(text); });
    }
    // Songs "/m/<name>.wav" of `seconds` each, in this order, as SongList.
    void SetList(const QStringList& names, double seconds) {
        playlist_.SongList.clear();
        for (const QString& name : names) {
            const QString path = Song(name);
            songs_.insert(path, seconds);
            playlist_.SongList.append(path);
        }
        playlist_.SongCount = static_cast<qint32>(playlist_.SongList.size());
    }
    static QString Song(const QString& name) {
        return QStringLiteral("/m/") + name + QStringLiteral(".wav");
    }
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
    std::array<FakeApPlayer, 2> ap_{FakeApPlayer(0, songs_), FakeApPlayer(1, songs_)};
    std::unique_ptr<AutoPilot> autoPilot_;
    QStringList started_;
    QList<double> startTimes_;
    QStringList messages_;
    int overlaps_ = 0;
    double now_ = 0.0;
};

}  // namespace corvane::autopilot::testing
