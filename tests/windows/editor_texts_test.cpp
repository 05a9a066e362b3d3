#include "playlist/editor_texts.h"

#include <gtest/gtest.h>

#include "support/qstring_printer.h"

namespace corvane::editor {
namespace {

TEST(EditorTexts, SizesAreCutToTwoDecimalsInTheirUnit) {
    const QLocale c = QLocale::c();
    EXPECT_EQ(SizeText(0, c), QStringLiteral("0 Bytes"));
    EXPECT_EQ(SizeText(1023, c), QStringLiteral("1023 Bytes"));
    EXPECT_EQ(SizeText(1024, c), QStringLiteral("1 KB"));
    EXPECT_EQ(SizeText(1100, c), QStringLiteral("1.07 KB"));
    EXPECT_EQ(SizeText(1536, c), QStringLiteral("1.5 KB"));
    EXPECT_EQ(SizeText(1048575, c), QStringLiteral("1023.99 KB"));
    EXPECT_EQ(SizeText(1048576, c), QStringLiteral("1 MB"));
    EXPECT_EQ(SizeText(5LL * 1024 * 1048576 + 1048576 / 3, c), QStringLiteral("5120.33 MB"));
    EXPECT_EQ(SizeText(1100, QLocale(QLocale::German)), QStringLiteral("1,07 KB"));
}

TEST(EditorTexts, PlaylistsAreKnownByTheirLastThreeLetters) {
    for (const char* name : {"Set.PLS", "mix.m3u", "mix.M3U8", "listcvn"})
        EXPECT_TRUE(IsPlaylistFileName(QLatin1String(name))) << name;
    EXPECT_FALSE(IsPlaylistFileName(QStringLiteral("song.mp3")));
    EXPECT_EQ(TitleLine(QStringLiteral("Untitled"), 12), QStringLiteral("Untitled - 12 Titles."));
}

}  // namespace
}  // namespace corvane::editor
