#include <QTemporaryDir>
#include <QTest>

#include "app/line_strip.h"
#include "appearance/ui/position_bar.h"
#include "support/mainform_support.h"

namespace corvane::app::testing {
namespace {

TEST_F(MainFormTest, PositionBarShowsTheOverviewSeeksOnAClickAndPausesOnARightClick) {
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    ASSERT_TRUE(Load(2, "sine1k_44100_stereo_s16.wav"));
    appearance::PositionBar* bar = Form().Strip(2)->Bar();
    EXPECT_TRUE(WaitFor([bar] { return bar->HasPeaks(); }));
    qunsetenv("XDG_CACHE_HOME");

    audio::MediaPlayer* player = engine_->Player(2);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() * 3 / 4, bar->height() / 2));
    EXPECT_NEAR(player->Position(), 1.5, 0.05);
    EXPECT_NEAR(bar->Progress(), 0.75, 0.03);

    Form().Desk().Play(2);
    QTest::mouseClick(bar, Qt::RightButton, {}, QPoint(2, 2));
    EXPECT_EQ(player->PlayState(), audio::MediaPlayer::kPaused);
    QTest::mouseClick(bar, Qt::RightButton, {}, QPoint(2, 2));
    EXPECT_EQ(player->PlayState(), audio::MediaPlayer::kPlaying);
}

}  // namespace
}  // namespace corvane::app::testing
