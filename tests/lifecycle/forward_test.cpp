// Files handed over by a later start: the real program started a second time beside a running
// one made here, both sharing one settings file and so one single-instance socket.
#include <QProcess>
#include <QProcessEnvironment>

#include "app/remote_wiring.h"
#include "app/single_instance.h"
#include "audio/media_player.h"
#include "autopilot/autopilot.h"
#include "lifecycle_support.h"

namespace corvane::app::testing {
namespace {

using namespace Qt::StringLiterals;

TEST_F(LifecycleTest, ALaterStartsFilesPlayOnFreeLinesAndItsPlaylistOnTheAutoPilot) {
    const QString list = dir_.filePath(u"two.m3u"_s);
    ASSERT_TRUE(WriteList(list, {"sine440_3s_44100.mp3", "sine440_2s_44100.ogg"}));

    auto run = Start();
    const QString config = dir_.filePath(u"later"_s);
    SingleInstance instance(SingleInstance::NameFor(config + u"/Corvane/Corvane.ini"_s));
    ASSERT_TRUE(instance.Claim());
    RemoteWiring remote(*run->startup, *run->engine, run->playlist);
    QObject::connect(&instance, &SingleInstance::PathsReceived, &remote, &RemoteWiring::OpenPaths);
    // Line 3 is busy: the later start's songs take lines 1, 2 and 4 to 6, the others the
    // end of the playlist.
    audio::MediaPlayer* line3 = run->engine->Player(3);
    line3->OpenFile(Fixture("sine440_3s_44100.mp2"));
    ASSERT_TRUE(WaitFor([line3] { return line3->OpenState() == audio::MediaPlayer::kOpen; }));
    line3->Play();

    QProcess later;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, config);
    later.setProcessEnvironment(environment);
    later.setWorkingDirectory(QStringLiteral(CORVANE_BINARY_DIR "/fixtures"));
    QStringList arguments{list};
    // As many as a later start may send: the largest message there is.
    for (int i = 1; i < 1000; ++i) arguments.append(u"sine440_2s_44100.flac"_s);
    later.start(QStringLiteral(CORVANE_BINARY_DIR "/bin/corvane"), arguments);
    ASSERT_TRUE(WaitFor([&] { return later.state() == QProcess::NotRunning; }, 30000));
    EXPECT_EQ(later.exitCode(), 0) << later.readAllStandardError().toStdString();

    const QString song = Fixture("sine440_2s_44100.flac");
    for (int line : {1, 2, 4, 5, 6}) {
        audio::MediaPlayer* player = run->engine->Player(line);
        EXPECT_TRUE(WaitFor([player] { return player->PlayState() == 2; }, 10000)) << line;
        EXPECT_EQ(player->FileName(), song) << line;
    }
    EXPECT_TRUE(run->startup->Form()->Pilot().AutoPilotOn());
    EXPECT_EQ(run->playlist.SongList.size(), 2 + 999 - 5);
    EXPECT_EQ(run->playlist.SongList.last(), song);
}

}  // namespace
}  // namespace corvane::app::testing
