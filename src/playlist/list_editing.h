#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "playlist/open_dialog.h"

namespace corvane {

class Settings;
class SongFinder;
class SongRows;
struct Playlist;

// The answers to "Save Changes to …?".
enum class SaveAnswer { Yes, No, Cancel };

// What the Playlist Editor asks of the user and tells the rest of the program. Every member may
// be left empty: a missing dialog counts as Cancel.
struct EditorCallbacks {
    // The path chosen in the open dialog; empty when the user cancelled.
    std::function<QString(const OpenDialogRequest& request)> chooseOpen;
    // The path chosen in the save dialog (which asks before overwriting); empty on Cancel.
    std::function<QString(const OpenDialogRequest& request, const QString& fileName)> chooseSave;
    std::function<SaveAnswer(const QString& question)> confirm;
    std::function<void(const QString& text)> message;
    // A playlist was opened here: the AutoPilot picks its next song from the new list at once.
    std::function<void()> playlistOpened;
    // ListName or ListDir changed (open, save, new): the main window's title follows.
    std::function<void()> playlistNamed;
    // A long operation: its range, its progress values, its end.
    std::function<void(int min, int max)> progressStart;
    std::function<void(int value)> progress;
    std::function<void()> progressEnd;
};

// The Playlist Editor's commands. They edit the program's one Playlist itself, so the AutoPilot
// plays every change at once, and keep the editor's rows (one per SongList entry) in step.
// Rows are 0-based, as is SongList here.
class ListEditing {
public:
    ListEditing(Playlist& playlist, Settings& settings, SongRows& rows, EditorCallbacks callbacks);

    bool Changed() const { return changed_; }
    const QString& NameBeforeSaveAs() const { return nameBeforeSaveAs_; }
    // "<ListName> - <rows> Titles." and its tool tip, the playlist's full path.
    QString Title() const;
    QString TitleToolTip() const;
    // The song behind a row; empty for a row that does not exist.
    QString EntryPath(qsizetype row) const;
    // Where a row's missing song was found again by name; empty when its file is there, is a
    // stream, or was not found (yet). Without a finder nothing is ever found.
    QString FoundPath(qsizetype row) const;
    void SetFinder(SongFinder* finder);

    // Rebuilds the rows from SongList; an unnamed playlist becomes "Untitled" in the program
    // folder.
    void Refresh1();

    // Adds the files of `folder` in order: songs go before `selectedRow` (appended when it is
    // negative: nothing selected), playlists' songs at the end. Returns where the selected
    // row's song is afterwards, or -1.
    qsizetype AddFiles(const QString& folder, const QStringList& names, qsizetype selectedRow);
    // Appends every file of `folder`.
    void AddAll(const QString& folder, const QStringList& names);
    void RemoveAt(qsizetype row);
    // Removes the songs of these rows and empties the no-repeat window.
    void RemoveRows(const QList<qsizetype>& rows);
    void RemoveAll();

    void New();
    void Open();
    // Does nothing unless the list changed; an unnamed list asks for a name first. True when
    // the list was written.
    bool Save();
    // Asks for a new name and saves; a cancelled or failed Save As leaves name, folder and
    // the unsaved mark as they were.
    void SaveAs();
    // Asks whether to save unsaved changes; false: stop what you were doing.
    bool ConfirmSave();
    // Whether the window may close now (asks about unsaved changes first).
    bool MayClose();

private:
    void MarkChanged() { changed_ = true; }
    void AddPlaylistFile(const QString& folder, const QString& name);
    void AddSongAt(qsizetype row, const QString& path);

    // Songs found again are saved where they were found.
    void AdoptFoundPaths();

    Playlist& playlist_;
    Settings& settings_;
    SongRows& rows_;
    SongFinder* finder_ = nullptr;
    EditorCallbacks callbacks_;
    bool changed_ = false;
    QString nameBeforeSaveAs_;
};

}  // namespace corvane
