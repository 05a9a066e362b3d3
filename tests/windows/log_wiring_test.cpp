// The log viewer on the real main window: LogButt opens it and shows in the highlight colour
// while it is open, and the song log's new entries reach it.
#include "app/log_wiring.h"

#include <QAction>
#include <QMenu>
#include <QSignalSpy>

#include "app/appearance_wiring.h"
#include "app/desk_panels.h"
#include "appearance/ui/butt.h"
#include "songlog/songlog.h"
#include "support/mainform_support.h"
#include "support/qstring_printer.h"

namespace corvane::app::testing {
namespace {

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
