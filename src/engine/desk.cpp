#include "engine/desk.h"

#include <QFileInfo>

#include "engine/crossfader.h"
#include "engine/tick_texts.h"
#include "engine/volume_law.h"
#include "playlist/entry_text.h"
#include "playlist/paths.h"
#include "playlist/playlist.h"
#include "settings/settings.h"

namespace corvane::engine {

namespace {

bool IsLine(int line) { return line >= 0 && line < Desk::kLineCount; }
bool HasFadeMode(int line) { return line >= 0 && line <= 6; }

void Rewind(LinePlayer* player) {
    if (player != nullptr) player->SetPosition(0.0);
}

}  // namespace

Desk::Desk(const DeskPlayers& players, Settings& settings, CrossfaderModel& crossfader,
           PlaylistLoader loadPlaylist, QObject* parent)
    : QObject(parent),
      players_(players),
      settings_(settings),
      crossfader_(crossfader),
      loadPlaylist_(std::move(loadPlaylist)) {
    slider_.fill(kDefaultSlider);
    fadeMode_.fill(FadeMode::AlwaysOn);
    title_.fill(QString::fromLatin1(kNoTitle));
    shownSeconds_.fill({-1, -1});
    connect(&crossfader_, &CrossfaderModel::LevelsChanged, this, &Desk::ApplyCrossfaderLevels);
    connect(&crossfader_, &CrossfaderModel::FadeDone, this, &Desk::FadeDone);
}

Desk::~Desk() = default;

QString Desk::LineName(int line) {
    if (line == kAutoPilotLine) return QStringLiteral("AutoPilot");
    if (line == kMasterLine) return QStringLiteral("Master");
    return QStringLiteral("Line %1").arg(line);
}

void Desk::RestoreLineSettings(int line) {
    if (!IsLine(line)) return;
    SetSlider(line, settings_.GetInt(keys::SliderKey(line)));
    if (line == kMasterLine) return;
    if (IsPlaybackLine(line)) ApplyLoop(line, settings_.GetBool(keys::LoopKey(line)));
    const int stored = settings_.GetInt(keys::FadeModeKey(line));
    // Other stored numbers leave the line's mode as it is.
    if (stored >= 0 && stored <= 2) ApplyFadeMode(line, static_cast<FadeMode>(stored));
}

void Desk::OpenRememberedFile(int line, bool skipFile) {
    if (!IsPlaybackLine(line) || (line == 1 && skipFile)) return;
    const QString file = settings_.GetText(keys::FileKey(line));
    LinePlayer* player = PlayerOf(line);
    if (file.isEmpty() || player == nullptr) return;
    if (entry::IsNetworkUrl(file)) {
        SetStatus(entry::NetworkStreamStatus(file));
        return;
    }
    player->SetAutoStart(false);
    player->OpenFile(file);
}

void Desk::RestoreAfterLines() {
    ApplyLoop(kAutoPilotLine, settings_.GetBool(keys::LoopKey(kAutoPilotLine)));
    crossfader_.SetFadeSpeed(settings_.GetInt(keys::kFadeSpeed));
    remain_ = settings_.GetBool(keys::kRemain);
    autoStop_ = settings_.GetBool(keys::kAsof);
    autoReset_ = settings_.GetBool(keys::kAutoReset);
}

int Desk::Slider(int line) const { return IsLine(line) ? slider_[line] : 0; }
int Desk::Pan(int line) const { return IsLine(line) ? pan_[line] : 0; }
bool Desk::IsMuted(int line) const { return IsLine(line) && muted_[line]; }
FadeMode Desk::GetFadeMode(int line) const {
    return HasFadeMode(line) ? fadeMode_[line] : FadeMode::AlwaysOn;
}
bool Desk::Loop(int line) const { return HasFadeMode(line) && loop_[line]; }
QString Desk::Title(int line) const { return HasFadeMode(line) ? title_[line] : QString(); }
bool Desk::IsHighlighted(int line) const { return IsLine(line) && highlighted_[line]; }
bool Desk::IsPlaying(int line) const {
    const LinePlayer* player = PlayerOf(line);
    return player != nullptr && player->PlayState() == LinePlayer::kPlaying;
}

LinePlayer* Desk::PlayerOf(int line) const {
    return IsPlaybackLine(line) ? players_.line[line] : nullptr;
}

int Desk::FadeFactor(int line) const {
    switch (GetFadeMode(line)) {
        case FadeMode::Left:
            return crossfader_.LeftLevel();
        case FadeMode::Right:
            return crossfader_.RightLevel();
        case FadeMode::AlwaysOn:
            break;
    }
    return 100;
}

bool Desk::SetSlider(int line, int value) {
    if (!IsLine(line) || value < 0 || value > kMaxSlider) return false;
    const bool changed = slider_[line] != value;
    slider_[line] = value;
    ApplyLineVolume(line);
    if (changed) Q_EMIT SliderChanged(line, value);
    return true;
}

void Desk::SaveSlider(int line) {
    if (IsLine(line)) settings_.SavePref(keys::SliderKey(line), slider_[line]);
}

void Desk::SetPan(int line, int value) {
    if (!HasFadeMode(line) || value < -kMaxPan || value > kMaxPan) return;
    const bool changed = pan_[line] != value;
    pan_[line] = value;
    if (line == kAutoPilotLine) {
        for (LinePlayer* ap : players_.ap) {
            if (ap != nullptr) ap->SetBalance(value);
        }
    } else if (LinePlayer* player = PlayerOf(line)) {
        player->SetBalance(value);
    }
    if (changed) Q_EMIT PanChanged(line, value);
}

void Desk::MuteDown(int line) {
    if (!IsLine(line)) return;
    muted_[line] = true;
    Q_EMIT MuteChanged(line, true);
    if (line == kAutoPilotLine) {
        for (LinePlayer* ap : players_.ap) {
            if (ap != nullptr) ap->SetVolume(kSilentVolume);
        }
    } else if (line == kMasterLine) {
        // The control's own minimum: not every mixer's range starts at 0.
        if (master_ != nullptr && master_->Available()) master_->SetRaw(master_->Minimum());
    } else if (LinePlayer* player = PlayerOf(line)) {
        player->SetVolume(kSilentVolume);
    }
}

void Desk::MuteUp(int line, bool leftButton) {
    // Any other button's release keeps the line muted: that is how a mute is latched.
    if (!IsLine(line) || !leftButton) return;
    const bool wasMuted = muted_[line];
    muted_[line] = false;
    if (wasMuted) Q_EMIT MuteChanged(line, false);
    ApplyLineVolume(line);
}

void Desk::ApplyFadeMode(int line, FadeMode mode) {
    const bool changed = fadeMode_[line] != mode;
    fadeMode_[line] = mode;
    ApplyLineVolume(line);
    if (changed) Q_EMIT FadeModeChanged(line, mode);
}

void Desk::SelectFadeMode(int line, FadeMode mode) {
    if (!HasFadeMode(line)) return;
    settings_.SavePref(keys::FadeModeKey(line), static_cast<int>(mode));
    ApplyFadeMode(line, mode);
}

void Desk::ApplyLineVolume(int line) {
    if (!IsLine(line) || muted_[line]) return;
    if (line == kMasterLine) {
        if (master_ != nullptr && master_->Available()) {
            master_->SetRaw(
                MasterControlValue(slider_[line], master_->Range(), master_->Minimum()));
        }
        return;
    }
    const int volume = LineVolume(slider_[line], FadeFactor(line));
    if (line == kAutoPilotLine) {
        for (LinePlayer* ap : players_.ap) {
            if (ap != nullptr) ap->SetVolume(volume);
        }
        for (LinePlayer* ap : players_.ap) {
            if (ap != nullptr) ap->SetBalance(pan_[line]);
        }
    } else if (LinePlayer* player = PlayerOf(line)) {
        player->SetBalance(pan_[line]);
        player->SetVolume(volume);
    }
}

void Desk::ApplyCrossfaderLevels() {
    for (int line = 0; line <= 6; ++line) ApplyLineVolume(line);
}

void Desk::Play(int line) {
    if (LinePlayer* player = PlayerOf(line)) {
        player->SetPosition(0.0);
        player->Play();
    }
}

void Desk::Stop(int line) {
    if (LinePlayer* player = PlayerOf(line)) {
        player->Stop();
        player->SetPosition(0.0);
    }
}

void Desk::ToggleLine(int line) {
    if (IsPlaying(line)) {
        Stop(line);
    } else {
        Play(line);
    }
}

void Desk::ApplyLoop(int line, bool on) {
    if (!HasFadeMode(line)) return;
    loop_[line] = on;
    if (line == kAutoPilotLine) {
        Q_EMIT ApLoopChanged(on);
    } else if (LinePlayer* player = PlayerOf(line)) {
        player->SetRepeatCount(on ? LinePlayer::kLoopForever : 1);
    }
    Q_EMIT LoopChanged(line, on);
}

void Desk::SetLoop(int line, bool on) {
    if (!HasFadeMode(line)) return;
    ApplyLoop(line, on);
    settings_.SavePref(keys::LoopKey(line), on);
}

void Desk::StopAll() {
    for (int line = 1; line <= 6; ++line) {
        if (IsPlaying(line) || IsPaused(line)) Stop(line);
    }
    Q_EMIT AutoPilotStopped(false);
    for (LinePlayer* ap : players_.ap) {
        if (ap != nullptr) ap->Stop();
    }
}

OpenDialogRequest Desk::OpenDialogFor(int line) const {
    if (line == kAutoPilotLine) {
        return {QStringLiteral("Open a Playlist file"),
                NameFiltersFrom(QString::fromLatin1(kPlaylistOpenFilter)),
                settings_.GetText(keys::kListPath)};
    }
    return {QStringLiteral("Open a file on line %1").arg(line), NameFiltersFrom(SoundFileFilter()),
            settings_.GetText(keys::kPath)};
}

bool Desk::FileOpen(int line, const QString& path) {
    if (line == kAutoPilotLine) return OpenPlaylist(path);
    if (IsPlaybackLine(line)) return OpenSoundFile(line, path);
    return false;
}

bool Desk::OpenSoundFile(int line, const QString& path) {
    const QString folder = SplitPath(path).directory;
    if (!folder.isEmpty()) settings_.SavePref(keys::kPath, folder);
    LinePlayer* player = PlayerOf(line);
    // Only local files play: a stream fails like a missing file, and says why.
    if (entry::IsNetworkUrl(path)) SetStatus(entry::NetworkStreamStatus(path));
    if (player == nullptr || !QFileInfo(path).isFile() || !HasSoundFileEnding(path) ||
        entry::IsNetworkUrl(path)) {
        Q_EMIT MessageRequested(QString::fromLatin1(kErrorLoadingFile));
        return false;
    }
    player->SetAutoStart(false);
    chosenOpen_[line] = true;
    player->OpenFile(path);
    return true;
}

bool Desk::OpenPlaylist(const QString& path) {
    if (!QFileInfo(path).isFile()) return false;
    const SplitPathResult parts = SplitPath(path);
    settings_.SavePref(keys::kListPath, parts.directory);
    if (!loadPlaylist_ || !loadPlaylist_(parts.directory, parts.fileName)) {
        Q_EMIT MessageRequested(QString::fromLatin1(kCouldNotLoadPlaylist));
        return false;
    }
    title_[kAutoPilotLine] = StripExtension(parts.fileName);
    Q_EMIT TitleChanged(kAutoPilotLine, title_[kAutoPilotLine]);
    settings_.SavePref(keys::kPlayList, path);
    Q_EMIT PlaylistLoaded();
    return true;
}

void Desk::PlayerOpenStateChanged(int line, int oldState, int newState) {
    LinePlayer* player = PlayerOf(line);
    if (player == nullptr) return;
    const QString path = player->FileName();
    title_[line] =
        path.isEmpty() ? QString::fromLatin1(kNoTitle) : StripExtension(SplitPath(path).fileName);
    Q_EMIT TitleChanged(line, title_[line]);
    if (newState == LinePlayer::kOpening) {
        opening_[line] = path;
        return;
    }
    const bool chosen = std::exchange(chosenOpen_[line], false);
    const QString tried = std::exchange(opening_[line], QString());
    if (newState == LinePlayer::kOpen && !path.isEmpty()) {
        settings_.SavePref(keys::FileKey(line), path);
    } else if (oldState == LinePlayer::kOpening && newState == LinePlayer::kClosed) {
        settings_.SavePref(keys::FileKey(line), QString());
        const QString error = QString::fromLatin1(kErrorLoadingFile);
        const QString reason = player->LastError();
        QString text = error + QLatin1Char(' ') + SplitPath(tried).fileName;
        if (!reason.isEmpty()) text += QStringLiteral(": ") + reason;
        SetStatus(text);
        if (chosen) Q_EMIT MessageRequested(error);
    }
}

void Desk::PlayerPlayStateChanged(int line, int oldState, int newState) {
    LinePlayer* player = PlayerOf(line);
    if (player == nullptr) return;
    if (newState == LinePlayer::kPlaying) {
        SetHighlight(line, true);
        // A resumed song is the same play going on: logged once.
        if (oldState != LinePlayer::kPaused) Q_EMIT SongStarted(player->FileName());
    } else if (newState == LinePlayer::kStopped || newState == LinePlayer::kPaused) {
        SetHighlight(line, false);
    }
}

void Desk::SetHighlight(int line, bool on) {
    if (!IsLine(line)) return;
    highlighted_[line] = on;
    Q_EMIT HighlightChanged(line, on);
}

void Desk::StopAutoPilotNow() {
    Q_EMIT AutoPilotStopped(true);
    for (LinePlayer* ap : players_.ap) {
        if (ap != nullptr) ap->Stop();
    }
    Rewind(players_.ap[currentAp_]);
}

void Desk::FadeDone(bool atLeft) {
    if (!autoStop_) return;
    // The side that has just faded out is the one opposite the knob.
    const FadeMode silent = atLeft ? FadeMode::Right : FadeMode::Left;
    for (int line = 1; line <= 6; ++line) {
        if (fadeMode_[line] == silent) Stop(line);
    }
    if (fadeMode_[kAutoPilotLine] == silent) StopAutoPilotNow();
    if (autoReset_) crossfader_.Reset();
}

bool Desk::PerformKey(const KeyAction& key) {
    switch (key.action) {
        case DeskAction::AutoFadeLeft:
            crossfader_.AutoFadeLeft();
            return true;
        case DeskAction::AutoFadeRight:
            crossfader_.AutoFadeRight();
            return true;
        case DeskAction::StopFade:
            crossfader_.StopIt();
            return true;
        case DeskAction::ResetCrossfader:
            crossfader_.Reset();
            return true;
        case DeskAction::MasterUp:
            SetSlider(kMasterLine, slider_[kMasterLine] + 1);
            return true;
        case DeskAction::MasterDown:
            SetSlider(kMasterLine, slider_[kMasterLine] - 1);
            return true;
        case DeskAction::SaveMaster:
            SaveSlider(kMasterLine);
            return true;
        case DeskAction::MuteMasterDown:
            MuteDown(kMasterLine);
            return true;
        case DeskAction::MuteMasterUp:
            MuteUp(kMasterLine, true);
            return true;
        case DeskAction::StopAll:
            StopAll();
            return true;
        case DeskAction::LineToggle:
            ToggleLine(key.line);
            return true;
        case DeskAction::PauseLine:
            PauseLine(key.line);
            return true;
        case DeskAction::LineArm:
        case DeskAction::OpenArm:
            keyLine_ = key.line;
            return false;
        default:
            return false;
    }
}

void Desk::SetCurrentAp(int index) {
    if (index == 0 || index == 1) currentAp_ = index;
}

void Desk::SetToolTipsOn(bool on) { toolTipsOn_ = on; }

void Desk::RefreshTime(int line) {
    const LinePlayer* player = ShownPlayer(line);
    const double position = player != nullptr ? player->Position() : 0.0;
    const double duration = player != nullptr ? player->Duration() : 0.0;
    // The texts change with whole seconds only: build them once per second shown, not on
    // each 1 ms tick.
    const std::pair<int, int> shown{WholeSeconds(position), WholeSeconds(duration - position)};
    if (shown != shownSeconds_[line]) {
        shownSeconds_[line] = shown;
        timeTexts_[line] = TimeTextsFor(position, duration);
    }
    const LineTimeTexts& texts = timeTexts_[line];
    const QString& caption = engine::TimeCaption(texts, remain_);
    if (caption != timeCaption_[line]) {
        timeCaption_[line] = caption;
        Q_EMIT TimeCaptionChanged(line, caption);
    }
    // The status line follows a line's time while it shows that line's last text.
    if (!status_.isEmpty() && status_ == timeStatus_[line]) SetStatus(texts.status);
    timeStatus_[line] = texts.status;
}

void Desk::Tick(const QDateTime& now) {
    for (int line = 0; line <= 6; ++line) RefreshTime(line);
    // The clock shows minutes: format it when the minute or the tooltip setting changes.
    const long long minute =
        now.date().toJulianDay() * 1440 + now.time().hour() * 60 + now.time().minute();
    if (minute != clockMinute_ || toolTipsOn_ != clockToolTipsOn_) {
        clockMinute_ = minute;
        clockToolTipsOn_ = toolTipsOn_;
        const QString caption = engine::ClockCaption(now);
        const QString toolTip = toolTipsOn_ ? engine::ClockToolTip(now.date()) : QString();
        if (caption != clockCaption_ || toolTip != clockToolTip_) {
            clockCaption_ = caption;
            clockToolTip_ = toolTip;
            Q_EMIT ClockChanged(caption, toolTip);
        }
    }
    Q_EMIT AutoPilotStep();
}

QString Desk::TimeCaption(int line) const {
    return HasFadeMode(line) ? timeCaption_[line] : QString();
}

void Desk::ShowTimeStatus(int line) {
    if (HasFadeMode(line)) SetStatus(timeStatus_[line]);
}

void Desk::SetStatus(const QString& text) {
    if (text == status_) return;
    status_ = text;
    Q_EMIT StatusChanged(text);
}

}  // namespace corvane::engine
