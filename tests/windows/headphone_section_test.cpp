// The Audio tab's headphone choices: what is offered, and that each change is stored and
// applied at once.
#include "options/ui/headphone_section.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDial>

#include "settings/keys.h"
#include "support/desk_test_fixture.h"
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
