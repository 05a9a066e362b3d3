#pragma once

#include <QMainWindow>
#include <memory>

#include "playlist/list_editing.h"

class QAction;
class QLabel;
class QListView;
class QMenu;
class QPushButton;

namespace corvane {
class Settings;
class SongFinder;
class SongRows;
struct Playlist;
}  // namespace corvane

namespace corvane::ombrel {
class FlatProg;
}

namespace corvane::editor {

class FileBrowser;

// The Playlist Editor: the disk on the left, the playlist being edited (SongList itself) on the
// right, shown beside the main window without blocking it. The window is made once and shown
// again on every open; the dialogs of `callbacks` left empty are the standard ones.
class ListEditor : public QMainWindow {
    Q_OBJECT

public:
    ListEditor(Playlist& playlist, Settings& settings, EditorCallbacks callbacks,
               QWidget* parent = nullptr);
    ~ListEditor() override;

    // Shows the window (its load: position, filter, folder, rows) or raises it when it is open.
    void OpenEditor();
    // EditorOpen: from the load to the unload.
    bool EditorOpen() const { return open_; }
    // Rebuilds the rows from SongList (after a playlist was loaded elsewhere, too).
    void Refresh1();
    // Missing songs are looked for by name with `finder` and marked when found.
    void SetFinder(SongFinder* finder);

    ListEditing& Editing() { return *editing_; }
    SongRows& Rows() const { return *rows_; }
    FileBrowser* Browser() const { return browser_; }
    QListView* List1() const { return list1_; }
    QLabel* ListTitle() const { return listTitle_; }
    QLabel* PathPanel() const { return pathPanel_; }
    QLabel* SizePanel() const { return sizePanel_; }
    ombrel::FlatProg* Prog() const { return prog_; }
    QPushButton* SaveButt() const { return saveButt_; }
    QAction* MnuSave() const { return mnuSave_; }
    QMenu* MnuEdit() const { return mnuEdit_; }
    // The selected rows in order, and the row new songs go before (-1: none).
    QList<qsizetype> SelectedRows() const;
    qsizetype InsertRow() const;

    // The commands behind the buttons and menus.
    void AddSelClick();
    void AddAllClick();
    void RemSelClick();
    void RemAllClick();
    void File1DblClick(const QString& name);
    void List1DblClick(qsizetype row);
    void NewClick();
    void OpenClick();
    void SaveClick();
    void SaveAsClick();

Q_SIGNALS:
    void Opened();
    // The window closed (EditorOpen is false again).
    void Closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildWindow();
    void BuildMenus();
    void ShowFileInfo(const QString& path);
    // A row's song; a stream or a song found elsewhere says so.
    void ShowEntryInfo(qsizetype row);
    void SelectOnly(qsizetype row);
    // The title line, its tool tip and the Save entries, after every change.
    void ListChanged();
    // Runs a command under the busy pointer and updates the window after it.
    template <typename Command>
    void Busy(Command command);

    Playlist& playlist_;
    Settings& settings_;
    std::unique_ptr<SongRows> rows_;
    std::unique_ptr<ListEditing> editing_;
    bool open_ = false;

    FileBrowser* browser_ = nullptr;
    QListView* list1_ = nullptr;
    QLabel* listTitle_ = nullptr;
    QLabel* pathPanel_ = nullptr;
    QLabel* sizePanel_ = nullptr;
    ombrel::FlatProg* prog_ = nullptr;
    QPushButton* saveButt_ = nullptr;
    QAction* mnuSave_ = nullptr;
    QMenu* mnuEdit_ = nullptr;
};

// The standard dialogs of the editor, with `parent` as their owner.
void FillStandardDialogs(EditorCallbacks& callbacks, QWidget* parent);

}  // namespace corvane::editor
