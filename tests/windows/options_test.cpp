// The Options dialog on the real main window: opening stores nothing, each control stores its
// key and acts at once, the number fields clamp, and the log viewer's way in shows only logging.
// The Audio tab's headphone choices over a fake host: what is offered, and that each change is
// stored and applied at once.
#include <QCheckBox>
#include <QComboBox>
#include <QDial>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>

#include "app/desk_panels.h"
#include "app/log_wiring.h"
#include "app/options_wiring.h"
#include "appearance/ui/butt.h"
#include "autopilot/autopilot.h"
#include "engine/crossfader.h"
#include "options/option_fields.h"
#include "options/ui/headphone_section.h"
#include "songlog/songlog.h"
#include "support/desk_test_fixture.h"
#include "support/mainform_support.h"
#include "support/qstring_printer.h"

namespace corvane::app::testing {
namespace {

using options::Options;

TEST(OptionFields, NumberFieldsClampToTheirRanges) {
    using options::ClampField;
    EXPECT_EQ(ClampField(options::kSpinUpField, QStringLiteral("1")), 2);
    EXPECT_EQ(ClampField(options::kSpinUpField, QStringLiteral("7")), 7);
    EXPECT_EQ(ClampField(options::kNoRepField, QStringLiteral("-3")), 0);
    EXPECT_EQ(ClampField(options::kNoRepField, QStringLiteral("99999999999999")), 300);
    EXPECT_EQ(ClampField(options::kFadeSecondsField, QStringLiteral("11")), 10);
    EXPECT_EQ(ClampField(options::kSpinUpField, QString()), 2);  // no number reads as 0
}

class OptionsTest : public MainFormTest {
protected:
    Options& Open(bool allTabs = true) {
        OptionsWiring& wiring = Form().OptionsWindow();
        wiring.SetLogFileChooser([this](QWidget*, const QString& current) {
            browsedFrom_ = current;
            return browseAnswer_;
        });
        if (allTabs) {
            Q_EMIT Form().Buttons()->Button(ButtonRow::Options1)->Click();
        } else {
            Q_EMIT Form().LogViewer().OptionsRequested(true);
        }
        EXPECT_TRUE(wiring.OptionsOpen());
        return *wiring.Dialog();
    }

    template <typename W>
    W* Control(const char* name) {
        W* widget = Form().OptionsWindow().Dialog()->findChild<W*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Click(const char* name) { Control<QAbstractButton>(name)->click(); }
    QByteArray SettingsBytes() const { return ReadBytes(settings_.File()); }

    QString browseAnswer_;
    QString browsedFrom_;
};

TEST_F(OptionsTest, OpeningStoresNothingAndLightsOptions1WhileOpen) {
    settings_.SavePref(keys::kFadeSpeed, 75);  // no speed button's
    settings_.SavePref(keys::kNoRep, 40);
    appearance::Butt* button = Form().Buttons()->Button(ButtonRow::Options1);
    const QByteArray before = SettingsBytes();
    Options& dialog = Open();
    EXPECT_EQ(SettingsBytes(), before);
    EXPECT_EQ(dialog.Tabs()->currentIndex(), Options::General);
    // Every caption whole, side by side, with no scrolling.
    const QTabBar* bar = dialog.Tabs()->tabBar();
    for (int tab = 0; tab < bar->count(); ++tab) {
        const QString caption = bar->tabText(tab).remove(QLatin1Char('&'));
        EXPECT_GT(bar->tabRect(tab).width(), bar->fontMetrics().horizontalAdvance(caption)) << tab;
        EXPECT_LE(bar->tabRect(tab).right(), bar->width() - 1) << tab;
    }
    EXPECT_EQ(Control<options::NumberBox>("Text2")->value(), 40);
    for (const char* speed : {"Option6", "Option7", "Option8"})
        EXPECT_FALSE(Control<QRadioButton>(speed)->isChecked()) << speed;
    const ColorScheme scheme = ColorScheme::FromSettings(settings_);
    EXPECT_EQ(button->TextColor(), scheme.hilite);

    Click("Command1");
    QCoreApplication::processEvents();
    EXPECT_FALSE(Form().OptionsWindow().OptionsOpen());
    EXPECT_EQ(button->TextColor(), scheme.text);
    EXPECT_EQ(SettingsBytes(), before);
}

TEST_F(OptionsTest, EachControlStoresItsKeyAndActsAtOnce) {
    settings_.SavePref(keys::kLimiter, false);  // applied at start too
    Open();
    EXPECT_FALSE(engine_->LimiterOn());
    EXPECT_FALSE(Control<QCheckBox>("Limiter")->isChecked());
    Click("Limiter");
    EXPECT_TRUE(settings_.GetBool(keys::kLimiter));
    EXPECT_TRUE(engine_->LimiterOn());
    Click("Limiter");
    EXPECT_FALSE(settings_.GetBool(keys::kLimiter));
    EXPECT_FALSE(engine_->LimiterOn());

    Click("Option3");  // "Back Color"
    Click("ColorBox17");
    EXPECT_EQ(settings_.GetInt(keys::kBackColor), 0x0000FF);
    EXPECT_EQ(Form().palette().color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(Form().OptionsWindow().Dialog()->MarkedBox(), 17);
    Click("Option1");  // the default LED colour is none of the boxes'
    EXPECT_EQ(Form().OptionsWindow().Dialog()->MarkedBox(), -1);

    Click("Option10");
    EXPECT_EQ(settings_.GetText(keys::kPriority), QStringLiteral("1"));
    EXPECT_EQ(Form().Timer1().interval(), 1);
    EXPECT_TRUE(Form().HighPriority());
    Click("Option11");
    EXPECT_EQ(settings_.GetText(keys::kPriority), QStringLiteral("300"));
    EXPECT_EQ(Form().Timer1().interval(), 300);

    const bool statusShown = !Form().Status()->isHidden();
    Click("Check6");
    EXPECT_EQ(settings_.GetInt(keys::kStatHelp), statusShown ? 0 : 1);
    EXPECT_EQ(Form().Status()->isHidden(), statusShown);

    Click("Option6");
    EXPECT_EQ(settings_.GetInt(keys::kFadeSpeed), 25);
    EXPECT_EQ(Form().CrossfaderModel().FadeSpeed(), 25);

    const bool asof = Control<QCheckBox>("Check1")->isChecked();
    Click("Check1");
    EXPECT_EQ(settings_.GetBool(keys::kAsof), !asof);
    EXPECT_EQ(Control<QCheckBox>("Check2")->isEnabled(), !asof);

    EXPECT_FALSE(Control<QListWidget>("List1")->isEnabled());
    EXPECT_FALSE(Control<QPushButton>("Command2")->isEnabled());
    Click("Check5");
    EXPECT_TRUE(settings_.GetBool(keys::kBackPic));
    EXPECT_TRUE(Control<QListWidget>("List1")->isEnabled());
    EXPECT_TRUE(Control<QPushButton>("Command2")->isEnabled());
}

// Choosing a face does its work in the click and leaves the event loop to the program: an
// event posted before the click is still waiting after it.
TEST_F(OptionsTest, ChoosingAFaceRunsNoEventLoopOfItsOwn) {
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("Faces/Plain")));
    settings_.SavePref(keys::kBackPic, true);
    qputenv("CORVANE_APP_FOLDER", dir_.path().toUtf8());
    Open();
    qunsetenv("CORVANE_APP_FOLDER");
    auto* list = Control<QListWidget>("List1");
    ASSERT_EQ(list->count(), 1);
    bool posted = false;
    QMetaObject::invokeMethod(
        qApp, [&posted] { posted = true; }, Qt::QueuedConnection);
    list->setCurrentRow(0);
    Q_EMIT list->itemClicked(list->item(0));
    EXPECT_EQ(settings_.GetText(keys::kFace), QStringLiteral("Plain"));
    EXPECT_FALSE(posted);
    QCoreApplication::processEvents();
    EXPECT_TRUE(posted);
}

TEST_F(OptionsTest, NumberFieldsClampWhenLeftAndReachTheAutoPilot) {
    Open();
    auto* spinUp = Control<options::NumberBox>("Text1");
    spinUp->Edit()->setText(QStringLiteral("50"));
    spinUp->interpretText();  // what leaving the field does
    EXPECT_EQ(spinUp->Edit()->text(), QStringLiteral("12"));
    EXPECT_EQ(settings_.GetInt(keys::kSpinUp), 12);
    EXPECT_EQ(Form().Pilot().SpinUp(), 12);

    auto* fade = Control<options::NumberBox>("Text3");
    fade->stepUp();
    EXPECT_EQ(settings_.GetInt(keys::kFadeSeconds), fade->value());
    EXPECT_EQ(Form().Pilot().FadeSeconds(), fade->value());
}

TEST_F(OptionsTest, TheLogViewersWayInShowsLoggingAlone) {
    settings_.SavePref(keys::kLogging, false);
    settings_.SavePref(keys::kLogFile, dir_.filePath(QStringLiteral("songs.log")));
    Form();  // start-up itself marks the first start
    const QByteArray before = SettingsBytes();
    Options& dialog = Open(false);
    EXPECT_EQ(SettingsBytes(), before);
    EXPECT_EQ(dialog.Tabs()->currentIndex(), Options::LoggingTab);
    for (int tab = 0; tab < dialog.Tabs()->count(); ++tab)
        EXPECT_EQ(dialog.Tabs()->isTabEnabled(tab), tab == Options::LoggingTab) << tab;
    EXPECT_FALSE(Control<QLineEdit>("txtFile")->isEnabled());

    Click("chLog");
    EXPECT_TRUE(settings_.GetBool(keys::kLogging));
    EXPECT_TRUE(Control<QLineEdit>("txtFile")->isEnabled());
    Click("opSong");
    EXPECT_FALSE(settings_.GetBool(keys::kLogPath));
    Click("opAp");
    EXPECT_FALSE(settings_.GetBool(keys::kLogAll));

    Click("cmdBrowse");  // cancelled
    EXPECT_EQ(browsedFrom_, dir_.filePath(QStringLiteral("songs.log")));
    EXPECT_EQ(settings_.GetText(keys::kLogFile), dir_.filePath(QStringLiteral("songs.log")));
    browseAnswer_ = dir_.filePath(QStringLiteral("other.log"));
    Click("cmdBrowse");
    EXPECT_EQ(settings_.GetText(keys::kLogFile), browseAnswer_);

    // A path being typed is no log file yet; it becomes one when the typing is done.
    const QString typed = dir_.filePath(QStringLiteral("new/songs.log"));
    Control<QLineEdit>("txtFile")->setText(typed);
    EXPECT_EQ(settings_.GetText(keys::kLogFile), browseAnswer_);
    EXPECT_EQ(Form().Log().LogFile(), browseAnswer_);
    Click("Command1");
    EXPECT_EQ(settings_.GetText(keys::kLogFile), typed);
    EXPECT_EQ(Form().Log().LogFile(), typed);
}

// The settings live in memory once read: a change works even when it cannot be stored.
TEST_F(OptionsTest, ChangesTakeEffectWhenTheSettingsCannotBeWritten) {
    const QString logFile = dir_.filePath(QStringLiteral("songs.log"));
    settings_.SavePref(keys::kLogFile, logFile);
    Open();
    QFile::remove(settings_.File());
    ASSERT_TRUE(QDir().mkdir(settings_.File()));  // every write fails from here on

    Click("chLog");
    Click("opFull");
    Form().Log().LogSong(QStringLiteral("/music/Song.mp3"));
    Form().Log().LogTimer_Timer();
    EXPECT_EQ(ini_.ReadIni(QStringLiteral("Songs"), QStringLiteral("1 File"), logFile),
              QStringLiteral("/music/Song.mp3"));

    const bool autoStop = Form().Desk().AutoStop();
    Click("Check1");
    EXPECT_EQ(Form().Desk().AutoStop(), !autoStop);
    const bool autoReset = Form().Desk().AutoReset();
    Click("Check2");
    EXPECT_EQ(Form().Desk().AutoReset(), !autoReset);
}

}  // namespace
}  // namespace corvane::app::testing

namespace corvane::options {
namespace {

class FakeHost : public HeadphoneHost {
public:
    QStringList OutputDevices() const override {
        return {QStringLiteral("DJ Card"), QStringLiteral("USB Headset")};
    }
    int DeviceChannels(const QString& name) const override {
        return name == QStringLiteral("DJ Card") ? 4 : 2;
    }
    void SetHeadphones(const QString& setting) override { target = setting; }
    void SetCueMix(int percent) override { mix = percent; }
    void SetHeadphoneLevel(int percent) override { level = percent; }

    QString target = QStringLiteral("unset");
    int mix = -1;
    int level = -1;
};

class HeadphoneSectionTest : public ::testing::Test, public TempSettings {
protected:
    static QComboBox* Combo(const HeadphoneSection& section) {
        return section.findChild<QComboBox*>(QStringLiteral("Headphones"));
    }
    std::unique_ptr<QCoreApplication> app_ = StartApplication<QApplication>();
    FakeHost host;
};

TEST_F(HeadphoneSectionTest, OffersTheOtherDevicesAndChannelsThreeFourOfAFourChannelMain) {
    using engine::testing::Strings;
    const struct {
        const char* main;
        QStringList items;
    } cases[] = {
        {"DJ Card", Strings({"None", "USB Headset", "Channels 3–4 of DJ Card"})},
        {"USB Headset", Strings({"None", "DJ Card"})},
    };
    for (const auto& c : cases) {
        settings_.SavePref(keys::kAudioDevice, QString::fromUtf8(c.main));
        HeadphoneSection section(settings_, host);
        QComboBox* combo = Combo(section);
        QStringList items;
        for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
        EXPECT_EQ(items, c.items);
        EXPECT_EQ(combo->currentIndex(), 0);  // None by default
    }
    EXPECT_EQ(host.target, QStringLiteral("unset"));  // showing applies nothing
}

TEST_F(HeadphoneSectionTest, EachChangeIsStoredAndApplied) {
    settings_.SavePref(keys::kAudioDevice, QStringLiteral("DJ Card"));
    HeadphoneSection section(settings_, host);
    QComboBox* combo = Combo(section);

    combo->setCurrentIndex(2);
    Q_EMIT combo->activated(2);
    EXPECT_EQ(host.target, QStringLiteral(":3-4"));
    EXPECT_EQ(settings_.GetText(keys::kHeadphones), QStringLiteral(":3-4"));
    section.findChild<QDial*>(QStringLiteral("CueMix"))->setValue(30);
    section.findChild<QDial*>(QStringLiteral("HeadphoneLevel"))->setValue(65);
    EXPECT_EQ(host.mix, 30);
    EXPECT_EQ(host.level, 65);
    EXPECT_EQ(settings_.GetInt(keys::kCueMix), 30);
    EXPECT_EQ(settings_.GetInt(keys::kHeadphoneLevel), 65);

    // A device not there now stays chosen when the tab is shown again.
    settings_.SavePref(keys::kHeadphones, QStringLiteral("Unplugged"));
    EXPECT_EQ(Combo(HeadphoneSection(settings_, host))->currentText(), QStringLiteral("Unplugged"));
}

}  // namespace
}  // namespace corvane::options
