#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <utility>

#include "engine/key_map.h"
#include "engine/line_player.h"
#include "engine/tick_texts.h"
#include "playlist/open_dialog.h"

namespace corvane {
class Settings;
}  // namespace corvane

namespace corvane::engine {

class CrossfaderModel;

// Which crossfader side scales a line's volume; the numbers are the stored "Fade Mode N".
enum class FadeMode { Left = 0, AlwaysOn = 1, Right = 2 };

// The players the desk drives, borrowed from the engine (or fakes). Missing ones are null and
// every call on them is skipped.
struct DeskPlayers {
    std::array<LinePlayer*, 7> line{};  // Player(1) to Player(6); [0] is unused
    std::array<LinePlayer*, 2> ap{};    // AP(0), AP(1)
};

// Loads a playlist file (folder ending in the separator, file name) as the new SongList and
// records it as the current playlist; false, with SongList unchanged, when it cannot.
using PlaylistLoader = std::function<bool(const QString& directory, const QString& fileName)>;

// The mixing desk's state and rules, apart from any widget: each line's slider, pan, mute,
// fade mode, loop, title and highlight; the volume law applied to the players; transport; the
// main tick's texts; the keyboard. The window paints what the signals say and forwards user
// input to the methods, which are named after the controls' events they serve.
//
// Lines: 0 the AutoPilot line (drives AP(0) and AP(1)), 1 to 6 the playback lines, 7 the
// master line. A method given a line outside its range does nothing.
class Desk : public QObject {
    Q_OBJECT

public:
    static constexpr int kAutoPilotLine = 0;
    static constexpr int kMasterLine = 7;
    static constexpr int kLineCount = 8;
    static constexpr int kDefaultSlider = 80;
    static constexpr int kMaxSlider = 100;
    static constexpr int kMaxPan = 3360;
    static constexpr char kErrorLoadingFile[] = "Error loading file.";
    static constexpr char kCouldNotLoadPlaylist[] = "Couldn't load the playlist.";
    static constexpr char kNoTitle[] = "None";

    Desk(const DeskPlayers& players, Settings& settings, CrossfaderModel& crossfader,
         PlaylistLoader loadPlaylist, QObject* parent = nullptr);
    ~Desk() override;

    // The system master volume for line 7; null (the default) while it is not available.
    void SetMasterVolume(MasterVolume* master) { master_ = master; }

    // "AutoPilot", "Line 1" ... "Line 6", "Master".
    static QString LineName(int line);
    static bool IsPlaybackLine(int line) { return line >= 1 && line <= 6; }

    // Start-up's restore of one line, in two halves so the program can open the files once its
    // window shows: the line's slider, loop and fade mode; then its remembered file (line 1's
    // skipped when a sound file came from the command line). Then, after every line's
    // settings, "Loop 0", the crossfader speed, "Remain", "ASOF" and "AutoReset".
    void RestoreLineSettings(int line);
    void OpenRememberedFile(int line, bool skipFile);
    void RestoreAfterLines();

    // --- Line state ---
    int Slider(int line) const;
    int Pan(int line) const;
    bool IsMuted(int line) const;
    FadeMode GetFadeMode(int line) const;
    bool Loop(int line) const;
    QString Title(int line) const;
    bool IsHighlighted(int line) const;
    bool IsPlaying(int line) const;

    // --- Volume, pan, mute, fade modes ---
    // The slider's Scroll: stores the value and applies the volume law. Values outside 0..100
    // are ignored (false).
    bool SetSlider(int line, int value);
    // The slider's MouseUp: "Slider N".
    void SaveSlider(int line);
    // The pan knob's Scroll: balance straight to the player(s), even while muted.
    void SetPan(int line, int value);
    // Mute label: any button's press mutes; a left release unmutes; double-click = press.
    void MuteDown(int line);
    void MuteUp(int line, bool leftButton);
    // A fade button's left press: saves "Fade Mode N" and applies the volume at once.
    void SelectFadeMode(int line, FadeMode mode);
    void ApplyLineVolume(int line);
    // The crossfader's LevelsChanged: lines 0 to 6 in order (connected by the constructor).
    void ApplyCrossfaderLevels();

    // --- Transport ---
    // Play always starts from the beginning; Stop rewinds.
    void Play(int line);
    void Stop(int line);
    // F-key release: stops a playing line, else plays it.
    void ToggleLine(int line);
    // Loop pictures: RepeatCount on lines 1..6, ApLoop on line 0; saves "Loop N".
    void SetLoop(int line, bool on);
    void StopAll();
    // Lines 1..6: pauses a playing line where it is, or resumes a paused one from there.
    void PauseLine(int line);
    bool IsPaused(int line) const;
    // The position bar: moves the song of line 0..6 to `fraction` (0..1) of its length; the
    // time display follows at once. Line 0 moves the AutoPilot's current song, and with it the
    // overlap planned on that song's frames.
    void SeekLine(int line, double fraction);
    // Where the song of line 0..6 stands, 0..1; 0 without a song.
    double LineProgress(int line) const;
    // The player line 0..6 shows: line 0's is the AutoPilot's current one.
    LinePlayer* ShownPlayer(int line) const;

    // --- Opening files ---
    // Title, filters and folder for line's open dialog (a playlist on line 0).
    OpenDialogRequest OpenDialogFor(int line) const;
    // The path chosen in that dialog. Lines 1..6: saves "Path", loads the file stopped when it
    // is a sound file, else shows "Error loading file." and keeps the line's file. Line 0: loads
    // the playlist into SongList, or shows "Couldn't load the playlist.". True when loaded.
    // The window does not call this when the dialog is cancelled.
    bool FileOpen(int line, const QString& path);

    // --- Player notifications (line 1..6; the AutoPilot handles its own players) ---
    // Open states: 1 opening, 6 open, 0 closed (after opening: the open failed). "File N" is
    // saved once the file is open; a failed open empties it, so a file that cannot be played
    // is not tried again at the next start, and puts the reason on the status line (and in a
    // message box when the user chose the file in the line's open dialog).
    void PlayerOpenStateChanged(int line, int oldState, int newState);
    void PlayerPlayStateChanged(int line, int oldState, int newState);

    // --- Crossfader ---
    // The crossfader's FadeDone (connected by the constructor): "ASOF" and "AutoReset".
    void FadeDone(bool atLeft);
    // "ASOF": an auto-fade stops the lines it faded out; "AutoReset": the knob then snaps
    // back to the middle.
    void SetAutoStop(bool on) { autoStop_ = on; }
    bool AutoStop() const { return autoStop_; }
    void SetAutoReset(bool on) { autoReset_ = on; }
    bool AutoReset() const { return autoReset_; }

    // --- Keyboard ---
    // Runs a key action that is the desk's own. False for those the window runs: LineArm and
    // OpenArm (draw the button pressed), OpenLine (the dialog), the AutoPilot buttons, None.
    bool PerformKey(const KeyAction& action);
    // The line of the last F1..F6 press.
    int KeyLine() const { return keyLine_; }

    // --- Main tick and status line ---
    // Which AutoPilot player line 0's time display follows.
    void SetCurrentAp(int index);
    // "Remain": time displays show remaining (true) or elapsed time.
    void SetRemain(bool on) { remain_ = on; }
    bool Remain() const { return remain_; }
    // Tooltips on: the clock gets its weekday tooltip.
    void SetToolTipsOn(bool on);
    bool ToolTipsOn() const { return toolTipsOn_; }
    // One tick: time displays of lines 0..6, their status texts, the clock; then AutoPilotStep.
    void Tick(const QDateTime& now);
    QString TimeCaption(int line) const;
    QString ClockCaption() const { return clockCaption_; }
    QString ClockToolTip() const { return clockToolTip_; }
    // Mouse-over of a line's time display: its last status text.
    void ShowTimeStatus(int line);
    // Line 0's labels follow the AutoPilot's players, which the AutoPilot watches itself.
    void SetHighlight(int line, bool on);

    QString Status() const { return status_; }
    void SetStatus(const QString& text);

Q_SIGNALS:
    // A stored slider value changed (by the slider itself, a key, or the restore).
    void SliderChanged(int line, int value);
    void PanChanged(int line, int value);
    void MuteChanged(int line, bool muted);
    void FadeModeChanged(int line, engine::FadeMode mode);
    void LoopChanged(int line, bool on);
    void TitleChanged(int line, const QString& title);
    // Playing lines are drawn in the highlight colour, others in the text colour.
    void HighlightChanged(int line, bool highlighted);
    void StatusChanged(const QString& text);
    // A message box with only an OK button and the application's title.
    void MessageRequested(const QString& text);
    void TimeCaptionChanged(int line, const QString& caption);
    void ClockChanged(const QString& caption, const QString& toolTip);
    // Line 0's loop ("ApLoop").
    void ApLoopChanged(bool on);
    // A playlist was loaded on line 0: the AutoPilot chooses its next song.
    void PlaylistLoaded();
    // StopAll or an auto-stop switched the AutoPilot off (its players are stopped already).
    // `now`: the crossfader's auto-stop, which leaves the AutoPilot as two AStop clicks do.
    void AutoPilotStopped(bool now);
    // A line started playing: the song log decides, by "LogAll", whether to log it.
    void SongStarted(const QString& path);
    // The end of every tick: the AutoPilot's step runs here when it is on.
    void AutoPilotStep();

private:
    LinePlayer* PlayerOf(int line) const;
    // Line 0..6's time display and status text from its player's position now.
    void RefreshTime(int line);
    int FadeFactor(int line) const;
    bool OpenSoundFile(int line, const QString& path);
    bool OpenPlaylist(const QString& path);
    void StopAutoPilotNow();
    void ApplyFadeMode(int line, FadeMode mode);
    void ApplyLoop(int line, bool on);

    DeskPlayers players_;
    Settings& settings_;
    CrossfaderModel& crossfader_;
    PlaylistLoader loadPlaylist_;
    MasterVolume* master_ = nullptr;

    std::array<int, kLineCount> slider_{};
    std::array<int, kLineCount> pan_{};
    std::array<bool, kLineCount> muted_{};
    std::array<FadeMode, kLineCount> fadeMode_{};
    std::array<bool, kLineCount> loop_{};
    std::array<QString, kLineCount> title_;
    std::array<QString, kLineCount> opening_;    // the path each line's player is opening
    std::array<bool, kLineCount> chosenOpen_{};  // that open came from the open dialog
    std::array<bool, kLineCount> highlighted_{};
    std::array<QString, kLineCount> timeCaption_;
    std::array<QString, kLineCount> timeStatus_;  // the status text last built for each line
    // The whole seconds (elapsed, remaining) each line's texts were last built from; -1 for
    // none yet.
    std::array<std::pair<int, int>, kLineCount> shownSeconds_;
    std::array<LineTimeTexts, kLineCount> timeTexts_;
    QString clockCaption_;
    QString clockToolTip_;
    long long clockMinute_ = -1;  // the minute the clock texts were made for
    bool clockToolTipsOn_ = false;
    QString status_;
    int currentAp_ = 0;
    int keyLine_ = 1;
    bool remain_ = true;
    bool autoStop_ = false;
    bool autoReset_ = true;
    bool toolTipsOn_ = true;
};

}  // namespace corvane::engine
