#include "appearance/colors.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "support/files.h"
#include "support/temp_settings.h"

namespace corvane::appearance {
namespace {

TEST(FormatColor, WritesRedGreenBlueFromTheStoredOrder) {
    EXPECT_EQ(FormatColor(255), QStringLiteral("FF0000"));
    EXPECT_EQ(FormatColor(-1), QStringLiteral("FFFFFF"));
    EXPECT_EQ(FormatColor(0x123456), QStringLiteral("563412"));
    // Bits above the colour are no colour: they must not shift the digits.
    EXPECT_EQ(FormatColor(0x7F00FF00), QStringLiteral("00FF00"));
}

TEST(ParseColor, TurnsSixDigitsIntoALiteralAndAnythingElseIntoZero) {
    EXPECT_EQ(ParseColor(QStringLiteral("FF0000")), QStringLiteral("&H0000FF"));
    EXPECT_EQ(ColorFromLiteral(ParseColor(QStringLiteral("0000ff"))), 16711680);
    EXPECT_EQ(ParseColor(QStringLiteral("F00")), QStringLiteral("0"));
    EXPECT_EQ(ParseColor(QStringLiteral("FF00000")), QStringLiteral("0"));
    for (const char* bad : {"GG0000", "-12345", "+12345", " 1234 ", "0x1234"})
        EXPECT_FALSE(ColorFromLiteral(ParseColor(QLatin1String(bad)))) << bad;
}

TEST(FormatColor, EveryColourSurvivesTheRoundTrip) {
    for (ColorValue color : {0, 1, 255, 256, 65535, 65536, 0x00A0B0C0, 0xFFFFFF})
        EXPECT_EQ(ColorFromLiteral(ParseColor(FormatColor(color))), color) << color;
}

class FaceColorsFile : public ::testing::Test {
protected:
    QString Write(const char* text) {
        QFile file(path_);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        return path_;
    }

    QTemporaryDir dir_;
    QString path_ = dir_.filePath(QStringLiteral("colors.txt"));
    IniFiles ini_;
    SchemeColors current_{1, 2, 3, 4, 5};
};

TEST_F(FaceColorsFile, ReadsEveryKeyIntoItsColour) {
    Write(
        "[Colors]\r\nText=FF0000\r\nBackGround=000080\r\nLED=00FFFF\r\nHiLite=FFFF00\r\n"
        "Lines=404040\r\n[Lines]\r\nVisible=False\r\n");
    const std::optional<FaceColors> face = ReadFaceColors(ini_, path_, current_);
    ASSERT_TRUE(face);
    EXPECT_EQ(face->colors, (SchemeColors{255, 16776960, 4210752, 8388608, 65535}));
    EXPECT_EQ(face->linesVisible, false);
}

TEST_F(FaceColorsFile, WrongLengthReadsAsBlackAndNonHexKeepsTheColour) {
    Write("[Colors]\nText=FFF\nBackGround=ZZ0000\nLED=\nHiLite=FF00001\n[Lines]\nVisible=maybe\n");
    const std::optional<FaceColors> face = ReadFaceColors(ini_, path_, current_);
    ASSERT_TRUE(face);
    // A missing key (Lines) is empty text, so it too is the wrong length.
    EXPECT_EQ(face->colors, (SchemeColors{0, 0, 0, current_.back, 0}));
    EXPECT_FALSE(face->linesVisible);
}

TEST_F(FaceColorsFile, NoFileOrNoColoursSectionIsNoColourFile) {
    EXPECT_FALSE(ReadFaceColors(ini_, path_, current_));
    for (const char* text : {"", "\x89PNG\r\n\x1a\nbinary", "[Lines]\nVisible=True\n"}) {
        Write(text);
        EXPECT_FALSE(ReadFaceColors(ini_, path_, current_)) << text;
    }
}

// The whole round trip, lines hidden, is the faces window's Save Colors test.
TEST_F(FaceColorsFile, SavedSchemeReloadsExactlyExceptNoLedColourComesBackWhite) {
    SchemeColors scheme{14737632, kNoColor, 4210752, 0x203040, 255};
    ASSERT_TRUE(WriteFaceColors(ini_, path_, scheme, true));
    const std::optional<FaceColors> face = ReadFaceColors(ini_, path_, current_);
    ASSERT_TRUE(face);
    scheme.led = 0xFFFFFF;
    EXPECT_EQ(face->colors, scheme);
    EXPECT_EQ(face->linesVisible, true);
}

TEST_F(FaceColorsFile, WriterKeepsTheKeyOrderAndWhatElseTheFileHolds) {
    Write("; made by hand\n[Author]\nName=Someone\n");
    ASSERT_TRUE(WriteFaceColors(ini_, path_, SchemeColors{}, true));
    const QString text = QString::fromUtf8(ReadBytes(path_));
    EXPECT_TRUE(text.contains(QLatin1String("Name=Someone")));
    EXPECT_TRUE(text.contains(QLatin1String("; made by hand")));
    const QStringList order = {QStringLiteral("Text=E0E0E0"),  QStringLiteral("BackGround=000000"),
                               QStringLiteral("LED=FFFFFF"),   QStringLiteral("HiLite=FF0000"),
                               QStringLiteral("Lines=404040"), QStringLiteral("Visible=True")};
    qsizetype at = 0;
    for (const QString& line : order) {
        const qsizetype found = text.indexOf(line, at);
        EXPECT_GE(found, at) << line.toStdString();
        at = found;
    }
}

TEST_F(FaceColorsFile, AFailedWriteSaysSo) {
    // A folder that cannot exist: its parent is a file.
    const QString blocked = Write("[Colors]\n") + QStringLiteral("/colors.txt");
    EXPECT_FALSE(WriteFaceColors(ini_, blocked, SchemeColors{}, true));
    EXPECT_EQ(ReadBytes(path_), QByteArray("[Colors]\n"));
}

TEST(StoredSchemeColors, DefaultsAndTheFacesCyanLed) {
    TempSettings temp;
    Settings& settings = temp.settings_;
    EXPECT_EQ(StoredSchemeColors(settings), SchemeColors{});
    EXPECT_EQ(StoredSchemeColors(settings, kFaceLedColor).led, 16776960);
    ASSERT_TRUE(settings.SavePref(keys::kLedColor, QStringLiteral("green")));
    EXPECT_EQ(StoredSchemeColors(settings, kFaceLedColor).led, 16776960);
    ASSERT_TRUE(settings.SavePref(keys::kLedColor, 65280));
    ASSERT_TRUE(settings.SavePref(keys::kBackColor, 128));
    const SchemeColors stored = StoredSchemeColors(settings, kFaceLedColor);
    EXPECT_EQ(stored.led, 65280);
    EXPECT_EQ(stored.back, 128);
}

}  // namespace
}  // namespace corvane::appearance
