#include "autopilot/autopilot.h"

#include <QFileInfo>
#include <algorithm>

#include "playlist/entry_text.h"
#include "playlist/playlist.h"
#include "settings/settings.h"

namespace corvane::autopilot {

namespace {

using engine::LinePlayer;

QString TitleOf(const QString& path) { return StripExtension(SplitPath(path).fileName); }

bool IsPlaying(const LinePlayer* player) {
    return player != nullptr && player->PlayState() == LinePlayer::kPlaying;
}

}  // namespace

QString AutoPilot::TooManyBadFilenames() {
    return QStringLiteral(
        "Too many bad filenames in Playlist. If the filenames in the Playlist\n"
        "are on a CD Rom, make sure that the CD is in the drive.\n"
        "If the Playlist file was in the same directory as the songs\n"
        "and has been moved, you will need to make a new playlist in\n"
        "the new location.");
}

AutoPilot::AutoPilot(std::array<LinePlayer*, 2> players, Playlist& playlist, Settings& settings,
                     RandomSource& random, TimeSource clock, FileCheck exists, QObject* parent)
    : QObject(parent),
      players_(players),
      playlist_(playlist),
      settings_(settings),
      random_(random),
      clock_(std::move(clock)),
      exists_(std::move(exists)),
      currentSongText_(QString::fromLatin1(kNone)),
      nextLabelText_(QString::fromLatin1(kNextSong)) {
    if (!exists_) exists_ = [](const QString& path) { return QFileInfo(path).isFile(); };
    randomMode_ = settings_.GetBool(keys::kRandom);
    apLoop_ = settings_.GetBool(keys::LoopKey(0));
    highPriority_ = settings_.GetInt(keys::kPriority) == 1;
    SetNoRepWindow(settings_.GetInt(keys::kNoRep));
    SetFadeSeconds(settings_.GetInt(keys::kFadeSeconds));
    SetSpinUp(settings_.GetInt(keys::kSpinUp));
    for (LinePlayer* player : players_) {
        if (player != nullptr) player->SetAutoStart(false);
    }
}

AutoPilot::~AutoPilot() = default;

void AutoPilot::SetFadeSeconds(int seconds) { fadeSeconds_ = std::max(0, seconds); }
void AutoPilot::SetSpinUp(int seconds) { spinUp_ = std::max(0, seconds); }
void AutoPilot::SetNoRepWindow(int size) { noRepWindow_ = std::max(0, size); }

QString AutoPilot::CurrentSongStatus() const {
    return QString::fromLatin1(kCurrentSongStatus) + currentSongText_;
}

QString AutoPilot::NextSongStatus() const {
    return nextLabelText_ + QLatin1Char(' ') + nextSongText_;
}

// --- Choosing ---------------------------------------------------------------------------

void AutoPilot::ChooseNextSong() {
    if (playlist_.SongList.isEmpty()) return;
    // In list order without the loop the last entry is already the next song: a pick past it
    // (ANext, or the last entry failing) ends the list after the current song.
    const bool pastTheEnd = on_ && !randomMode_ && !apLoop_ && !lastOfList_.isEmpty();
    bool wrappedEarlier = false;
    while (!PickOnce()) {
        if (badCount_ == 0) return;  // the limit was reached and reported
        wrappedEarlier = wrappedEarlier || wrapPick_;
    }
    lastOfList_ = wrapPick_ ? nextSongPath_ : QString();
    if (pastTheEnd || (!wrapPick_ && wrappedEarlier && !apLoop_)) {
        // The end of the list held no playable song: nothing follows the current one.
        SetOn(false);
        SetNextLabel(QString::fromLatin1(kNextSongStopped));
    }
    nextSongText_ = TitleOf(nextSongPath_);
    Q_EMIT NextSongChanged(nextSongText_);
    badCount_ = 0;
    retryCount_ = 0;
}

// One pick; true when it names an existing file.
bool AutoPilot::PickOnce() {
    if (nextIndex_ < 1) nextIndex_ = 1;
    if (++badCount_ > kMaxBadPicks) {
        nextIndex_ = 1;
        SetOn(false);
        badCount_ = 0;
        Q_EMIT MessageRequested(TooManyBadFilenames());
        return false;
    }
    if (randomMode_) {
        PickAtRandom();
    } else {
        PickInOrder();
    }
    return Playable();
}

// Whether the picked entry names a song that can play; a song found again elsewhere becomes
// the pick. Streams are never played: they count as missing files.
bool AutoPilot::Playable() {
    if (entry::IsNetworkUrl(nextSongPath_)) {
        Q_EMIT StatusRequested(entry::NetworkStreamStatus(nextSongPath_));
        return false;
    }
    if (!entry::IsWindowsPath(QStringView(nextSongPath_)) && exists_(nextSongPath_)) return true;
    const QString found = findAgain_ ? findAgain_(nextSongPath_) : QString();
    if (found.isEmpty()) return false;
    nextSongPath_ = found;
    return true;
}

void AutoPilot::PickInOrder() {
    const int count = static_cast<int>(playlist_.SongList.size());
    if (nextIndex_ > count) nextIndex_ = 1;
    nextPos_ = nextIndex_ - 1;
    nextSongPath_ = playlist_.SongList.at(nextPos_);
    // Without the loop the list ends with this pick: it still plays, then the AutoPilot stops.
    wrapPick_ = ++nextIndex_ > count;
    if (wrapPick_) {
        nextIndex_ = 1;
        firstPass_ = false;
    }
}

void AutoPilot::PickAtRandom() {
    wrapPick_ = false;
    SyncRecent();
    QStringList& recent = playlist_.RecentList;
    // The list as it is now: the editor builds and grows lists without a load.
    const qsizetype count = playlist_.SongList.size();
    const bool windowApplies = count >= noRepWindow_ + 2;
    auto trim = [&] {
        if (!windowApplies || recent.isEmpty() || recent.size() < noRepWindow_) return;
        const QString oldest = recent.takeLast().toLower();
        if (--recent_[oldest] <= 0) recent_.remove(oldest);
        recentSize_ = recent.size();
        recentNewest_ = recent.isEmpty() ? QString() : recent.first();
    };
    trim();
    std::uniform_int_distribution<int> draw(1, static_cast<int>(count));
    for (;;) {
        ++retryCount_;
        trim();
        nextIndex_ = draw(random_);
        if (!windowApplies) break;
        if (!recent_.contains(playlist_.SongList.at(nextIndex_ - 1).toLower())) break;
        if (retryCount_ >= kMaxDraws) break;
    }
    nextPos_ = nextIndex_ - 1;
    nextSongPath_ = playlist_.SongList.at(nextPos_);
    retryCount_ = 0;
}

// The editor and every load change SongList under the chosen next song. Run on every tick, so
// the common case costs one comparison.
void AutoPilot::CheckNextSong() {
    if (nextSongPath_.isEmpty()) {
        if (listEmptied_ && !playlist_.SongList.isEmpty()) {
            listEmptied_ = false;
            ChooseNextSong();
        }
        return;
    }
    if (playlist_.SongList.isEmpty()) {
        nextSongPath_.clear();
        nextPos_ = -1;
        lastOfList_.clear();
        listEmptied_ = true;
        nextSongText_ = QString::fromLatin1(kNone);
        Q_EMIT NextSongChanged(nextSongText_);
        if (on_) {
            SetOn(false);
            Q_EMIT StatusRequested(QString::fromLatin1(kListEmptied));
        }
        return;
    }
    const qsizetype was = nextPos_;
    if (NextStillListed()) {
        if (randomMode_ || !lastOfList_.isEmpty()) return;
        // Edits around it: list order goes on after it, and ends with it once it is last.
        if (nextPos_ + 1 >= playlist_.SongList.size()) {
            nextIndex_ = 1;
            firstPass_ = false;
            lastOfList_ = nextSongPath_;
        } else if (nextPos_ != was) {
            nextIndex_ = static_cast<int>(nextPos_) + 2;
        }
        return;
    }
    // In list order the entry that took its place comes next; with none, the list has ended.
    if (!randomMode_) {
        nextIndex_ = static_cast<int>(std::max<qsizetype>(was, 0)) + 1;
        if (nextIndex_ <= playlist_.SongList.size()) {
            lastOfList_.clear();
        } else if (lastOfList_.isEmpty()) {
            lastOfList_ = nextSongPath_;
        }
    }
    ChooseNextSong();
}

bool AutoPilot::NextStillListed() {
    const QStringList& list = playlist_.SongList;
    if (nextPos_ >= 0 && nextPos_ < list.size() && list.at(nextPos_) == nextSongPath_) return true;
    const qsizetype found = list.indexOf(nextSongPath_);
    if (found < 0) return false;
    nextPos_ = found;
    return true;
}

// RecentList is shared and a fresh load replaces it: rebuild the index when it changed.
void AutoPilot::SyncRecent() {
    const QStringList& recent = playlist_.RecentList;
    const QString newest = recent.isEmpty() ? QString() : recent.first();
    if (recent.size() == recentSize_ && newest == recentNewest_) return;
    recent_.clear();
    for (const QString& path : recent) ++recent_[path.toLower()];
    recentSize_ = recent.size();
    recentNewest_ = newest;
}

// --- Starting -----------------------------------------------------------------------------

void AutoPilot::StartIt() {
    if (!on_ || startBusy_) return;
    CheckNextSong();
    if (!on_) return;
    startBusy_ = true;
    if (Current() != nullptr) Current()->Stop();
    if (nextSongPath_.isEmpty()) ChooseNextSong();
    SetCurrentAp(1 - currentAp_);
    LinePlayer* player = Current();
    triedPath_ = nextSongPath_;
    scheduledPath_.clear();
    if (player != nullptr && !nextSongPath_.isEmpty()) {
        if (player->FileName() != nextSongPath_) {
            apStartPending_ = true;
            player->OpenFile(nextSongPath_);
        } else {
            player->SetPosition(0.0);
            player->Play();
        }
    }
    startBusy_ = false;
    stallTicks_ = 0;
}

void AutoPilot::AutoPilotTick() {
    CheckNextSong();
    if (!on_) return;
    LinePlayer* current = Current();
    LinePlayer* other = Other();
    if (current == nullptr || other == nullptr) return;
    if (!IsPlaying(current)) {
        const int limit = highPriority_ ? kStallTicksHighPriority : kStallTicks;
        if (++stallTicks_ >= limit) {
            // Skip the next song only when it was tried and did not play; a list that has
            // not started yet starts with the song already shown.
            if (nextSongPath_.isEmpty() || nextSongPath_ == triedPath_) ChooseNextSong();
            StartIt();
            return;
        }
    } else {
        stallTicks_ = 0;
    }
    const double duration = current->Duration();
    const double position = current->Position();
    // The other player may still carry the end of the previous song: loading would cut it.
    // While the current song is still opening its length is unknown (0): nothing is near its end.
    if (IsPlaying(current) && duration <= position + fadeSeconds_ + spinUp_ &&
        other->FileName() != nextSongPath_ && !nextSongPath_.isEmpty() && !IsPlaying(other)) {
        apStartPending_ = false;
        scheduledPath_.clear();
        SetFading(true);
        aheadPath_ = nextSongPath_;
        other->OpenFile(nextSongPath_);
    }
    const bool longEnough = players_[0]->Duration() > 2.0 * fadeSeconds_ &&
                            players_[1]->Duration() > 2.0 * fadeSeconds_;
    if (other->FileName() != nextSongPath_ || !longEnough) return;
    if (duration <= position + fadeSeconds_) {
        // Already running when the engine started it on time; this makes it the current song.
        other->Play();
        scheduledPath_.clear();
        SetCurrentAp(1 - currentAp_);
        Q_EMIT CurrentSongHighlightChanged(true);
    } else {
        ScheduleOverlap();
    }
}

// Once the next song is open, the engine starts it at the exact frame the overlap begins.
void AutoPilot::ScheduleOverlap() {
    LinePlayer* current = Current();
    LinePlayer* other = Other();
    if (scheduledPath_ == nextSongPath_ || !IsPlaying(current) || IsPlaying(other)) return;
    if (other->PlayAfter(*current, fadeSeconds_)) scheduledPath_ = nextSongPath_;
}

// --- Notifications ------------------------------------------------------------------------

void AutoPilot::OpenStateChanged(int index, int oldState, int newState) {
    if (index < 0 || index > 1 || players_[index] == nullptr) return;
    if (newState == 6 && apStartPending_) {
        Q_EMIT CurrentSongHighlightChanged(false);
        players_[index]->Play();
        apStartPending_ = false;
    }
    // A file that failed to open cannot play: another song is chosen at once, not after the
    // stall watch's silence.
    if (oldState != 1 || newState != 0 || !on_) return;
    if (index == currentAp_ && apStartPending_) {
        apStartPending_ = false;
        // Not for ever: a list of nothing but unplayable files is left to the stall watch.
        if (++failedStarts_ > playlist_.SongList.size()) return;
        if (nextSongPath_ == triedPath_) ChooseNextSong();
        StartIt();
    } else if (index != currentAp_ && !aheadPath_.isEmpty() && aheadPath_ == nextSongPath_) {
        // Loaded ahead: the next tick loads the new choice in time for the overlap.
        aheadPath_.clear();
        ChooseNextSong();
    }
}

void AutoPilot::PlayStateChanged(int index, int /*oldState*/, int newState) {
    if (index < 0 || index > 1 || players_[index] == nullptr) return;
    LinePlayer* player = players_[index];
    player->SetAutoStart(false);
    if (newState != LinePlayer::kPlaying) Q_EMIT CurrentSongHighlightChanged(false);
    if (newState == LinePlayer::kPlaying) {
        failedStarts_ = 0;
        SetFading(false);
        const QString path = player->FileName();
        Q_EMIT SongStarted(path);
        SetCurrentSong(TitleOf(path));
        SyncRecent();
        playlist_.RecentList.prepend(path);
        ++recent_[path.toLower()];
        recentSize_ = playlist_.RecentList.size();
        recentNewest_ = path;
        if (!lastOfList_.isEmpty() && path == lastOfList_ && !apLoop_) {
            lastOfList_.clear();
            SetOn(false);
            SetNextLabel(QString::fromLatin1(kNextSongStopped));
        }
        ChooseNextSong();
    }
    if (!IsPlaying(players_[0]) && !IsPlaying(players_[1])) {
        if (on_) StartIt();
        // StartIt itself stops the AutoPilot when the list was emptied under it.
        if (!on_) {
            Q_EMIT LineHighlightChanged(false);
            SetCurrentSong(QString::fromLatin1(kNone));
            Q_EMIT CurrentSongHighlightChanged(false);
        }
    } else {
        Q_EMIT LineHighlightChanged(true);
    }
}

// --- Buttons ------------------------------------------------------------------------------

void AutoPilot::APlay() {
    if (playlist_.SongList.isEmpty()) return;
    SetNextLabel(QString::fromLatin1(kNextSong));
    if (on_) {
        StartIt();
        return;
    }
    random_.seed(static_cast<std::uint64_t>(clock_ ? clock_() : 0));
    stallTicks_ = 0;
    failedStarts_ = 0;
    firstPass_ = true;
    lastOfList_.clear();
    for (LinePlayer* player : players_) {
        if (player != nullptr) player->Stop();
    }
    SetOn(true);
    StartIt();
}

void AutoPilot::AStop() {
    Q_EMIT CurrentSongHighlightChanged(false);
    apStartPending_ = false;
    if (on_) {
        SetOn(false);
    } else {
        for (LinePlayer* player : players_) {
            if (player != nullptr) player->Stop();
        }
        if (Current() != nullptr) Current()->SetPosition(0.0);
        SetCurrentSong(QString::fromLatin1(kNone));
        Q_EMIT LineHighlightChanged(false);
    }
    SetNextLabel(QString::fromLatin1(kNextSongStopped));
}

void AutoPilot::ANext() { ChooseNextSong(); }

void AutoPilot::ShuffButt() {
    randomMode_ = !randomMode_;
    settings_.SavePref(keys::kRandom, randomMode_);
    Q_EMIT RandomModeChanged(randomMode_);
}

void AutoPilot::AutoPilotStopped(bool now) {
    SetOn(false);
    apStartPending_ = false;
    // With the AutoPilot off, AStop acts as its second click.
    if (now) AStop();
}

// --- Small setters that keep the window informed ----------------------------------------------

void AutoPilot::SetOn(bool on) {
    if (!on && !scheduledPath_.isEmpty()) {
        // A start scheduled in the engine would carry on past the stop.
        if (Other() != nullptr && !IsPlaying(Other())) Other()->Stop();
        scheduledPath_.clear();
    }
    if (on_ == on) return;
    on_ = on;
    Q_EMIT AutoPilotOnChanged(on);
}

void AutoPilot::SetCurrentAp(int index) {
    currentAp_ = index;
    Q_EMIT CurrentApChanged(index);
}

void AutoPilot::SetCurrentSong(const QString& text) {
    currentSongText_ = text;
    Q_EMIT CurrentSongChanged(text);
}

void AutoPilot::SetNextLabel(const QString& text) {
    nextLabelText_ = text;
    Q_EMIT NextLabelChanged(text);
}

void AutoPilot::SetFading(bool shown) {
    fadingShown_ = shown;
    Q_EMIT FadingChanged(shown);
}

}  // namespace corvane::autopilot
