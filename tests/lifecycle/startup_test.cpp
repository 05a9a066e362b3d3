#include <QLabel>
#include <QLocalServer>
#include <QUuid>

#include "app/desk_label.h"
#include "app/line_strip.h"
#include "app/single_instance.h"
#include "app/splash.h"
#include "app/window_wiring.h"
#include "appearance/ui/units.h"
#include "audio/media_player.h"
#include "autopilot/autopilot.h"
#include "engine/crossfader.h"
#include "engine/desk.h"
#include "lifecycle_support.h"
#include "playlist/list_editing.h"
#include "playlist/ui/list_editor.h"
#include "settings/keys.h"
#include "settings/upgrade_import.h"

namespace corvane::app::testing {
namespace {

using namespace Qt::StringLiterals;

using engine::FadeMode;

// Settings naming a saved playlist of one song, plus `more` lines.
bool WriteSavedSettings(const QString& settingsFile, const QString& list,
                        const QByteArray& more = {}) {
    return WriteList(list, {"song_8s_c.wav"}) &&
           WriteText(settingsFile,
                     "[1.40]\nInstalled=True\nPlayList=" + list.toUtf8() + "\n" + more);
}

QPoint Centred(const QWidget& window) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    return QPoint((screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2);
}

TEST_F(LifecycleTest, EverythingSetComesBackAfterExitAndStart) {
    const QString list = dir_.filePath(u"Party Mix.m3u"_s);
    ASSERT_TRUE(WriteList(list, {"song_8s_a.wav", "song_8s_b.wav"}));
    // Lines looped, and fade modes other than Always On.
    const QList<int> looped{0, 2, 5};
    const std::pair<int, FadeMode> fades[] = {
        {0, FadeMode::Right}, {3, FadeMode::Left}, {6, FadeMode::Right}};
    {
        auto run = Start();
        engine::Desk& desk = run->startup->Form()->Desk();
        for (int line = 0; line < 8; ++line) {
            ASSERT_TRUE(desk.SetSlider(line, 10 + line * 11));
            desk.SaveSlider(line);
        }
        for (int line : looped) desk.SetLoop(line, true);
        for (const auto& [line, mode] : fades) desk.SelectFadeMode(line, mode);
        ASSERT_TRUE(desk.FileOpen(2, Fixture("song_8s_b.wav")));
        ASSERT_TRUE(desk.FileOpen(4, Fixture("sine440_3s_44100.mp3")));
        ASSERT_TRUE(WaitFor([&] { return run->settings.Has(keys::FileKey(4)); }));
        ASSERT_TRUE(WaitFor([&] { return run->settings.Has(keys::FileKey(2)); }));
        ASSERT_TRUE(desk.FileOpen(0, list));
        run->settings.SavePref(keys::kTextColor, 65280);
        run->settings.SavePref(keys::kBackColor, 4194304);
        run->settings.SavePref(keys::kFadeSpeed, 100);
        run->settings.SavePref(keys::kRemain, false);
        run->startup->Form()->move(40, 30);
        answers_ = {true};
        EXPECT_TRUE(run->startup->ExitProgram(true));
        EXPECT_EQ(run->ended, 1);
        EXPECT_FALSE(run->startup->Form()->isVisible());
    }
    auto run = Start();
    MainForm& form = *run->startup->Form();
    engine::Desk& desk = form.Desk();
    for (int line = 0; line < 8; ++line) EXPECT_EQ(desk.Slider(line), 10 + line * 11) << line;
    for (int line = 0; line <= 6; ++line) EXPECT_EQ(desk.Loop(line), looped.contains(line)) << line;
    for (const auto& [line, mode] : fades) EXPECT_EQ(desk.GetFadeMode(line), mode) << line;
    EXPECT_EQ(desk.GetFadeMode(1), FadeMode::AlwaysOn);
    audio::MediaPlayer* line2 = run->engine->Player(2);
    audio::MediaPlayer* line4 = run->engine->Player(4);
    EXPECT_TRUE(WaitFor([&] { return line2->OpenState() == audio::MediaPlayer::kOpen; }));
    EXPECT_TRUE(WaitFor([&] { return line4->OpenState() == audio::MediaPlayer::kOpen; }));
    EXPECT_EQ(line2->PlayState(), audio::MediaPlayer::kStopped);
    EXPECT_EQ(run->engine->Player(1)->OpenState(), audio::MediaPlayer::kClosed);
    EXPECT_EQ(run->playlist.ListName, u"Party Mix.m3u"_s);
    EXPECT_EQ(run->playlist.SongList.size(), 2);
    EXPECT_EQ(form.windowTitle(), u"CVN v.1.40 - Party Mix"_s);
    EXPECT_EQ(form.Strip(0)->TitleLabel()->FullText(), u"Party Mix"_s);
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(0, 0, 64));
    EXPECT_EQ(form.palette().color(QPalette::WindowText), QColor(0, 255, 0));
    EXPECT_EQ(form.CrossfaderModel().FadeSpeed(), 100);
    EXPECT_FALSE(desk.Remain());
    EXPECT_EQ(form.pos(), QPoint(40, 30));
    EXPECT_TRUE(form.isEnabled());
    EXPECT_EQ(run->startup->SP2(), nullptr);
}

TEST_F(LifecycleTest, AFreshInstallationStartsWithEveryDefaultAndTheWindowCentred) {
    auto run = Start();
    MainForm& form = *run->startup->Form();
    const engine::Desk& desk = form.Desk();
    EXPECT_TRUE(run->startup->FirstStart());
    EXPECT_TRUE(asked_.isEmpty());
    for (int line = 0; line < 8; ++line) EXPECT_EQ(desk.Slider(line), 80);
    for (int line = 0; line <= 6; ++line) {
        EXPECT_FALSE(desk.Loop(line));
        EXPECT_EQ(desk.GetFadeMode(line), FadeMode::AlwaysOn);
    }
    for (int line = 1; line <= 6; ++line)
        EXPECT_EQ(run->engine->Player(line)->OpenState(), audio::MediaPlayer::kClosed);
    EXPECT_TRUE(run->playlist.SongList.isEmpty());
    EXPECT_EQ(run->playlist.ListDir, WithBackslash(AppFolder()));
    EXPECT_EQ(form.windowTitle(), u"CVN v.1.40 - None"_s);
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(0, 0, 0));
    EXPECT_EQ(form.palette().color(QPalette::WindowText), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(form.pos(), Centred(form));
    // Only the first-start marker was written; nothing else of the table.
    EXPECT_TRUE(run->settings.Has(QLatin1String(Startup::kFirstStartKey)));
    EXPECT_FALSE(run->settings.Has(keys::kMainTop));
    EXPECT_FALSE(run->settings.Has(keys::kShowMic));
}

// A stored place with less than 50 x 50 pixels on any screen is centred on the primary screen.
TEST_F(LifecycleTest, AStoredPlaceOffTheScreensIsCentred) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QSize size = Start()->startup->Form()->size();
    const struct {
        QPoint stored;
        bool kept;
    } cases[] = {
        {{screen.right() - 29, 10}, false},
        {{10, 40 - size.height()}, false},
        {{screen.right() - 59, screen.bottom() - 59}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::pair(c.stored.x(), c.stored.y())));
        {
            auto run = Start();
            run->settings.SavePref(keys::kMainLeft, 15 * c.stored.x());
            run->settings.SavePref(keys::kMainTop, 15 * c.stored.y());
        }
        const auto run = Start();
        const MainForm& form = *run->startup->Form();
        EXPECT_EQ(form.pos(), c.kept ? c.stored : Centred(form));
    }
}

// The first start keeps every later one out, even in the moment before it listens (its socket
// not there yet); once it has ended, a start takes over its place.
TEST_F(LifecycleTest, OnlyOneInstanceRunsAtATime) {
    const QString name = u"corvane-test-"_s + QUuid::createUuid().toString(QUuid::Id128);
    auto first = std::make_unique<SingleInstance>(name);
    ASSERT_TRUE(first->Claim());
    int activations = 0;
    QObject::connect(first.get(), &SingleInstance::ActivationRequested, [&] { ++activations; });
    EXPECT_FALSE(SingleInstance(name).Claim());
    EXPECT_TRUE(WaitFor([&] { return activations == 1; }));

    QLocalServer::removeServer(name);
    EXPECT_FALSE(SingleInstance(name).Claim());

    first.reset();
    SingleInstance next(name);
    EXPECT_TRUE(next.Claim());
}

TEST_F(LifecycleTest, SplashShowsEachStepsTextAndItsBarGrows) {
    ProgramRun run(SettingsFile(), AppFolder(), CommandLine{}, &answers_, &asked_, &told_);
    QStringList actions;
    QList<int> widths;
    QObject::connect(run.startup.get(), &Startup::SplashShown, [&](Splash* splash) {
        QObject::connect(splash, &Splash::Progress, [&](const QString& action, int stat) {
            if (actions.isEmpty() || actions.last() != action) actions.append(action);
            if (stat > 0 && (widths.isEmpty() || widths.last() != stat)) widths.append(stat);
        });
    });
    run.startup->Run();
    EXPECT_EQ(actions,
              (QStringList{u"Initializing..."_s, u"Opening Files..."_s, u"Getting Settings..."_s,
                           u"Opening Playlist..."_s, u"Showing Main Window..."_s,
                           u"Changing Colors..."_s, u"Preparing to show..."_s}));
    EXPECT_EQ(widths, (QList<int>{100, 320, 500, 600, 700, 800, 900, 1000, 1100, 1200, 1300, 1400,
                                  1600, 1700, 1850, 2000, 2200, 2300, 2595}));
}

TEST_F(LifecycleTest, OnlyALoneSlashDTurnsOnTheDebugMessages) {
    ASSERT_TRUE(WriteText(SettingsFile(), "[1.40]\nInstalled=True\nSlider 3=loud\n"));
    {
        auto run = Start({u"/d"_s});
        EXPECT_TRUE(run->startup->DebugMode());
        ASSERT_EQ(told_.size(), 1);
        EXPECT_TRUE(told_[0].startsWith(u"Debug Error Message - Get Defaults: "_s));
        EXPECT_TRUE(told_[0].contains(u"Slider 3"_s));
        // The bad value falls back to the default and start-up goes on.
        EXPECT_EQ(run->startup->Form()->Desk().Slider(3), 80);
        EXPECT_TRUE(run->startup->Form()->isVisible());
    }
    told_.clear();
    auto run = Start({u"/d"_s, u"x"_s});
    EXPECT_TRUE(told_.isEmpty());
    EXPECT_EQ(run->startup->Form()->Desk().Slider(3), 80);
}

TEST_F(LifecycleTest, SettingsThatCannotBeWrittenAreANoticeAndTheStartGoesOn) {
    // The settings folder cannot be made: a file has its name.
    ASSERT_TRUE(WriteText(dir_.filePath(u"config"_s), ""));
    auto run = Start();
    EXPECT_TRUE(run->startup->Form()->isVisible());
    EXPECT_TRUE(told_.isEmpty());
    EXPECT_TRUE(run->startup->Form()->Status()->text().startsWith(u"Couldn't save settings: "_s))
        << run->startup->Form()->Status()->text().toStdString();
}

TEST_F(LifecycleTest, UpgradeAnsweredYesImportsOnceAndTheOldSectionIsGone) {
    ASSERT_TRUE(WriteText(SettingsFile(),
                          "[1.30]\nPath=/music\nSlider 2=33\nFade Mode 4=2\nText Color=255\n"
                          "Random=False\n"));
    answers_ = {true};
    {
        auto run = Start();
        ASSERT_EQ(asked_.size(), 1);
        EXPECT_EQ(asked_[0], u"Upgrade: "_s + QLatin1String(kUpgradeQuestion));
        EXPECT_TRUE(told_.last().endsWith(QLatin1String(kUpgradeDone)));
        const engine::Desk& desk = run->startup->Form()->Desk();
        EXPECT_EQ(desk.Slider(2), 33);
        EXPECT_EQ(desk.GetFadeMode(4), FadeMode::Right);
        EXPECT_EQ(run->settings.GetText(keys::kPath), u"/music"_s);
        // Missing keys take 1.30's own defaults, not 1.40's.
        EXPECT_EQ(run->settings.GetText(keys::kFadeSeconds), u"5"_s);
        EXPECT_EQ(run->settings.GetText(keys::kRandom), u"False"_s);
        EXPECT_EQ(run->settings.GetText(keys::kLedColor), u"65535"_s);
        EXPECT_EQ(run->settings.GetPrefIn(keys::kPreviousSection, keys::kPath, QString()),
                  QString());
        EXPECT_EQ(run->startup->Form()->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    }
    asked_.clear();
    auto again = Start();
    EXPECT_TRUE(asked_.isEmpty());
    EXPECT_EQ(again->startup->Form()->Desk().Slider(2), 33);
}

TEST_F(LifecycleTest, UpgradeAnsweredNoDropsTheOldSectionAndNeverAsksAgain) {
    ASSERT_TRUE(WriteText(SettingsFile(), "[1.30]\nPath=/music\nSlider 2=33\n"));
    answers_ = {false};
    {
        auto run = Start();
        EXPECT_EQ(asked_.size(), 1);
        EXPECT_EQ(run->startup->Form()->Desk().Slider(2), 80);
        EXPECT_FALSE(ReadBytes(SettingsFile()).contains("1.30"));
    }
    // Even if the marker were lost, nothing is left to ask about.
    Settings(*std::make_unique<IniFiles>(), SettingsFile()).DeleteSection(keys::kSection);
    asked_.clear();
    Start();
    EXPECT_TRUE(asked_.isEmpty());
}

TEST_F(LifecycleTest, ACommandLineSoundFilePlaysOnLine1InsteadOfItsSavedFile) {
    const QByteArray song = Fixture("song_8s_b.wav").toUtf8();
    ASSERT_TRUE(WriteSavedSettings(SettingsFile(), dir_.filePath(u"saved.m3u"_s),
                                   "File 1=" + song + "\nFile 2=" + song + "\n"));
    auto run = Start({Fixture("song_8s_a.wav")});
    audio::MediaPlayer* line1 = run->engine->Player(1);
    EXPECT_TRUE(WaitFor([&] { return line1->PlayState() == audio::MediaPlayer::kPlaying; }));
    EXPECT_EQ(line1->FileName(), Fixture("song_8s_a.wav"));
    // Line 2's saved file is opened once the window has painted.
    EXPECT_TRUE(
        WaitFor([&] { return run->engine->Player(2)->FileName() == Fixture("song_8s_b.wav"); }));
    // The saved playlist is still restored: only a command-line playlist replaces it.
    EXPECT_EQ(run->playlist.ListName, u"saved.m3u"_s);
    EXPECT_FALSE(run->startup->Form()->Pilot().AutoPilotOn());
}

// A command-line playlist that cannot be loaded starts nothing and says why, and the saved list
// is restored as on any start; one that loads replaces it and starts the AutoPilot.
TEST_F(LifecycleTest, ACommandLinePlaylistReplacesTheSavedOneAndExitStopsTheAutoPilot) {
    ASSERT_TRUE(WriteSavedSettings(SettingsFile(), dir_.filePath(u"saved.m3u"_s)));
    const QString missing = dir_.filePath(u"missing.m3u"_s);
    {
        auto run = Start({missing});
        EXPECT_FALSE(run->startup->Form()->Pilot().AutoPilotOn());
        EXPECT_TRUE(run->startup->Form()->Desk().Status().contains(missing));
        EXPECT_EQ(run->startup->Form()->windowTitle(), u"CVN v.1.40 - saved"_s);
    }
    const QString given = dir_.filePath(u"given.m3u"_s);
    ASSERT_TRUE(WriteList(given, {"song_8s_a.wav", "song_8s_b.wav"}));
    auto run = Start({given});
    EXPECT_EQ(run->playlist.ListName, u"given.m3u"_s);
    EXPECT_EQ(run->playlist.SongList.size(), 2);
    EXPECT_TRUE(run->startup->Form()->Pilot().AutoPilotOn());
    EXPECT_FALSE(run->startup->Form()->Pilot().NextSongPath().isEmpty());
    answers_ = {true};
    EXPECT_TRUE(run->startup->ExitProgram(true));
    EXPECT_FALSE(run->startup->Form()->Pilot().AutoPilotOn());
    EXPECT_FALSE(run->startup->Form()->Desk().IsPlaying(1));
}

TEST_F(LifecycleTest, DecliningTheExitQuestionLeavesEverythingRunning) {
    auto run = Start();
    MainForm& form = *run->startup->Form();
    ASSERT_TRUE(form.Desk().FileOpen(1, Fixture("song_8s_a.wav")));
    ASSERT_TRUE(
        WaitFor([&] { return run->engine->Player(1)->OpenState() == audio::MediaPlayer::kOpen; }));
    form.Desk().Play(1);
    ASSERT_TRUE(form.Desk().IsPlaying(1));

    answers_ = {false};
    EXPECT_FALSE(run->startup->ExitProgram(true));
    EXPECT_EQ(asked_.last(),
              QApplication::applicationName() + u": "_s + QLatin1String(Startup::kExitQuestion));
    answers_ = {false};
    EXPECT_FALSE(form.close());  // the window's close button asks the same
    EXPECT_EQ(asked_.size(), 2);
    EXPECT_TRUE(form.isVisible());
    EXPECT_TRUE(form.Desk().IsPlaying(1));
    EXPECT_TRUE(form.Timer1().isActive());
    EXPECT_FALSE(run->startup->Closing());
    EXPECT_EQ(run->ended, 0);
    EXPECT_FALSE(run->settings.Has(keys::kMainTop));

    answers_ = {true};
    EXPECT_TRUE(form.close());
    EXPECT_TRUE(run->startup->Closing());
    EXPECT_FALSE(form.Desk().IsPlaying(1));
    EXPECT_EQ(run->ended, 1);
    EXPECT_EQ(run->settings.GetInt(keys::kMainLeft), appearance::kTwipsPerPixel * form.x());
}

// Cancel to the Playlist Editor's "Save Changes to …?" keeps the program running with the
// unsaved list, rather than ending with it lost; No lets the exit go on.
TEST_F(LifecycleTest, UnsavedEditorChangesCanDeclineTheExit) {
    auto run = Start();
    MainForm& form = *run->startup->Form();
    QList<SaveAnswer> saveAnswers{SaveAnswer::Cancel, SaveAnswer::No};
    QStringList saveAsked;
    WindowDialogs dialogs;
    dialogs.editor.confirm = [&](const QString& question) {
        saveAsked.append(question);
        return saveAnswers.takeFirst();
    };
    form.Windows().SetDialogs(dialogs);
    editor::ListEditor& editor = form.Windows().Editor();
    editor.OpenEditor();
    editor.Editing().AddAll(Fixture(""), {u"song_8s_a.wav"_s});
    ASSERT_TRUE(editor.Editing().Changed());
    ASSERT_TRUE(form.Desk().FileOpen(1, Fixture("song_8s_a.wav")));
    ASSERT_TRUE(
        WaitFor([&] { return run->engine->Player(1)->OpenState() == audio::MediaPlayer::kOpen; }));
    form.Desk().Play(1);

    answers_ = {true};
    EXPECT_FALSE(run->startup->ExitProgram(true));
    EXPECT_EQ(saveAsked, QStringList{u"Save Changes to Untitled?"_s});
    EXPECT_TRUE(editor.EditorOpen());
    EXPECT_TRUE(editor.Editing().Changed());
    EXPECT_TRUE(form.Desk().IsPlaying(1));
    EXPECT_FALSE(run->startup->Closing());
    EXPECT_EQ(run->ended, 0);

    answers_ = {true};
    EXPECT_TRUE(run->startup->ExitProgram(true));
    EXPECT_EQ(saveAsked.size(), 2);  // asked once more, not again while the windows unload
    EXPECT_FALSE(editor.EditorOpen());
    EXPECT_EQ(run->ended, 1);
}

TEST_F(LifecycleTest, AGarbageSettingsFileIsKeptAndWhatCanBeReadIsUsed) {
    static const char kGarbage[] =
        "\x00\xff\xfe binary\x01\x02 junk\n[1.40]\nSlider 5=42\n\x7f\x00=\x03\n"
        "half a line without equals\nFade Mode 2=0\n\xc3\x28\xa0\n";
    const QByteArray garbage(kGarbage, sizeof kGarbage - 1);  // NUL bytes included
    ASSERT_TRUE(WriteText(SettingsFile(), garbage));
    const QString backup = SettingsFile() + u".bak"_s;
    {
        auto run = Start();
        const engine::Desk& desk = run->startup->Form()->Desk();
        EXPECT_EQ(desk.Slider(5), 42);
        EXPECT_EQ(desk.GetFadeMode(2), FadeMode::Left);
        EXPECT_EQ(desk.Slider(4), 80);
        // The first rewrite (the first-start marker) kept the file as it was.
        EXPECT_EQ(ReadBytes(backup), garbage);
        const QByteArray now = ReadBytes(SettingsFile());
        EXPECT_TRUE(now.contains("Slider 5=42"));
        EXPECT_FALSE(now.contains("junk"));
        EXPECT_FALSE(now.contains('\0'));
        answers_ = {true};
        run->startup->ExitProgram(true);
    }
    // Later rewrites leave the backup alone.
    EXPECT_EQ(ReadBytes(backup), garbage);
    auto run = Start();
    EXPECT_EQ(run->startup->Form()->Desk().Slider(5), 42);
}

}  // namespace
}  // namespace corvane::app::testing
