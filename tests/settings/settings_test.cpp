#include "settings/settings.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cmath>

#include "support/qstring_printer.h"

namespace corvane {
namespace {

using namespace Qt::StringLiterals;

class SettingsTest : public ::testing::Test {
protected:
    QString FileText() const {
        QFile f(file_);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
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
    EXPECT_TRUE(settings_.Default(keys::kMainTop).isEmpty());

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

}  // namespace
}  // namespace corvane
