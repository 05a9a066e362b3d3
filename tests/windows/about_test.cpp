// The About box's credits: the scroll, its wrap and drag limits, and when the timer runs.
#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QUrl>

#include "about/credits_scroll.h"
#include "about/help.h"
#include "about/ui/about_box.h"
#include "appearance/ui/butt.h"
#include "editor_support.h"

namespace corvane::about {
namespace {

TEST(CreditsScroll, WrapsFromTheTopBackToBelowTheFrame) {
    CreditsScroll scroll;
    int ticks = 0;
    while (scroll.Top() <= 0 && ticks < 1000) {
        scroll.Tick();
        ++ticks;
    }
    // 0 down to -4800 in steps of 15 is 320 ticks; reaching -4800 is already the wrap.
    EXPECT_EQ(ticks, 320);
    EXPECT_EQ(scroll.Top(), 1800);
    for (int i = 0; i < 120; ++i) scroll.Tick();
    EXPECT_EQ(scroll.Top(), 0);
}

TEST(CreditsScroll, DragsWithinItsLimitsAndStopsTheScrollMeanwhile) {
    CreditsScroll scroll;
    scroll.Activate();
    scroll.Press(300.4);
    EXPECT_FALSE(scroll.Running());
    EXPECT_TRUE(scroll.Drag(1800));  // grabbed at 300: the top moves by 1500
    EXPECT_EQ(scroll.Top(), 1500);
    EXPECT_TRUE(scroll.Drag(600));
    EXPECT_EQ(scroll.Top(), 1800);
    EXPECT_FALSE(scroll.Drag(315));  // 1815: below the frame
    EXPECT_EQ(scroll.Top(), 1800);
    EXPECT_TRUE(scroll.Drag(300 - 6600));
    EXPECT_EQ(scroll.Top(), -4800);
    EXPECT_FALSE(scroll.Drag(285));  // -4815
    EXPECT_EQ(scroll.Top(), -4800);
    scroll.Release();
    EXPECT_TRUE(scroll.Running());
}

TEST(AboutBox, ScrollsOnlyWhileItIsTheActiveWindow) {
    editor::testing::EnsureApplication();
    const QUrl help(QStringLiteral("file:///share/cvnhelp.html#about"));
    QList<QUrl> opened;
    AboutBox box(help, [&opened](const QUrl& url) {
        opened.append(url);
        return true;
    });
    const auto send = [&box](QEvent::Type type) {
        QEvent event(type);
        QCoreApplication::sendEvent(&box, &event);
    };
    box.show();
    send(QEvent::WindowActivate);
    EXPECT_TRUE(box.Timer1().isActive());
    box.Timer1Tick();
    EXPECT_EQ(box.Label2()->y(), -1);

    send(QEvent::WindowDeactivate);  // another window became active
    EXPECT_FALSE(box.Timer1().isActive());
    send(QEvent::WindowActivate);
    EXPECT_TRUE(box.Timer1().isActive());

    // Holding the credits stops them; letting go starts them again.
    QTest::mousePress(box.Label2(), Qt::LeftButton, {}, QPoint(10, 20));
    EXPECT_FALSE(box.Timer1().isActive());
    QMouseEvent move(QEvent::MouseMove, QPointF(10, 50), box.Label2()->mapToGlobal(QPointF(10, 50)),
                     Qt::NoButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(box.Label2(), &move);
    EXPECT_EQ(box.Scroll().Top(), -15 + 30 * 15);
    EXPECT_EQ(box.Label2()->y(), 29);
    QTest::mouseRelease(box.Label2(), Qt::LeftButton, {}, QPoint(10, 50));
    EXPECT_TRUE(box.Timer1().isActive());

    QTest::mouseClick(box.Image1(), Qt::LeftButton);
    EXPECT_EQ(opened, QList<QUrl>{help});

    int closed = 0;
    QObject::connect(&box, &AboutBox::Closed, [&closed] { ++closed; });
    Q_EMIT box.Butt1()->Click();
    EXPECT_FALSE(box.isVisible());
    EXPECT_FALSE(box.Timer1().isActive());
    EXPECT_EQ(closed, 1);
}

// The path in the message is the one asked for; the wiring test opens it successfully.
TEST(Help, AFailedOpenTellsWhereTheManualIs) {
    QStringList messages;
    EXPECT_FALSE(OpenHelp(
        QStringLiteral("/opt/corvane"), [](const QUrl&) { return false; },
        [&messages](const QString& text) { messages.append(text); }));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith(
        QStringLiteral("Could not open the help file /opt/corvane/cvnhelp.html.\n\n")));
    EXPECT_TRUE(messages[0].endsWith(QStringLiteral(
        "You may have to double-click the help file in CVN's folder in order to view help.")));
}

}  // namespace
}  // namespace corvane::about
