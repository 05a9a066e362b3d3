#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

#include "playlist/editor_texts.h"

class QComboBox;
class QListWidget;
class QListWidgetItem;
class QToolButton;

namespace corvane::editor {

// The left half of the Playlist Editor: the drive list (the mount points and "/"), the folder
// list (the folder's ancestors, then its subfolders), the parent-folder button, the file list
// and its type filter.
class FileBrowser : public QWidget {
    Q_OBJECT

public:
    explicit FileBrowser(QWidget* parent = nullptr);

    // The folder shown, ending in "/".
    QString Folder() const { return folder_; }
    // Moves the drive and folder lists there; a folder that cannot be listed is refused.
    bool SetFolder(const QString& folder);
    FileFilter Filter() const { return filter_; }
    void SetFilter(FileFilter filter);

    // File names of the file list: the selected ones, or all, in list order.
    QStringList SelectedFiles() const;
    QStringList AllFiles() const;
    // Re-reads the folder (after a save into it).
    void RefreshFiles();

    QComboBox* Drive1() const { return drive1_; }
    QListWidget* Dir1() const { return dir1_; }
    QToolButton* Command1() const { return command1_; }
    QListWidget* File1() const { return file1_; }
    QComboBox* Combo1() const { return combo1_; }

    // Mount points worth offering as drives, "/" first.
    static QStringList Drives();

Q_SIGNALS:
    void FolderChanged(const QString& folder);
    // A click on a file, and a double-click (or Enter) on one: its full path.
    void FileClicked(const QString& path);
    void FileActivated(const QString& name);
    void MenuRequested();

private:
    void Drive1Change(int index);
    void Dir1Activated(QListWidgetItem* item);
    void FillFolders();
    void SelectDriveOf(const QString& folder);

    QComboBox* drive1_;
    QListWidget* dir1_;
    QToolButton* command1_;
    QListWidget* file1_;
    QComboBox* combo1_;
    QString folder_;
    FileFilter filter_ = FileFilter::SoundFiles;
};

}  // namespace corvane::editor
