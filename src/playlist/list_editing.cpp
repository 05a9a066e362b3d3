#include "playlist/list_editing.h"

#include <algorithm>

#include "playlist/editor_texts.h"
#include "playlist/entry_text.h"
#include "playlist/playlist.h"
#include "playlist/song_finder.h"
#include "playlist/song_rows.h"
#include "settings/settings.h"

namespace corvane {

using namespace editor;

ListEditing::ListEditing(Playlist& playlist, Settings& settings, SongRows& rows,
                         EditorCallbacks callbacks)
    : playlist_(playlist), settings_(settings), rows_(rows), callbacks_(std::move(callbacks)) {}

QString ListEditing::Title() const { return TitleLine(playlist_.ListName, rows_.Count()); }

QString ListEditing::TitleToolTip() const { return playlist_.ListDir + playlist_.ListName; }

QString ListEditing::EntryPath(qsizetype row) const {
    if (row < 0 || row >= playlist_.SongList.size()) return {};
    return playlist_.SongList.at(row);
}

QString ListEditing::FoundPath(qsizetype row) const {
    if (finder_ == nullptr || row < 0 || row >= playlist_.SongList.size()) return {};
    const QString& entry = playlist_.SongList.at(row);
    const QString playable = finder_->PlayablePath(entry, playlist_.ListDir);
    return playable == entry ? QString() : playable;
}

void ListEditing::SetFinder(SongFinder* finder) {
    finder_ = finder;
    rows_.SetFoundLookup([this](qsizetype row) { return FoundPath(row); });
}

void ListEditing::AdoptFoundPaths() {
    if (finder_ == nullptr) return;
    bool any = false;
    for (qsizetype i = 0; i < playlist_.SongList.size(); ++i) {
        QString found = FoundPath(i);
        if (found.isEmpty()) continue;
        playlist_.SongList[i] = std::move(found);
        any = true;
    }
    if (any) Refresh1();
}

void ListEditing::Refresh1() {
    QStringList names;
    names.reserve(playlist_.SongList.size());
    for (const QString& song : playlist_.SongList) names.append(entry::FileNameOf(song));
    rows_.Reset(std::move(names));
    if (playlist_.ListName.isEmpty()) {
        playlist_.ListName = kUntitled;
        playlist_.ListDir = WithBackslash(settings_.GetText(keys::kPath));
    }
}

void ListEditing::AddSongAt(qsizetype row, const QString& path) {
    playlist_.SongList.insert(row, path);
    rows_.Insert(row, SplitPath(path).fileName);
}

void ListEditing::AddPlaylistFile(const QString& folder, const QString& name) {
    if (!LoadPlaylist(playlist_, WithBackslash(folder), name, false)) return;
    // Rows of a playlist's songs show their names without the extension, as they always have.
    QStringList added;
    for (qsizetype i = rows_.Count(); i < playlist_.SongList.size(); ++i)
        added.append(StripExtension(entry::FileNameOf(playlist_.SongList.at(i))));
    rows_.Append(added);
}

qsizetype ListEditing::AddFiles(const QString& folder, const QStringList& names,
                                qsizetype selectedRow) {
    const qsizetype count = playlist_.SongList.size();
    // With nothing selected a song has nowhere to go before: it goes to the end.
    qsizetype selected = selectedRow >= 0 && selectedRow < count ? selectedRow : -1;
    for (const QString& name : names) {
        if (IsPlaylistFileName(name)) {
            AddPlaylistFile(folder, name);
            continue;
        }
        const QString path = WithBackslash(folder) + name;
        if (selected < 0) {
            AddSongAt(playlist_.SongList.size(), path);
        } else {
            // Inserted before the selected song, which moves down; the added files keep their
            // order.
            AddSongAt(selected, path);
            ++selected;
        }
    }
    if (!names.isEmpty()) MarkChanged();
    return selected;
}

void ListEditing::AddAll(const QString& folder, const QStringList& names) {
    if (callbacks_.progressStart) callbacks_.progressStart(0, int(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (i % 25 == 0 && callbacks_.progress) callbacks_.progress(int(i));
        if (IsPlaylistFileName(names[i])) {
            AddPlaylistFile(folder, names[i]);
        } else {
            AddSongAt(playlist_.SongList.size(), WithBackslash(folder) + names[i]);
        }
    }
    if (callbacks_.progressEnd) callbacks_.progressEnd();
    if (!names.isEmpty()) MarkChanged();
}

void ListEditing::RemoveAt(qsizetype row) {
    if (row < 0 || row >= playlist_.SongList.size()) return;
    playlist_.SongList.removeAt(row);
    rows_.Remove(row);
    MarkChanged();
}

void ListEditing::RemoveRows(const QList<qsizetype>& rows) {
    playlist_.RecentList.clear();
    QList<qsizetype> doomed = rows;
    std::sort(doomed.begin(), doomed.end(), std::greater<>());
    doomed.erase(std::unique(doomed.begin(), doomed.end()), doomed.end());
    for (qsizetype row : doomed) {
        if (row >= 0 && row < playlist_.SongList.size()) playlist_.SongList.removeAt(row);
    }
    Refresh1();
    MarkChanged();
}

void ListEditing::RemoveAll() {
    rows_.Clear();
    playlist_.SongList.clear();
    playlist_.RecentList.clear();
    MarkChanged();
}

void ListEditing::New() {
    if (changed_ && !ConfirmSave()) return;
    // The no-repeat window is kept: the songs just played are still just played.
    playlist_.SongList.clear();
    rows_.Clear();
    playlist_.ListName = kUntitled;
    changed_ = false;
    if (callbacks_.playlistNamed) callbacks_.playlistNamed();
}

void ListEditing::Open() {
    if (changed_ && !ConfirmSave()) return;
    const OpenDialogRequest request{kOpenTitle, NameFiltersFrom(kOpenFilter), playlist_.ListDir};
    const QString path = callbacks_.chooseOpen ? callbacks_.chooseOpen(request) : QString();
    if (path.isEmpty()) return;
    const SplitPathResult parts = SplitPath(path);
    settings_.SavePref(keys::kListPath, parts.directory);
    if (!LoadPlaylist(playlist_, parts.directory, parts.fileName, true)) {
        // The name stays with the list it names: saving must not write this list over the
        // file that failed to load.
        if (callbacks_.message) callbacks_.message(kLoadFailed);
        return;
    }
    playlist_.ListName = parts.fileName;
    playlist_.ListDir = parts.directory;
    changed_ = false;
    if (callbacks_.playlistOpened) callbacks_.playlistOpened();
    Refresh1();
    if (callbacks_.playlistNamed) callbacks_.playlistNamed();
    settings_.SavePref(keys::kPlayList, path);
}

bool ListEditing::Save() {
    if (!changed_) return false;
    const QString oldName = playlist_.ListName;
    const QString oldDir = playlist_.ListDir;
    QString chosen;
    if (playlist_.ListName == kUntitled) {
        const OpenDialogRequest request{kSaveTitle, NameFiltersFrom(kSaveFilter),
                                        playlist_.ListDir};
        if (callbacks_.chooseSave) chosen = callbacks_.chooseSave(request, playlist_.ListName);
        if (chosen.isEmpty()) return false;
        const SplitPathResult parts = SplitPath(chosen);
        playlist_.ListName = parts.fileName;
        playlist_.ListDir = parts.directory;
    }
    AdoptFoundPaths();
    if (callbacks_.progressStart) callbacks_.progressStart(1, int(playlist_.SongList.size()));
    PlaylistHooks hooks;
    hooks.progress = callbacks_.progress;
    const bool saved =
        SavePlaylist(playlist_, playlist_.ListDir, playlist_.ListName, &settings_, hooks);
    if (callbacks_.progressEnd) callbacks_.progressEnd();
    if (!saved) {
        playlist_.ListName = oldName;
        playlist_.ListDir = oldDir;
        if (callbacks_.message) callbacks_.message(kSaveFailed);
        return false;
    }
    // Remembered only once the file exists, so the next start does not look for a list that
    // was never written.
    if (!chosen.isEmpty()) {
        settings_.SavePref(keys::kListPath, playlist_.ListDir);
        settings_.SavePref(keys::kPlayList, chosen);
    }
    changed_ = false;
    nameBeforeSaveAs_.clear();
    if (callbacks_.playlistNamed) callbacks_.playlistNamed();
    return true;
}

void ListEditing::SaveAs() {
    const bool wasChanged = changed_;
    changed_ = true;
    nameBeforeSaveAs_ = playlist_.ListName;
    playlist_.ListName = kUntitled;
    if (Save()) return;
    playlist_.ListName = nameBeforeSaveAs_;
    nameBeforeSaveAs_.clear();
    changed_ = wasChanged;
}

bool ListEditing::ConfirmSave() {
    const SaveAnswer answer = callbacks_.confirm
                                  ? callbacks_.confirm(ConfirmSaveText(playlist_.ListName))
                                  : SaveAnswer::Cancel;
    switch (answer) {
        case SaveAnswer::Yes:
            // Only a list that is on disk may be let go: a failed or cancelled save keeps it.
            return Save();
        case SaveAnswer::No:
            return true;
        case SaveAnswer::Cancel:
            break;
    }
    changed_ = true;
    return false;
}

bool ListEditing::MayClose() {
    if (changed_ && !ConfirmSave()) return false;
    changed_ = false;
    return true;
}

}  // namespace corvane
