#include "settings/settings.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <csignal>
#include <functional>

#include "support/files.h"
#include "support/qstring_printer.h"

namespace corvane {
namespace {

using namespace Qt::StringLiterals;

class SettingsTest : public ::testing::Test {
protected:
    QString FileText() const { return QString::fromUtf8(ReadBytes(file_)); }
    void Store(const QString& key, const QString& value) {
        ASSERT_TRUE(ini_.WriteIni(u"1.40"_s, key, value, file_));
    }

    QTemporaryDir dir_;
    QString file_ = dir_.filePath(u"Corvane/Corvane.ini"_s);
    IniFiles ini_;
    Settings settings_{ini_, file_, keys::DefaultFolders{u"/opt/corvane"_s, u"/home/dj/data"_s}};
};

TEST_F(SettingsTest, GetPrefGivesTheDefaultForMissingOrEmptyKeys) {
    EXPECT_EQ(settings_.GetPref(u"Face"_s, u"Sample"_s), u"Sample"_s);
    Store(u"Face"_s, QString());
    EXPECT_EQ(settings_.GetPref(u"Face"_s, u"Sample"_s), u"Sample"_s);
    EXPECT_FALSE(settings_.Has(u"Face"_s));
    Store(u"Face"_s, u"Night"_s);
    EXPECT_EQ(settings_.GetPref(u"face"_s, u"Sample"_s), u"Night"_s);
    EXPECT_TRUE(settings_.Has(u"FACE"_s));

    // The line-form playlist writer's "Playlist" is the same entry as "PlayList".
    EXPECT_TRUE(settings_.SavePref(u"Playlist"_s, u"/music/a.cvn"_s));
    EXPECT_EQ(settings_.GetText(keys::kPlayList), u"/music/a.cvn"_s);
    EXPECT_TRUE(settings_.SavePref(keys::kPlayList, u"/music/b.cvn"_s));
    EXPECT_EQ(FileText(), u"[1.40]\nFace=Night\nPlaylist=/music/b.cvn\n"_s);
}

TEST_F(SettingsTest, SavePrefStoresTheTextForms) {
    EXPECT_TRUE(settings_.SavePref(keys::kLogging, true));
    EXPECT_TRUE(settings_.SavePref(keys::kRandom, false));
    EXPECT_TRUE(settings_.SavePref(keys::SliderKey(3), 42));
    EXPECT_TRUE(settings_.SavePref(keys::kLedColor, -1));
    EXPECT_TRUE(settings_.SavePref(keys::kViewLeft, qint64(4294967296)));
    EXPECT_TRUE(settings_.SavePref(keys::kMainTop, 1234.5));
    EXPECT_TRUE(settings_.SavePref(keys::kMicTop, 0.1f));
    EXPECT_FALSE(settings_.SavePref(keys::kMicLeft, std::nan("")));
    EXPECT_FALSE(settings_.SavePref(keys::kFace, u"two\nlines"_s));
    EXPECT_EQ(FileText(),
              u"[1.40]\nLogging=True\nRandom=False\nSlider 3=42\nLED Color=-1\n"
              "ViewLeft=4294967296\nMain Top=1234.5\nMic Top=0.10000000149011612\n"_s);
    EXPECT_FLOAT_EQ(float(settings_.GetDouble(keys::kMicTop)), 0.1f);
}

TEST_F(SettingsTest, TypedReadersConvertOrFallBackToTheDefault) {
    const struct {
        const char* stored;
        bool expected;
    } bools[] = {{"True", true}, {"false", false}, {" TRUE ", true}, {"1", true},
                 {"-1", true},   {"0", false},     {"0.0", false},   {"2.5", true},
                 {"yes", true},  {"", true}};  // the last two: not Booleans, default "True"
    for (const auto& b : bools) {
        Store(keys::kLogAll, QLatin1String(b.stored));
        EXPECT_EQ(settings_.GetBool(keys::kLogAll), b.expected) << b.stored;
    }

    const struct {
        const char* stored;
        int expected;
    } ints[] = {{"25", 25},    {" -7 ", -7}, {"2.5", 2}, {"3.5", 4},          {"-2.5", -2},
                {"1e3", 1000}, {"fast", 50}, {"", 50},   {"99999999999", 50}, {"inf", 50}};
    for (const auto& i : ints) {
        Store(keys::kFadeSpeed, QLatin1String(i.stored));
        EXPECT_EQ(settings_.GetInt(keys::kFadeSpeed), i.expected) << i.stored;
    }

    Store(keys::kViewWidth, u"7000.25"_s);
    EXPECT_DOUBLE_EQ(settings_.GetDouble(keys::kViewWidth), 7000.25);
    Store(keys::kViewWidth, u"1,5"_s);
    EXPECT_DOUBLE_EQ(settings_.GetDouble(keys::kViewWidth), 7275.0);
}

TEST_F(SettingsTest, DefaultsComeFromTheKeyTable) {
    EXPECT_EQ(settings_.GetText(keys::kLogFile), u"/home/dj/data/songs.log"_s);
    EXPECT_EQ(settings_.GetText(keys::kPath), u"/opt/corvane"_s);

    // The text export follows the log file in use.
    EXPECT_EQ(settings_.GetText(keys::kLastTextLog), u"/home/dj/data/songs.txt"_s);
    Store(keys::kLogFile, u"/srv/logs.d/played"_s);
    EXPECT_EQ(settings_.GetText(keys::kLastTextLog), u"/srv/logs.d/played.txt"_s);
    EXPECT_EQ(keys::TextLogFor(u"C:\\Logs\\week.log"_s), u"C:\\Logs\\week.txt"_s);

    // Per-line keys exist for their own lines only.
    EXPECT_TRUE(keys::IsKnownKey(keys::FileKey(6)));
    EXPECT_TRUE(keys::IsKnownKey(u"asof"_s));
    for (const QString& unknown : {keys::SliderKey(8), keys::FileKey(0), keys::LoopKey(7),
                                   u"Slider 03"_s, u"Slider"_s, u"Colour"_s})
        EXPECT_FALSE(keys::IsKnownKey(unknown)) << unknown.toStdString();
}

// A failing write is told once with its reason, and again only after a write has succeeded;
// each change is still tried. Both ways of failing work for root too.
TEST_F(SettingsTest, AFailedWriteIsToldOnceUntilAWriteSucceeds) {
    struct Case {
        const char* name;
        const char* reason;
        std::function<void()> breakIt;
        std::function<void()> mend;
    };
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const QString folder = QFileInfo(file_).absolutePath();
    const Case cases[] = {
        {"file size limit", "File too large",
         [&] {
             struct rlimit small = saved;
             small.rlim_cur = 256;
             ::setrlimit(RLIMIT_FSIZE, &small);
         },
         [&] { ::setrlimit(RLIMIT_FSIZE, &saved); }},
        {"folder is a file", "could not be made",
         [&] {
             QDir(folder).removeRecursively();
             QFile blocker(folder);
             blocker.open(QIODevice::WriteOnly);
         },
         [&] { QFile::remove(folder); }},
    };
    QStringList told;
    settings_.SetWriteFailureNotice([&told](const QString& message) { told.append(message); });
    const QString big(300, QLatin1Char('x'));
    for (const Case& c : cases) {
        told.clear();
        c.breakIt();
        EXPECT_FALSE(settings_.SavePref(u"Face"_s, big));
        EXPECT_FALSE(settings_.SavePref(u"Path"_s, big));
        c.mend();
        EXPECT_TRUE(settings_.SavePref(u"Path"_s, big));
        c.breakIt();
        EXPECT_FALSE(settings_.SavePref(u"Face"_s, big + u"y"_s));
        c.mend();
        EXPECT_TRUE(settings_.SavePref(u"Face"_s, u"Night"_s));
        ASSERT_EQ(told.size(), 2) << c.name;
        EXPECT_EQ(told[0], told[1]) << c.name;
        EXPECT_TRUE(told[0].startsWith(u"Couldn't save settings: "_s)) << c.name;
        EXPECT_TRUE(told[0].contains(QLatin1String(c.reason))) << told[0].toStdString();
        EXPECT_TRUE(told[0].endsWith(u"."_s)) << c.name;
        // A value refused before writing is no failure of the disk.
        EXPECT_FALSE(settings_.SavePref(u"Face"_s, u"two\nlines"_s));
        EXPECT_EQ(told.size(), 2) << c.name;
    }
    std::signal(SIGXFSZ, oldHandler);
}

}  // namespace
}  // namespace corvane
