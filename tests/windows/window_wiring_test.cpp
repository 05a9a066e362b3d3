// The editor, the About box, the help and the log viewer on the real main window: the buttons
// that open them, their highlight while open, the editor's list being the AutoPilot's and the
// song log's new entries reaching the viewer.
#include "app/window_wiring.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QUrl>

#include "about/ui/about_box.h"
#include "app/appearance_wiring.h"
#include "app/desk_label.h"
#include "app/desk_panels.h"
#include "app/line_strip.h"
#include "app/log_wiring.h"
#include "appearance/ui/butt.h"
#include "autopilot/autopilot.h"
#include "playlist/ui/list_editor.h"
#include "songlog/songlog.h"
#include "support/mainform_support.h"
#include "support/qstring_printer.h"

namespace corvane::app::testing {
namespace {

class WindowWiringTest : public MainFormTest {
protected:
    WindowWiring& Windows() {
        WindowWiring& windows = Form().Windows();
        if (!dialogsSet_) {
            WindowDialogs dialogs;
            dialogs.editor.chooseOpen = [this](const OpenDialogRequest&) { return openPath_; };
            dialogs.editor.chooseSave = [](const OpenDialogRequest&, const QString&) {
                return QString();
            };
            dialogs.editor.confirm = [](const QString&) { return SaveAnswer::Cancel; };
            dialogs.editor.message = [this](const QString& text) { messages_.append(text); };
            dialogs.openUrl = [this](const QUrl& url) {
                urls_.append(url);
                return urlOpens_;
            };
            windows.SetDialogs(dialogs);
            dialogsSet_ = true;
        }
        return windows;
    }
    appearance::Butt* Button(ButtonRow::Index index) { return Form().Buttons()->Button(index); }
    QColor Hilite() const { return ColorScheme::FromSettings(settings_).hilite; }
    QColor Text() const { return ColorScheme::FromSettings(settings_).text; }

    QString openPath_;
    QList<QUrl> urls_;
    bool urlOpens_ = true;
    bool dialogsSet_ = false;
};

TEST_F(WindowWiringTest, PListOpensTheEditorWhoseEditsTheAutoPilotPlaysAtOnce) {
    settings_.SavePref(keys::kSongPath, Fixture(""));
    Windows();
    Q_EMIT Button(ButtonRow::PList)->Click();
    editor::ListEditor& editor = Windows().Editor();
    ASSERT_TRUE(editor.EditorOpen());
    EXPECT_EQ(Button(ButtonRow::PList)->TextColor(), Hilite());

    editor.File1DblClick(QStringLiteral("song_8s_b.wav"));
    ASSERT_EQ(playlist_.SongList, QStringList{Fixture("song_8s_b.wav")});
    Form().Pilot().ChooseNextSong();
    EXPECT_EQ(Form().AutoPilot()->NextSong()->FullText(), QStringLiteral("song_8s_b"));

    // Unsaved changes: with no answer given (Cancel) the window stays.
    editor.close();
    EXPECT_TRUE(editor.EditorOpen());
    EXPECT_EQ(Button(ButtonRow::PList)->TextColor(), Hilite());
}

TEST_F(WindowWiringTest, OpenInTheEditorNamesTheListOnLineZeroAndPicksItsNextSong) {
    QFile list(dir_.filePath(QStringLiteral("Party.m3u")));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write(QFile::encodeName(Fixture("song_8s_c.wav")) + "\n");
    list.close();
    openPath_ = list.fileName();
    Windows();
    Form().RCMenu()->findChild<QAction*>(QStringLiteral("mnuPLst"))->trigger();
    editor::ListEditor& editor = Windows().Editor();
    editor.OpenClick();
    EXPECT_EQ(playlist_.SongList, QStringList{Fixture("song_8s_c.wav")});
    EXPECT_EQ(Form().Strip(0)->TitleLabel()->FullText(), QStringLiteral("Party"));
    EXPECT_EQ(Form().windowTitle(), QStringLiteral("CVN v.1.40 - Party"));
    EXPECT_EQ(Form().AutoPilot()->NextSong()->FullText(), QStringLiteral("song_8s_c"));

    editor.close();
    EXPECT_FALSE(editor.EditorOpen());
    EXPECT_EQ(Button(ButtonRow::PList)->TextColor(), Text());
}

TEST_F(WindowWiringTest, AboutLightsItsButtonWhileOpenAndHelpReportsAFailedOpen) {
    Windows();
    Q_EMIT Button(ButtonRow::Butt1)->Click();
    EXPECT_TRUE(Windows().About().isVisible());
    EXPECT_EQ(Button(ButtonRow::Butt1)->TextColor(), Hilite());
    Windows().About().close();
    EXPECT_EQ(Button(ButtonRow::Butt1)->TextColor(), Text());

    Q_EMIT Button(ButtonRow::HelpButt)->Click();
    ASSERT_EQ(urls_.size(), 1);
    EXPECT_TRUE(urls_[0].toLocalFile().endsWith(QStringLiteral("/cvnhelp.html")));
    EXPECT_TRUE(messages_.isEmpty());
    urlOpens_ = false;
    Form().RCMenu()->findChild<QAction*>(QStringLiteral("mnuHelp"))->trigger();
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].endsWith(QStringLiteral("in order to view help.")));
}

TEST_F(MainFormTest, LogButtOpensTheViewerLitWhileOpen) {
    settings_.SavePref(keys::kLogFile, dir_.filePath(QStringLiteral("songs.log")));
    settings_.SavePref(keys::kLogging, true);
    LogWiring& wiring = Form().LogViewer();
    appearance::Butt* button = Form().Buttons()->Button(ButtonRow::LogButt);
    // A face's scheme, which is not the one stored.
    appearance::SchemeColors face;
    face.text = 0x00FF00;
    face.hilite = 0xFF0000;
    Form().Look().SetColors(face);
    Form().Look().ColorChange();
    const ColorScheme scheme = ColorScheme::FromValues(face);

    Q_EMIT button->Click();
    ASSERT_TRUE(wiring.ViewOpen());
    EXPECT_EQ(button->TextColor(), scheme.hilite);
    QSignalSpy filled(wiring.Viewer(), &songlog::View::RefreshFinished);
    ASSERT_TRUE(filled.wait(5000));

    Form().Log().LogSong(QStringLiteral("/music/Live One.mp3"));
    Form().Log().LogTimer_Timer();
    EXPECT_EQ(wiring.Viewer()->Model().rowCount(), 1);
    EXPECT_EQ(wiring.Viewer()->windowTitle(), QStringLiteral("CVN Song Log - 1 Titles Listed"));

    // The menu entry raises the one viewer rather than opening a second.
    Form().RCMenu()->findChild<QAction*>(QStringLiteral("mnuLog"))->trigger();
    EXPECT_EQ(Form().findChildren<songlog::View*>().size(), 1);

    wiring.Viewer()->Done_Click();
    EXPECT_FALSE(wiring.ViewOpen());
    EXPECT_EQ(button->TextColor(), scheme.text);
}

}  // namespace
}  // namespace corvane::app::testing
