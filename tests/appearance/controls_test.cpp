#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "appearance/ui/butt.h"
#include "appearance/ui/minicrossfader.h"
#include "appearance/ui/minislider.h"
#include "appearance/ui/pan.h"
#include "appearance/ui/picture.h"
#include "appearance/ui/picturebutton.h"
#include "engine/crossfader.h"
#include "support/desk_fakes.h"
#include "support/files.h"

namespace corvane::appearance {
namespace {

// Widgets need a QApplication before any test runs, and before any logic test makes a bare
// QCoreApplication in the same process.
class WidgetEnvironment : public ::testing::Environment {
public:
    void SetUp() override { app_ = StartApplication<QApplication>(); }
    void TearDown() override { app_.reset(); }

private:
    std::unique_ptr<QCoreApplication> app_;
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new WidgetEnvironment);

// Mouse events carry positions in twips here; the widgets receive pixels, as from a real mouse.
// QTest's mouseMove drops the held buttons, so every event is built by hand.
void Mouse(QWidget& widget, QEvent::Type type, QPointF twips, Qt::MouseButton button,
           Qt::MouseButtons held) {
    const QPointF px = twips / 15.0;
    QMouseEvent event(type, px, widget.mapToGlobal(px), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}
void Press(QWidget& w, QPointF at, Qt::MouseButton b = Qt::LeftButton) {
    Mouse(w, QEvent::MouseButtonPress, at, b, b);
}
void Drag(QWidget& w, QPointF at, Qt::MouseButtons held = Qt::LeftButton) {
    Mouse(w, QEvent::MouseMove, at, Qt::NoButton, held);
}
void Release(QWidget& w, QPointF at, Qt::MouseButton b = Qt::LeftButton) {
    Mouse(w, QEvent::MouseButtonRelease, at, b, Qt::NoButton);
}
void DoubleClick(QWidget& w, QPointF at, Qt::MouseButton b = Qt::LeftButton) {
    Press(w, at, b);
    Release(w, at, b);
    Mouse(w, QEvent::MouseButtonDblClick, at, b, b);
    Release(w, at, b);
}

// ---- MiniSlider: knob 495 x 435 twips, 60 twips in from the left.

TEST(MiniSlider, SetValueTakesOnlyZeroToHundred) {
    MiniSlider slider;
    slider.SetValue(40);
    QSignalSpy scroll(&slider, &MiniSlider::Scroll);
    slider.SetValue(101);
    slider.SetValue(-1);
    EXPECT_EQ(scroll.count(), 0);
    EXPECT_EQ(slider.Value(), 40);
    slider.SetValue(0);
    EXPECT_EQ(scroll.count(), 1);
    EXPECT_EQ(slider.KnobTop(), 1065);
    slider.SetValue(53);  // 47 x 10.65 = 500.55, rounded down
    EXPECT_EQ(slider.KnobTop(), 500);
    slider.SetValue(100);
    EXPECT_EQ(slider.KnobTop(), 0);
}

TEST(MiniSlider, TrackPressCentresTheKnobOnThePointer) {
    MiniSlider slider;
    QSignalSpy scroll(&slider, &MiniSlider::Scroll);
    Press(slider, {300, 730});  // knob top 500: 100 - 46.95 = 53.05
    EXPECT_DOUBLE_EQ(slider.KnobTop(), 500);
    EXPECT_EQ(slider.Value(), 53);
    EXPECT_EQ(scroll.count(), 1);
}

TEST(MiniSlider, KnobDragClampsAtTheEndsAndWaitsOutsideTheSideWindow) {
    MiniSlider slider;
    slider.SetValue(50);  // knob top 532
    Press(slider, {300, 532 + 210});
    Drag(slider, {300, -6000});
    EXPECT_EQ(slider.Value(), 100);
    Drag(slider, {300, 9000});
    EXPECT_EQ(slider.Value(), 0);
    Drag(slider, {300, 210});
    ASSERT_EQ(slider.Value(), 100);
    // 3000 twips to either side: the knob stays; back inside, it follows again.
    Drag(slider, {300 + 3000, 900});
    Drag(slider, {300 - 3000, 900});
    EXPECT_EQ(slider.Value(), 100);
    Drag(slider, {300 + 2500, 900});
    EXPECT_DOUBLE_EQ(slider.KnobTop(), 690);
    QSignalSpy mouseUp(&slider, &MiniSlider::MouseUp);
    Release(slider, {300, 900});
    EXPECT_EQ(mouseUp.count(), 1);
}

TEST(MiniSlider, RightClickOnTheTrackRaisesRightClickThenMouseUpAndLeavesTheKnob) {
    MiniSlider slider;
    slider.SetValue(80);
    std::vector<std::string> names;
    QObject::connect(&slider, &MiniSlider::RightClick, [&] { names.emplace_back("RightClick"); });
    QObject::connect(&slider, &MiniSlider::MouseUp, [&] { names.emplace_back("MouseUp"); });
    QObject::connect(&slider, &MiniSlider::Scroll, [&] { names.emplace_back("Scroll"); });
    Press(slider, {300, 1300}, Qt::RightButton);
    Drag(slider, {300, 1350}, Qt::RightButton);
    Release(slider, {300, 1350}, Qt::RightButton);
    EXPECT_EQ(names, (std::vector<std::string>{"RightClick", "MouseUp"}));
    EXPECT_EQ(slider.Value(), 80);
}

// ---- Pan: knob 105 twips wide; grabbed 45 twips into it, a drag to X puts it at X - 45.

class PanTest : public ::testing::Test {
protected:
    void DragTo(double knobLeft) {
        Press(pan, {pan.KnobLeft() + 45, 120});
        Drag(pan, {knobLeft + 45, 120});
        Release(pan, {knobLeft + 45, 120});
    }
    Pan pan;
};

TEST_F(PanTest, DragSnapsNearTheCentreAndClampsAtTheEnds) {
    DragTo(500);
    EXPECT_EQ(pan.KnobLeft(), 480);
    EXPECT_EQ(pan.Value(), 0);
    DragTo(560);
    EXPECT_EQ(pan.Value(), 560);
    DragTo(-50);
    EXPECT_EQ(pan.KnobLeft(), 0);
    EXPECT_EQ(pan.Value(), -3360);
    DragTo(1000);
    EXPECT_EQ(pan.KnobLeft(), 960);
    EXPECT_EQ(pan.Value(), 3360);
    DragTo(420);  // the snap zone is open: its edges move the knob
    EXPECT_EQ(pan.Value(), -420);
}

TEST_F(PanTest, DragOutsideTheVerticalBandDoesNotMove) {
    Press(pan, {525, 120});
    Drag(pan, {800, 3000});
    EXPECT_EQ(pan.Value(), 0);
    Drag(pan, {800, 2850});
    EXPECT_EQ(pan.Value(), 1925);
}

TEST_F(PanTest, DoubleClickOnTheTrackCentres) {
    DragTo(900);
    QSignalSpy scroll(&pan, &Pan::Scroll);
    DoubleClick(pan, {60, 120});
    EXPECT_EQ(pan.KnobLeft(), 480);
    EXPECT_EQ(pan.Value(), 0);
    EXPECT_EQ(scroll.count(), 1);
}

// ---- Butt: 900 x 300 twips.

class ButtTest : public ::testing::Test {
protected:
    ButtTest() { butt.resize(60, 20); }
    Butt butt{QStringLiteral("Stop All")};
    QSignalSpy click{&butt, &Butt::Click};
};

TEST_F(ButtTest, DraggingOutCancelsAndComingBackRestores) {
    Press(butt, {450, 150});
    EXPECT_TRUE(butt.IsPressed());
    Drag(butt, {915, 150});
    EXPECT_FALSE(butt.IsPressed());
    Release(butt, {915, 150});
    EXPECT_EQ(click.count(), 0);

    Press(butt, {450, 150});
    Drag(butt, {450, -15});
    Drag(butt, {900, 300});  // the far edges still count as inside
    EXPECT_TRUE(butt.IsPressed());
    Release(butt, {900, 300});
    EXPECT_EQ(click.count(), 1);
}

TEST_F(ButtTest, RightButtonNeitherPressesNorClicksAndBothClicksOfADoubleClickCount) {
    Press(butt, {450, 150}, Qt::RightButton);
    EXPECT_FALSE(butt.IsPressed());
    Release(butt, {450, 150}, Qt::RightButton);
    DoubleClick(butt, {450, 150});
    EXPECT_EQ(click.count(), 2);
}

// ---- MiniCrossfader: knob 615 x 450 twips, grabbed 300 twips in, so a drag to X asks for
// X - 300.

class MiniCrossfaderTest : public ::testing::Test {
protected:
    void Grab() { Press(fader, {model.KnobPosition() + 300, 255}); }
    void DragTo(double wanted) {
        Grab();
        Drag(fader, {wanted + 300, 255});
        Release(fader, {wanted + 300, 255});
    }
    engine::testing::FakeTimers timers;
    engine::CrossfaderModel model{timers.Factory()};
    MiniCrossfader fader{model};
};

TEST_F(MiniCrossfaderTest, DragBeyondTheEndsGivesFullAndSilentLevels) {
    DragTo(-4000);
    EXPECT_EQ(model.KnobPosition(), 0);
    EXPECT_EQ(fader.LeftLevel(), 100);
    EXPECT_EQ(fader.RightLevel(), 0);
    DragTo(9000);
    EXPECT_EQ(model.KnobPosition(), 2280);
    EXPECT_EQ(fader.LeftLevel(), 0);
    EXPECT_EQ(fader.RightLevel(), 100);
    DragTo(1080);  // just outside the detent: the grab point is kept exactly
    EXPECT_EQ(model.KnobPosition(), 1080);
}

TEST_F(MiniCrossfaderTest, GrabbingTheKnobOrPressingTheTrackStopsAFade) {
    fader.AutoFadeRight();
    Grab();
    Release(fader, {model.KnobPosition() + 300, 255});
    EXPECT_EQ(model.Fading(), engine::CrossfaderModel::Fade::Idle);
    fader.AutoFadeLeft();
    Press(fader, {2800, 255}, Qt::RightButton);
    EXPECT_EQ(model.Fading(), engine::CrossfaderModel::Fade::Idle);
}

TEST_F(MiniCrossfaderTest, TrackDoubleClickResetsAndRightReleasesRaiseRightClick) {
    DragTo(2280);
    DoubleClick(fader, {300, 255});
    EXPECT_EQ(model.KnobPosition(), 1140);
    EXPECT_EQ(fader.LeftLevel(), 100);

    QSignalSpy rightClick(&fader, &MiniCrossfader::RightClick);
    Press(fader, {60, 255}, Qt::RightButton);
    Release(fader, {60, 255}, Qt::RightButton);
    Press(fader, {1440, 255}, Qt::RightButton);
    Release(fader, {1440, 255}, Qt::RightButton);
    EXPECT_EQ(rightClick.count(), 2);
    EXPECT_EQ(model.KnobPosition(), 1140);
}

// ---- PictureButton: 240 x 240 twips, inside while 0 <= X, Y < 240.

TEST(PictureButton, ActsOnReleaseOnlyWhileArmed) {
    PictureButton play(ButtonKind::Play);
    QSignalSpy click(&play, &PictureButton::Click);
    Press(play, {120, 120});
    EXPECT_TRUE(play.IsArmed());
    Drag(play, {240, 120});
    EXPECT_FALSE(play.IsArmed());
    Release(play, {240, 120});
    EXPECT_EQ(click.count(), 0);

    Press(play, {120, 120});
    Drag(play, {120, 255});
    Drag(play, {225, 225}, Qt::LeftButton | Qt::RightButton);
    EXPECT_TRUE(play.IsArmed());
    Release(play, {225, 225});
    EXPECT_EQ(click.count(), 1);

    Press(play, {120, 120}, Qt::RightButton);
    Release(play, {120, 120}, Qt::RightButton);
    EXPECT_EQ(click.count(), 1);
    DoubleClick(play, {120, 120});
    EXPECT_EQ(click.count(), 3);
}

TEST(PictureButton, PairsActOnThePressWithoutArming) {
    PictureButton loop(ButtonKind::Loop);
    QSignalSpy down(&loop, &PictureButton::MouseDown);
    QSignalSpy click(&loop, &PictureButton::Click);
    DoubleClick(loop, {120, 120});
    EXPECT_EQ(down.count(), 2);
    EXPECT_EQ(click.count(), 0);
    EXPECT_FALSE(loop.IsArmed());
}

// ---- The built-in drawings.

TEST(BuiltInPictures, EveryDrawingLoadsAndTheKnobsFitTheirTracks) {
    for (int i = 0; i <= int(BuiltInPicture::AutoNext); ++i)
        EXPECT_FALSE(ControlPicture::BuiltIn(BuiltInPicture(i)).IsNull()) << i;
    EXPECT_LE(ControlPicture::BuiltIn(BuiltInPicture::SliderKnob).Size().height() * 15, 435);
    EXPECT_EQ(ControlPicture::BuiltIn(BuiltInPicture::CrossfaderKnob).Size().width() * 15, 615);
    EXPECT_EQ(ControlPicture::BuiltIn(BuiltInPicture::PanKnob).Size().width() * 15, 105);
}

TEST(BuiltInPictures, SetCapFallsBackToTheBuiltInKnob) {
    MiniSlider slider;
    slider.SetValue(100);
    slider.SetCap(QStringLiteral(CORVANE_SOURCE_DIR "/no/such/slider.bmp"));
    QImage image(slider.size() * 2, QImage::Format_ARGB32);
    image.setDevicePixelRatio(2);
    slider.render(&image);
    // The knob's bright index line crosses the middle of the knob.
    EXPECT_GT(qGray(image.pixel(41, 29)), 200);
}

// Face pictures are read by their suffix first; a picture saved under another suffix (a PNG
// named .bmp) still reads. Broken and missing files are the faces window's tests.
TEST(RasterPicture, ReadByItsSuffixOrItsContent) {
    QTemporaryDir dir;
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(Qt::red);
    const std::pair<const char*, const char*> files[] = {
        {"backpic.bmp", "BMP"}, {"slider.BMP", "PNG"}, {"fader.jpg", "JPG"}};
    for (const auto& [name, format] : files) {
        const QString path = dir.filePath(QLatin1String(name));
        ASSERT_TRUE(image.save(path, format));
        EXPECT_EQ(ReadRasterPicture(path).size(), QSize(7, 5)) << path.toStdString();
        EXPECT_EQ(ControlPicture::FromFile(path).value_or(ControlPicture()).Size(), QSizeF(7, 5));
    }
}

}  // namespace
}  // namespace corvane::appearance
