#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <random>

#include "engine/line_player.h"

namespace corvane {

class Settings;
struct Playlist;

namespace autopilot {

// Time of day in milliseconds, for seeding the generator; tests pass a clock of their own.
using TimeSource = std::function<qint64()>;
// SmartRandom's generator. Its owner seeds it once when the program starts (APlay seeds it
// again); tests seed it with a number of their own.
using RandomSource = std::mt19937_64;
// Whether a file exists at the path; the default asks the file system.
using FileCheck = std::function<bool(const QString& path)>;
// Where the file of a missing entry is now; empty when it is not found (yet).
using FindAgain = std::function<QString(const QString& entry)>;

// What the command line opened at start-up: start-up skips restoring what it replaced.
enum class StartupFileKind { Nothing = 0, SoundFile = 1, Playlist = 2 };

// Drag-over checks on the line titles, on the first dragged file: a playlist (its last three
// characters, lower-cased) on line 0, a sound file (HasSoundFileEnding) on lines 1 to 6.
bool IsPlaylistFile(const QString& path);
bool IsSoundFile(const QString& path);
bool AcceptsDrop(int line, const QString& path);

// The AutoPilot: plays the shared SongList on line 0 over its two players, which take turns so
// that consecutive songs overlap by FadeSeconds. Logic only: the window paints what the signals
// say, forwards the buttons and keys to the actions, runs AutoPilotTick at the end of every main
// tick and connects the two players' notifications to OpenStateChanged/PlayStateChanged.
class AutoPilot : public QObject {
    Q_OBJECT

public:
    static constexpr char kNone[] = "None.";
    static constexpr char kNextSong[] = "Next Song:";
    static constexpr char kNextSongStopped[] = "Next Song (Stopped):";
    static constexpr char kCurrentSongStatus[] = "Current Song: ";
    static constexpr char kShuffStatus[] = "Puts AutoPilot in SmartRandom Mode";
    static constexpr char kPListStatus[] = "Opens the Playlist Editor";
    static constexpr char kListEmptied[] =
        "The playlist is empty: the AutoPilot stops after the current song.";
    static constexpr int kMaxBadPicks = 100;
    static constexpr int kMaxDraws = 1000;
    static constexpr int kStallTicks = 5;
    static constexpr int kStallTicksHighPriority = 40;

    // The five-line message shown when 100 picks in a row named no existing file.
    static QString TooManyBadFilenames();

    // `players` are AP(0) and AP(1), borrowed for the whole run, as is `random`. Reads "Random",
    // "NoRep", "Loop 0", "FadeSeconds", "SpinUp" and "Priority".
    AutoPilot(std::array<engine::LinePlayer*, 2> players, Playlist& playlist, Settings& settings,
              RandomSource& random, TimeSource clock, FileCheck exists = {},
              QObject* parent = nullptr);
    ~AutoPilot() override;

    // --- State ---
    bool AutoPilotOn() const { return on_; }
    bool FirstPass() const { return firstPass_; }
    bool RandomMode() const { return randomMode_; }
    bool ApLoop() const { return apLoop_; }
    int FadeSeconds() const { return fadeSeconds_; }
    int SpinUp() const { return spinUp_; }
    int NoRepWindow() const { return noRepWindow_; }
    bool HighPriority() const { return highPriority_; }
    int CurrentAp() const { return currentAp_; }
    QString NextSongPath() const { return nextSongPath_; }
    int NextIndex() const { return nextIndex_; }  // 1-based
    StartupFileKind StartupKind() const { return startupKind_; }

    // What the labels show now.
    QString CurrentSongText() const { return currentSongText_; }
    QString NextSongText() const { return nextSongText_; }
    QString NextLabelText() const { return nextLabelText_; }
    bool FadingShown() const { return fadingShown_; }
    // Mouse-over texts of CurrentSong/CSLabel and NextSong/NSLabel.
    QString CurrentSongStatus() const;
    QString NextSongStatus() const;

    // Options (the Options dialog applies each at once; line 0's loop sets ApLoop).
    void SetApLoop(bool on) { apLoop_ = on; }
    void SetFadeSeconds(int seconds);
    void SetSpinUp(int seconds);
    void SetNoRepWindow(int size);
    void SetHighPriority(bool on) { highPriority_ = on; }
    // A missing song found by name elsewhere plays from there.
    void SetFindAgain(FindAgain findAgain) { findAgain_ = std::move(findAgain); }

    // --- The engine ---
    void ChooseNextSong();
    // Starts NextSongPath now on the other player.
    void StartIt();
    // The main tick's AutoPilot step: stall watch, load ahead, overlap start.
    void AutoPilotTick();

    // --- Buttons (the actions; the press rules are the window's) ---
    void APlay();
    void AStop();
    void ANext();
    // Toggles RandomMode and stores "Random".
    void ShuffButt();
    // StopAll and shutdown: the desk has stopped the players. `now` (the crossfader's
    // auto-stop) leaves everything as two AStop clicks do.
    void AutoPilotStopped(bool now = false);

    // --- Players' notifications (index 0 or 1) ---
    void OpenStateChanged(int index, int oldState, int newState);
    void PlayStateChanged(int index, int oldState, int newState);

    // --- Ways a playlist becomes the list ---
    // The whole command-line text is the path. A sound file opens on `line1` and starts once
    // open; a playlist is loaded and the AutoPilot switched on (it starts with the first entry).
    // A playlist that cannot be loaded leaves the AutoPilot off and says why in the status line.
    StartupFileKind OpenStartupFile(const QString& commandLine, engine::LinePlayer* line1);
    // Start-up: unless the command line gave a playlist, reloads "PlayList" when it names a
    // file. Emits ListTitleChanged with the name without extension when a list is known.
    void ReloadSavedPlaylist();
    // A playlist opened on line 0 (the desk has loaded it): choose the next song from it.
    void PlaylistOpened();
    // A playlist dropped on line 0's title: loaded fresh; the chosen next song stays.
    bool DropPlaylist(const QString& path);

Q_SIGNALS:
    void CurrentSongChanged(const QString& text);
    // CurrentSong in "Hilite Color" (true) or "Text Color".
    void CurrentSongHighlightChanged(bool highlighted);
    void NextSongChanged(const QString& title);
    void NextLabelChanged(const QString& text);
    void FadingChanged(bool shown);
    // TitleLabel(0) and LineLabel(0) in "Hilite Color" (true) or "Text Color".
    void LineHighlightChanged(bool highlighted);
    void RandomModeChanged(bool on);
    void AutoPilotOnChanged(bool on);
    // The player line 0's time display follows.
    void CurrentApChanged(int index);
    // TitleLabel(0)'s new text after a load.
    void ListTitleChanged(const QString& title);
    // A message box with one OK button and the application's title.
    void MessageRequested(const QString& text);
    // A text for the status-help line.
    void StatusRequested(const QString& text);
    // An AutoPilot song started: its full path, for the song log.
    void SongStarted(const QString& path);

private:
    engine::LinePlayer* Current() const { return players_[currentAp_]; }
    engine::LinePlayer* Other() const { return players_[1 - currentAp_]; }
    bool PickOnce();
    // The chosen next song was edited or loaded out of the list: choose again.
    void CheckNextSong();
    bool NextStillListed();
    bool Playable();
    void PickInOrder();
    void PickAtRandom();
    void SyncRecent();
    void SetOn(bool on);
    void SetCurrentAp(int index);
    void SetCurrentSong(const QString& text);
    void SetNextLabel(const QString& text);
    void SetFading(bool shown);
    void ScheduleOverlap();
    bool LoadFresh(const QString& path);

    std::array<engine::LinePlayer*, 2> players_;
    Playlist& playlist_;
    Settings& settings_;
    RandomSource& random_;
    TimeSource clock_;
    FileCheck exists_;
    FindAgain findAgain_;

    bool on_ = false;
    bool firstPass_ = false;
    bool randomMode_ = false;
    bool apLoop_ = false;
    bool highPriority_ = false;
    int noRepWindow_ = 10;
    int fadeSeconds_ = 3;
    int spinUp_ = 5;
    QString nextSongPath_;
    qsizetype nextPos_ = -1;  // where in SongList nextSongPath_ was last seen (0-based)
    int nextIndex_ = 0;
    int badCount_ = 0;
    int retryCount_ = 0;
    bool apStartPending_ = false;
    int currentAp_ = 0;
    int stallTicks_ = 0;
    bool startBusy_ = false;
    StartupFileKind startupKind_ = StartupFileKind::Nothing;

    // The pick that wrapped the cursor with ApLoop off: the AutoPilot stops once it starts.
    QString lastOfList_;
    bool wrapPick_ = false;  // the last pick wrapped the cursor round
    // The path StartIt last handed to a player: the stall watch skips it only once tried.
    QString triedPath_;
    // The path last loaded ahead on the other player, until it fails to open.
    QString aheadPath_;
    // Pending starts in a row whose file failed to open.
    qsizetype failedStarts_ = 0;
    // The list was emptied under the chosen next song: choose once it has songs again.
    bool listEmptied_ = false;
    // The path whose start is scheduled in the engine on the other player.
    QString scheduledPath_;

    // Lower-cased RecentList entries with their counts, so a draw is checked in O(1).
    QHash<QString, int> recent_;
    qsizetype recentSize_ = 0;
    QString recentNewest_;

    QString currentSongText_;
    QString nextSongText_;
    QString nextLabelText_;
    bool fadingShown_ = false;
};

}  // namespace autopilot
}  // namespace corvane
