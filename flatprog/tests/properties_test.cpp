#include <gtest/gtest.h>

#include <QSignalSpy>
#include <memory>

#include "ombrel/color.h"
#include "ombrel/flatprog.h"

namespace corvane::ombrel {
namespace {

TEST(FlatProgProperties, EmptyBagGivesTheDefaults) {
    QString error;
    std::unique_ptr<FlatProg> bar(FlatProg::Restore({}, nullptr, &error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(bar->BackColor(), 0xFFFFFFu);
    EXPECT_TRUE(bar->Enabled());
    EXPECT_EQ(bar->BorderStyle(), 1);
    EXPECT_EQ(bar->FillColor(), 0x800000u);
    EXPECT_EQ(bar->Max(), 100);
    EXPECT_EQ(bar->Min(), 0);
    EXPECT_EQ(bar->Value(), 50);
    EXPECT_DOUBLE_EQ(bar->Fraction(), 0.0);
}

TEST(FlatProgProperties, SaveAndLoadRoundTrip) {
    FlatProg original;
    ASSERT_TRUE(original.SetBackColor(0x8000000Fu));
    original.SetEnabled(false);
    ASSERT_TRUE(original.SetBorderStyle(0));
    ASSERT_TRUE(original.SetFillColor(0x123456u));
    ASSERT_TRUE(original.SetMax(-10));
    ASSERT_TRUE(original.SetMin(-300));
    original.SetValue(-200);

    const QVariantMap bag = original.Save();
    EXPECT_EQ(bag.keys(),
              (QStringList{QStringLiteral("BackColor"), QStringLiteral("BorderStyle"),
                           QStringLiteral("Enabled"), QStringLiteral("FillColor"),
                           QStringLiteral("Max"), QStringLiteral("Min"), QStringLiteral("Value")}));
    std::unique_ptr<FlatProg> copy(FlatProg::Restore(bag));
    EXPECT_EQ(copy->Save(), bag);
    EXPECT_FALSE(copy->Enabled());

    // Loading notifies nothing: the host restores, it does not change.
    QSignalSpy names(copy.get(), &FlatProg::PropertyChanged);
    ASSERT_TRUE(copy->Load(FlatProg().Save()));
    EXPECT_EQ(names.count(), 0);
    EXPECT_TRUE(copy->Enabled());
}

TEST(FlatProgProperties, UnreadableEntriesFallBackAndAreNamed) {
    const QVariantMap bag{
        {QStringLiteral("BackColor"), 0x800000FFu},            // no such system colour
        {QStringLiteral("Enabled"), QStringLiteral("false")},  // text is fine
        {QStringLiteral("BorderStyle"), 7},
        {QStringLiteral("FillColor"), -2147483633},  // 0x8000000F stored as a signed number
        {QStringLiteral("Max"), QStringLiteral("lots")},
        {QStringLiteral("Min"), 1e12},
        {QStringLiteral("Value"), QStringLiteral("42")},
    };
    QString error;
    std::unique_ptr<FlatProg> bar(FlatProg::Restore(bag, nullptr, &error));
    EXPECT_EQ(error, QStringLiteral("Unreadable FlatProg properties, defaults used: BackColor, "
                                    "BorderStyle, Max, Min"));
    EXPECT_EQ(bar->BackColor(), 0xFFFFFFu);
    EXPECT_FALSE(bar->Enabled());
    EXPECT_EQ(bar->BorderStyle(), 1);
    EXPECT_EQ(bar->FillColor(), 0x8000000Fu);
    EXPECT_EQ(bar->Max(), 100);
    EXPECT_EQ(bar->Min(), 0);
    EXPECT_EQ(bar->Value(), 42);
}

TEST(FlatProgProperties, InvalidAppearanceValuesAreRefused) {
    FlatProg bar;
    QSignalSpy names(&bar, &FlatProg::PropertyChanged);
    EXPECT_FALSE(bar.SetBorderStyle(2));
    EXPECT_FALSE(bar.SetBackColor(0x80000100u));
    EXPECT_FALSE(bar.SetFillColor(0xFFFFFFFFu));
    EXPECT_EQ(bar.BorderStyle(), 1);
    EXPECT_EQ(bar.BackColor(), 0xFFFFFFu);
    EXPECT_EQ(bar.FillColor(), 0x800000u);
    EXPECT_EQ(names.count(), 0);
}

TEST(ColorValues, PlainValuesHaveRedInTheLowByte) {
    const QPalette palette;
    EXPECT_EQ(ToQColor(0x800000u, palette), QColor(0, 0, 128));
    EXPECT_EQ(ToQColor(0x0000FFu, palette), QColor(255, 0, 0));
    EXPECT_EQ(ToColorValue(QColor(0x12, 0x34, 0x56)), 0x563412u);
    EXPECT_EQ(ToColorValue(ToQColor(0xABCDEFu, palette)), 0xABCDEFu);
}

TEST(ColorValues, SystemValuesFollowThePalette) {
    QPalette palette;
    const auto distinct = [](int i) { return QColor(i, 255 - i, (i * 37) % 256); };
    const std::pair<quint32, QPalette::ColorRole> expected[] = {
        {0x8000000Fu, QPalette::Button},     {0x80000005u, QPalette::Base},
        {0x80000008u, QPalette::Text},       {0x80000012u, QPalette::ButtonText},
        {0x8000000Du, QPalette::Highlight},  {0x8000000Eu, QPalette::HighlightedText},
        {0x80000010u, QPalette::Dark},       {0x80000014u, QPalette::Light},
        {0x80000018u, QPalette::ToolTipBase}};
    int i = 0;
    for (const auto& [value, role] : expected) {
        palette.setColor(role, distinct(i++));
    }
    for (const auto& [value, role] : expected) {
        EXPECT_TRUE(IsValidColorValue(value));
        EXPECT_EQ(ToQColor(value, palette), palette.color(role)) << std::hex << value;
    }
    EXPECT_FALSE(IsValidColorValue(0x8000001Fu));
    EXPECT_FALSE(ToQColor(0x8000001Fu, palette).isValid());
}

}  // namespace
}  // namespace corvane::ombrel
