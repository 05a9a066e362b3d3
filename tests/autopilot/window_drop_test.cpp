// Files dragged from the file manager onto the line titles of the real window: which drags
// are taken, and what a drop does on line 0 and on a playback line.
#include <QDragEnterEvent>
#include <QDropEvent>

#include "app/desk_label.h"
#include "app/desk_panels.h"
#include "app/line_strip.h"
#include "app/title_drop.h"
#include "autopilot/autopilot.h"
#include "window_support.h"

namespace corvane::app::testing {
namespace {

using AutoPilotWindowDrops = AutoPilotWindowTest;

bool DragAccepted(QWidget* title, const QMimeData& data) {
    QDragEnterEvent event(QPoint(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(title, &event);
    return event.isAccepted();
}

// As the file manager does it: the drop reaches only a title that took the drag.
bool Drop(QWidget* title, const QMimeData& data) {
    if (!DragAccepted(title, data)) return false;
    QDropEvent event(QPointF(2, 2), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(title, &event);
    return event.isAccepted();
}

TEST_F(AutoPilotWindowDrops, FirstDroppedFileTakesOnlyALocalFirstFile) {
    const QUrl local = QUrl::fromLocalFile(QStringLiteral("/music/a.mp3"));
    const QUrl remote(QStringLiteral("https://example.org/b.mp3"));
    EXPECT_EQ(FirstDroppedFile(Files({local, remote}).get()), QStringLiteral("/music/a.mp3"));
    EXPECT_EQ(FirstDroppedFile(Files({remote, local}).get()), QString());
    QMimeData text;
    text.setText(QStringLiteral("/music/a.mp3"));
    EXPECT_EQ(FirstDroppedFile(&text), QString());
    EXPECT_EQ(FirstDroppedFile(nullptr), QString());
}

// Which endings each line takes is checked on AcceptsDrop; here one of each kind on the titles.
TEST_F(AutoPilotWindowDrops, EachTitleTakesOnlyItsKindOfFile) {
    MainForm& form = Form();
    const struct {
        const char* file;
        bool onLineZero;
        bool onPlaybackLines;
    } cases[] = {
        {"/m/PARTY.M3U", true, false}, {"/m/a.mp3", false, true}, {"/m/notes.txt", false, false}};
    for (const auto& c : cases) {
        const auto data = File(QString::fromLatin1(c.file));
        EXPECT_EQ(DragAccepted(form.Strip(0)->TitleLabel(), *data), c.onLineZero) << c.file;
        for (int line = 1; line <= 6; ++line) {
            EXPECT_EQ(DragAccepted(form.Strip(line)->TitleLabel(), *data), c.onPlaybackLines)
                << c.file << " on line " << line;
        }
    }
    // Remote places are never opened, whatever their ending.
    const auto remote = Files({QUrl(QStringLiteral("https://example.org/a.mp3"))});
    EXPECT_FALSE(DragAccepted(form.Strip(1)->TitleLabel(), *remote));
    const auto remoteList = Files({QUrl(QStringLiteral("sftp://host/list.m3u"))});
    EXPECT_FALSE(DragAccepted(form.Strip(0)->TitleLabel(), *remoteList));
}

TEST_F(AutoPilotWindowDrops, PlaylistDroppedOnLineZeroBecomesTheList) {
    MainForm& form = FormWithList();
    const QString party = WriteList(QStringLiteral("Party.m3u"), {Fixture("song_8s_c.wav")});
    EXPECT_TRUE(Drop(form.Strip(0)->TitleLabel(), *File(party)));
    EXPECT_EQ(playlist_.SongList, QStringList{Fixture("song_8s_c.wav")});
    EXPECT_EQ(form.Strip(0)->TitleLabel()->FullText(), QStringLiteral("Party"));
    EXPECT_EQ(settings_.GetText(keys::kPlayList), party);

    // A list that cannot be read changes nothing and says nothing.
    Drop(form.Strip(0)->TitleLabel(), *File(dir_.filePath(QStringLiteral("Missing.pls"))));
    EXPECT_EQ(playlist_.SongList, QStringList{Fixture("song_8s_c.wav")});
    EXPECT_EQ(settings_.GetText(keys::kPlayList), party);
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(AutoPilotWindowDrops, SoundFileDroppedOnALineOpensThereStopped) {
    MainForm& form = Form();
    EXPECT_TRUE(Drop(form.Strip(4)->TitleLabel(), *File(Fixture("song_8s_b.wav"))));
    audio::MediaPlayer* player = engine_->Player(4);
    ASSERT_TRUE(WaitFor([player] { return player->OpenState() == audio::MediaPlayer::kOpen; }));
    EXPECT_EQ(player->FileName(), Fixture("song_8s_b.wav"));
    EXPECT_EQ(player->PlayState(), audio::MediaPlayer::kStopped);
    EXPECT_TRUE(WaitFor(
        [&] { return form.Strip(4)->TitleLabel()->FullText() == QStringLiteral("song_8s_b"); }));

    // A playlist dropped on a playback line is refused at the drop as at the drag.
    const QString list = WriteList(QStringLiteral("L.m3u"), ThreeSongs());
    EXPECT_FALSE(Drop(form.Strip(5)->TitleLabel(), *File(list)));
    EXPECT_TRUE(playlist_.SongList.isEmpty());
    EXPECT_EQ(engine_->Player(5)->FileName(), QString());
}

}  // namespace
}  // namespace corvane::app::testing
