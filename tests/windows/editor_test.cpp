// The Playlist Editor on real files: where added songs go, removing, the Save family and the
// question before unsaved changes are thrown away.
#include <QComboBox>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "editor_support.h"
#include "playlist/editor_texts.h"
#include "playlist/song_rows.h"
#include "playlist/ui/file_browser.h"

namespace corvane::editor::testing {
namespace {

void Select(ListEditor& editor, std::initializer_list<int> rows) {
    QItemSelectionModel* selection = editor.List1()->selectionModel();
    selection->clear();
    for (int row : rows)
        selection->setCurrentIndex(editor.Rows().index(row), QItemSelectionModel::Select);
}

void SelectFiles(ListEditor& editor, const QStringList& names) {
    QListWidget* files = editor.Browser()->File1();
    files->clearSelection();
    for (const QString& name : names)
        files->findItems(name, Qt::MatchExactly).value(0)->setSelected(true);
}

TEST_F(EditorTest, OpensOnTheSongFolderWithSoundFilesAndTheListItEdits) {
    FillList(Strings({"a.mp3", "b.mp3"}));
    ListEditor& editor = Editor();
    EXPECT_EQ(editor.Browser()->Folder(), music_);
    EXPECT_EQ(editor.Browser()->Combo1()->currentText(), QStringLiteral("Sound Files"));
    EXPECT_EQ(editor.Browser()->AllFiles().size(), 7);
    EXPECT_EQ(editor.Rows().Rows(), Strings({"a.mp3", "b.mp3"}));
    EXPECT_EQ(editor.ListTitle()->text(), QStringLiteral("Untitled - 2 Titles."));
    EXPECT_FALSE(editor.SaveButt()->isEnabled());

    editor.Browser()->SetFilter(FileFilter::AllFiles);
    Touch(music_ + QStringLiteral("list.PLS"));
    editor.Browser()->RefreshFiles();
    EXPECT_EQ(editor.Browser()->AllFiles().size(), 8);
    editor.Browser()->SetFilter(FileFilter::PlaylistFiles);
    EXPECT_EQ(editor.Browser()->AllFiles(), Strings({"list.PLS"}));
}

TEST_F(EditorTest, SongsGoBeforeTheSelectedRowOrAtTheEnd) {
    FillList(Strings({"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3"}));
    ListEditor& editor = Editor();
    Select(editor, {2});
    // A real double-click on the file list.
    QListWidget* files = editor.Browser()->File1();
    QListWidgetItem* item = files->findItems(QStringLiteral("x.wav"), Qt::MatchExactly).value(0);
    ASSERT_NE(item, nullptr);
    const QPoint at = files->visualItemRect(item).center();
    QTest::mouseClick(files->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(files->viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(Names(), Strings({"a.mp3", "b.mp3", "x.wav", "c.mp3", "d.mp3", "e.mp3"}));
    // The selection stays with the song that was selected.
    EXPECT_EQ(editor.SelectedRows(), QList<qsizetype>{3});
    EXPECT_TRUE(editor.SaveButt()->isEnabled());
    EXPECT_TRUE(editor.MnuSave()->isEnabled());
    EXPECT_EQ(editor.ListTitle()->text(), QStringLiteral("Untitled - 6 Titles."));

    // Several files keep their order before the selected row.
    SelectFiles(editor, Strings({"y.wav", "a.mp3"}));
    editor.AddSelClick();
    EXPECT_EQ(Names().mid(3, 3), Strings({"a.mp3", "y.wav", "c.mp3"}));

    // Nothing selected: the song is appended.
    editor.List1()->clearSelection();
    editor.File1DblClick(QStringLiteral("b.mp3"));
    EXPECT_EQ(Names().last(), QStringLiteral("b.mp3"));
    EXPECT_EQ(editor.Rows().Count(), playlist_.SongList.size());
}

TEST_F(EditorTest, APlaylistAddedAppendsItsSongsWhateverRowIsSelected) {
    Touch(music_ + QStringLiteral("set.pls"),
          "[playlist]\nNumberOfEntries=2\nFile1=x.wav\nFile2=y.wav\n");
    FillList(Strings({"a.mp3", "b.mp3", "c.mp3"}));
    ListEditor& editor = Editor();
    Select(editor, {0});
    editor.File1DblClick(QStringLiteral("set.pls"));
    EXPECT_EQ(Names(), Strings({"a.mp3", "b.mp3", "c.mp3", "x.wav", "y.wav"}));
    EXPECT_EQ(playlist_.SongList.at(3), music_ + QStringLiteral("x.wav"));
    EXPECT_EQ(editor.Rows().Rows().mid(3), Strings({"x", "y"}));
    EXPECT_TRUE(editor.Editing().Changed());
}

TEST_F(EditorTest, RemovingRows) {
    FillList(Strings({"a.mp3", "b.mp3", "c.mp3", "d.mp3", "e.mp3"}));
    playlist_.RecentList = {music_ + QStringLiteral("a.mp3")};
    ListEditor& editor = Editor();
    Select(editor, {1, 3});
    editor.RemSelClick();
    EXPECT_EQ(Names(), Strings({"a.mp3", "c.mp3", "e.mp3"}));
    EXPECT_EQ(editor.Rows().Rows(), Names());
    EXPECT_TRUE(playlist_.RecentList.isEmpty());
    EXPECT_EQ(editor.ListTitle()->text(), QStringLiteral("Untitled - 3 Titles."));

    editor.List1DblClick(0);
    EXPECT_EQ(Names(), Strings({"c.mp3", "e.mp3"}));
    editor.RemAllClick();
    EXPECT_TRUE(playlist_.SongList.isEmpty());
    EXPECT_EQ(editor.Rows().Count(), 0);
}

TEST_F(EditorTest, SaveSkipsAnUnchangedListAndSaveAsRestoresTheOldNameOnCancel) {
    FillList(Strings({"a.mp3"}));
    ListEditor& editor = Editor();
    editor.SaveClick();
    EXPECT_TRUE(asked_.isEmpty());
    EXPECT_TRUE(QDir(dir_.path()).entryList({QStringLiteral("*.cvn")}).isEmpty());

    Touch(music_ + QStringLiteral("mix.m3u"), "a.mp3\nb.mp3\n");
    openAnswer_ = music_ + QStringLiteral("mix.m3u");
    editor.OpenClick();
    ASSERT_EQ(Names(), Strings({"a.mp3", "b.mp3"}));
    EXPECT_EQ(opened_, 1);
    EXPECT_EQ(settings_.GetText(keys::kPlayList), music_ + QStringLiteral("mix.m3u"));

    editor.SaveAsClick();  // cancelled: saveAnswer_ is empty
    EXPECT_EQ(asked_.last(), QStringLiteral("Save Playlist File As: Untitled"));
    EXPECT_EQ(playlist_.ListName, QStringLiteral("mix.m3u"));
    EXPECT_FALSE(editor.Editing().Changed());

    saveAnswer_ = dir_.path() + QStringLiteral("/saved.pls");
    editor.SaveAsClick();
    EXPECT_EQ(playlist_.ListName, QStringLiteral("saved.pls"));
    EXPECT_EQ(playlist_.ListDir, dir_.path() + QLatin1Char('/'));
    EXPECT_EQ(editor.ListTitle()->text(), QStringLiteral("saved.pls - 2 Titles."));
    EXPECT_EQ(settings_.GetText(keys::kPlayList), saveAnswer_);
    EXPECT_FALSE(editor.SaveButt()->isEnabled());
    Playlist reread;
    ASSERT_TRUE(LoadPlaylist(reread, playlist_.ListDir, playlist_.ListName, true));
    EXPECT_EQ(reread.SongList, playlist_.SongList);

    // A folder that cannot be written: the message, and the name it had.
    saveAnswer_ = dir_.path() + QStringLiteral("/missing/folder/x.cvn");
    editor.SaveAsClick();
    EXPECT_EQ(messages_, QStringList{QStringLiteral("Couldn't save the playlist.")});
    EXPECT_EQ(playlist_.ListName, QStringLiteral("saved.pls"));
    EXPECT_EQ(settings_.GetText(keys::kPlayList), dir_.path() + QStringLiteral("/saved.pls"));
}

TEST_F(EditorTest, OpenCancelledOrFailedLeavesTheListAndItsName) {
    FillList(Strings({"a.mp3"}));
    ListEditor& editor = Editor();
    editor.OpenClick();
    EXPECT_EQ(asked_, QStringList{QStringLiteral("Open a Playlist File")});
    EXPECT_EQ(playlist_.ListName, QStringLiteral("Untitled"));

    Touch(music_ + QStringLiteral("broken.m3u"), QByteArray("\0\1\2", 3));
    openAnswer_ = music_ + QStringLiteral("broken.m3u");
    editor.OpenClick();
    EXPECT_EQ(messages_, QStringList{QStringLiteral("Couldn't load the playlist.")});
    EXPECT_EQ(playlist_.ListName, QStringLiteral("Untitled"));
    EXPECT_EQ(Names(), Strings({"a.mp3"}));
    EXPECT_EQ(opened_, 0);
}

TEST_F(EditorTest, UnsavedChangesAreAskedAboutBeforeTheyGo) {
    FillList(Strings({"a.mp3"}));
    ListEditor& editor = Editor();
    editor.File1DblClick(QStringLiteral("b.mp3"));

    confirmAnswer_ = SaveAnswer::Cancel;
    editor.close();
    EXPECT_EQ(asked_.last(), QStringLiteral("Save Changes to Untitled?"));
    EXPECT_TRUE(editor.EditorOpen());
    EXPECT_TRUE(editor.isVisible());
    EXPECT_TRUE(editor.Editing().Changed());

    // Yes with the save dialog cancelled: nothing was saved, so nothing is let go.
    confirmAnswer_ = SaveAnswer::Yes;
    editor.NewClick();
    EXPECT_EQ(playlist_.SongList.size(), 2);

    confirmAnswer_ = SaveAnswer::No;
    editor.NewClick();
    EXPECT_TRUE(playlist_.SongList.isEmpty());
    EXPECT_EQ(playlist_.ListName, QStringLiteral("Untitled"));
    EXPECT_FALSE(editor.Editing().Changed());

    editor.move(150, 90);
    EXPECT_TRUE(editor.close());
    EXPECT_FALSE(editor.EditorOpen());
    EXPECT_EQ(settings_.GetInt(keys::kListLeft), editor.x() * 15);
    EXPECT_EQ(settings_.GetInt(keys::kListTop), editor.y() * 15);
    // The list outlives the window.
    EXPECT_TRUE(playlist_.SongList.isEmpty());
}

TEST(EditorTexts, SizesAreCutToTwoDecimalsInTheirUnit) {
    const QLocale c = QLocale::c();
    EXPECT_EQ(SizeText(0, c), QStringLiteral("0 Bytes"));
    EXPECT_EQ(SizeText(1023, c), QStringLiteral("1023 Bytes"));
    EXPECT_EQ(SizeText(1024, c), QStringLiteral("1 KB"));
    EXPECT_EQ(SizeText(1100, c), QStringLiteral("1.07 KB"));
    EXPECT_EQ(SizeText(1536, c), QStringLiteral("1.5 KB"));
    EXPECT_EQ(SizeText(1048575, c), QStringLiteral("1023.99 KB"));
    EXPECT_EQ(SizeText(1048576, c), QStringLiteral("1 MB"));
    EXPECT_EQ(SizeText(5LL * 1024 * 1048576 + 1048576 / 3, c), QStringLiteral("5120.33 MB"));
    EXPECT_EQ(SizeText(1100, QLocale(QLocale::German)), QStringLiteral("1,07 KB"));
}

TEST(EditorTexts, PlaylistsAreKnownByTheirLastThreeLetters) {
    for (const char* name : {"Set.PLS", "mix.m3u", "mix.M3U8", "listcvn"})
        EXPECT_TRUE(IsPlaylistFileName(QLatin1String(name))) << name;
    EXPECT_FALSE(IsPlaylistFileName(QStringLiteral("song.mp3")));
    EXPECT_EQ(TitleLine(QStringLiteral("Untitled"), 12), QStringLiteral("Untitled - 12 Titles."));
}

}  // namespace
}  // namespace corvane::editor::testing
