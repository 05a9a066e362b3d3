// The Audio tab's headphone choices: what is offered, and that each change is stored and
// applied at once.
#include "options/ui/headphone_section.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDial>

#include "settings/keys.h"
#include "support/files.h"
#include "support/qstring_printer.h"
#include "support/temp_settings.h"

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

QStringList Items(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
    return items;
}

TEST(HeadphoneSectionTest, OffersTheOtherDevicesAndChannelsThreeFourOfAFourChannelMain) {
    auto app = StartApplication<QApplication>();
    TempSettings temp;
    Settings& settings = temp.settings_;
    FakeHost host;
    struct Case {
        QString main;
        QStringList items;
    };
    const Case cases[] = {
        {QStringLiteral("DJ Card"),
         {QStringLiteral("None"), QStringLiteral("USB Headset"),
          QStringLiteral("Channels 3–4 of DJ Card")}},
        {QStringLiteral("USB Headset"), {QStringLiteral("None"), QStringLiteral("DJ Card")}},
    };
    for (const Case& c : cases) {
        settings.SavePref(keys::kAudioDevice, c.main);
        HeadphoneSection section(settings, host);
        auto* combo = section.findChild<QComboBox*>(QStringLiteral("Headphones"));
        EXPECT_EQ(Items(combo), c.items);
        EXPECT_EQ(combo->currentIndex(), 0);  // None by default
    }
    EXPECT_EQ(host.target, QStringLiteral("unset"));  // showing applies nothing
}

TEST(HeadphoneSectionTest, EachChangeIsStoredAndApplied) {
    auto app = StartApplication<QApplication>();
    TempSettings temp;
    Settings& settings = temp.settings_;
    settings.SavePref(keys::kAudioDevice, QStringLiteral("DJ Card"));
    FakeHost host;
    HeadphoneSection section(settings, host);
    auto* combo = section.findChild<QComboBox*>(QStringLiteral("Headphones"));
    EXPECT_EQ(section.findChild<QDial*>(QStringLiteral("HeadphoneLevel"))->value(), 80);

    combo->setCurrentIndex(2);
    Q_EMIT combo->activated(2);
    EXPECT_EQ(host.target, QStringLiteral(":3-4"));
    EXPECT_EQ(settings.GetText(keys::kHeadphones), QStringLiteral(":3-4"));
    section.findChild<QDial*>(QStringLiteral("CueMix"))->setValue(30);
    section.findChild<QDial*>(QStringLiteral("HeadphoneLevel"))->setValue(65);
    EXPECT_EQ(host.mix, 30);
    EXPECT_EQ(host.level, 65);
    EXPECT_EQ(settings.GetInt(keys::kCueMix), 30);
    EXPECT_EQ(settings.GetInt(keys::kHeadphoneLevel), 65);

    // A device not there now stays chosen when the tab is shown again.
    settings.SavePref(keys::kHeadphones, QStringLiteral("Unplugged"));
    HeadphoneSection again(settings, host);
    EXPECT_EQ(again.findChild<QComboBox*>(QStringLiteral("Headphones"))->currentText(),
              QStringLiteral("Unplugged"));
}

}  // namespace
}  // namespace corvane::options
