// The ways a playlist file becomes the AutoPilot's list, and the drop checks on line titles.
#include <QFileInfo>

#include "autopilot/autopilot.h"
#include "playlist/entry_text.h"
#include "playlist/open_dialog.h"
#include "playlist/playlist.h"
#include "settings/settings.h"

namespace corvane::autopilot {

bool IsPlaylistFile(const QString& path) { return IsPlaylistFileName(path); }
bool IsSoundFile(const QString& path) { return HasSoundFileEnding(path); }

bool AcceptsDrop(int line, const QString& path) {
    if (line == 0) return IsPlaylistFile(path);
    return line >= 1 && line <= 6 && IsSoundFile(path);
}

bool AutoPilot::LoadFresh(const QString& path) {
    const SplitPathResult parts = SplitPath(path);
    if (!LoadPlaylist(playlist_, parts.directory, parts.fileName, true)) return false;
    playlist_.ListName = parts.fileName;
    return true;
}

StartupFileKind AutoPilot::OpenStartupFile(const QString& commandLine, engine::LinePlayer* line1) {
    startupKind_ = StartupFileKind::Nothing;
    if (entry::IsNetworkUrl(commandLine)) {
        Q_EMIT StatusRequested(entry::NetworkStreamStatus(commandLine));
    } else if (IsSoundFile(commandLine)) {
        if (line1 != nullptr) {
            line1->SetAutoStart(true);
            line1->OpenFile(commandLine);
        }
        startupKind_ = StartupFileKind::SoundFile;
    } else if (IsPlaylistFile(commandLine)) {
        // A list that cannot be loaded replaces nothing: the saved one is restored as usual.
        if (!LoadFresh(commandLine)) {
            const QString why = QFileInfo(commandLine).isFile()
                                    ? QStringLiteral("it could not be read")
                                    : QStringLiteral("there is no such file");
            Q_EMIT StatusRequested(
                QStringLiteral("Couldn't load the playlist %1: %2.").arg(commandLine, why));
            return startupKind_;
        }
        // The list starts once the main tick runs: the stall watch finds nothing playing and
        // starts the song shown as next.
        startupKind_ = StartupFileKind::Playlist;
        SetOn(true);
    }
    return startupKind_;
}

void AutoPilot::ReloadSavedPlaylist() {
    if (startupKind_ != StartupFileKind::Playlist) {
        const QString saved = settings_.GetText(keys::kPlayList);
        if (!saved.isEmpty() && QFileInfo(saved).isFile()) {
            const SplitPathResult parts = SplitPath(saved);
            playlist_.ListDir = parts.directory;
            playlist_.ListName = parts.fileName;
            LoadFresh(saved);
        }
    }
    if (!playlist_.ListName.isEmpty()) Q_EMIT ListTitleChanged(StripExtension(playlist_.ListName));
}

void AutoPilot::PlaylistOpened() { ChooseNextSong(); }

bool AutoPilot::DropPlaylist(const QString& path) {
    if (!LoadFresh(path)) return false;
    Q_EMIT ListTitleChanged(StripExtension(playlist_.ListName));
    settings_.SavePref(keys::kPlayList, playlist_.ListDir + playlist_.ListName);
    // The chosen next song stays when the new list holds it.
    CheckNextSong();
    return true;
}

}  // namespace corvane::autopilot
