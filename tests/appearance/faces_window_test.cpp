#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>

#include "app/appearance_wiring.h"
#include "app/desk_label.h"
#include "app/desk_panels.h"
#include "app/line_strip.h"
#include "appearance/face.h"
#include "appearance/ui/minicrossfader.h"
#include "appearance/ui/minislider.h"
#include "appearance/ui/pan.h"
#include "support/mainform_support.h"

namespace corvane::app::testing {
namespace {

constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kGreen = 0xFF00FF00;
const QColor kCyan(0, 255, 255);
const QColor kYellow(255, 255, 0);
const appearance::SchemeColors kScheme{0x00C0FF, 0x40FF40, 0x303030, 0x201008, 0x0080FF};

// A one-pixel red GIF: Qt reads GIF but cannot write it.
const QByteArray kRedGif = QByteArray::fromHex(
    "474946383961010001008000"
    "00ff0000000000"
    "2c00000000010001000002024401003b");

class FacesWindowTest : public MainFormTest {
protected:
    void SetUp() override {
        MainFormTest::SetUp();
        ASSERT_TRUE(QDir().mkpath(face_));
        Look().SetDialogs(dialogs_);
    }

    Appearance& Look() { return Form().Look(); }

    void Picture(const char* name, QRgb color, QSize size = QSize(900, 600)) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(color);
        ASSERT_TRUE(image.save(QDir(face_).filePath(QLatin1String(name))));
    }
    void File(const char* name, const QByteArray& bytes) {
        QFile file(QDir(face_).filePath(QLatin1String(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void Load() {
        Look().SetFacePath(face_);
        Look().LoadFace(true);
    }
    QColor Led(int line) { return Form().Strip(line)->Colon()->TextColor(); }
    QRgb BackgroundPixel() { return Look().Background().toImage().pixel(10, 10); }

    QString face_ = dir_.filePath(QStringLiteral("Faces/Test/"));
    QStringList asked_;
    QStringList told_;
    bool answer_ = true;
    FaceDialogs dialogs_{[this](QWidget*, const QString& title, const QString& text) {
                             asked_.append(title + QLatin1Char('|') + text);
                             return answer_;
                         },
                         [this](QWidget*, const QString& title, const QString& text, bool warning) {
                             told_.append((warning ? QStringLiteral("!") : QString()) + title +
                                          QLatin1Char('|') + text);
                         }};
};

TEST_F(FacesWindowTest, WithoutAFaceTheLedsStayYellowAndAFaceWithoutColoursMakesThemCyan) {
    EXPECT_EQ(Led(1), kYellow);
    Load();
    for (int line = 0; line < 8; ++line) EXPECT_EQ(Led(line), kCyan) << line;
    // The user's own LED colour wins over the face's default.
    ASSERT_TRUE(settings_.SavePref(keys::kLedColor, 255));
    Look().LoadFace(true);
    EXPECT_EQ(Led(3), QColor(255, 0, 0));
}

TEST_F(FacesWindowTest, AGifAloneIsReadAndABrokenBmpGivesWayToTheJpg) {
    File("backpic.gif", kRedGif);
    Load();
    ASSERT_FALSE(Look().Background().isNull());
    EXPECT_EQ(Look().Background().toImage().pixel(0, 0) & 0xFFFFFF, 0xFF0000u);

    Picture("backpic.jpg", kGreen);
    Picture("backpic.bmp", kRed);
    Load();
    EXPECT_EQ(BackgroundPixel(), kRed);

    // Cut inside its header, the bitmap cannot be read at all.
    QFile bmp(face_ + QStringLiteral("backpic.bmp"));
    ASSERT_TRUE(bmp.resize(30));
    Load();
    EXPECT_EQ(qGreen(BackgroundPixel()), 255);

    // A picture cut short in its pixels loads as far as it goes, and nothing breaks.
    QFile jpg(face_ + QStringLiteral("backpic.jpg"));
    ASSERT_TRUE(jpg.resize(jpg.size() / 2));
    Load();
    EXPECT_EQ(Look().Background().size(), QSize(900, 600));
}

TEST_F(FacesWindowTest, UnreadablePicturesLeaveTheBuiltInLook) {
    File("backpic.bmp", QByteArray("BM\x10\x00garbage", 11));
    File("slider.jpg", QByteArray(5000, '\xff'));
    File("fader.gif", QByteArray("GIF89a"));
    Load();
    EXPECT_TRUE(Look().Background().isNull());
    EXPECT_FALSE(Form().Strip(2)->PanKnob()->IsTransparent());
    EXPECT_FALSE(Form().Strip(2)->Slider()->HasBackgroundPicture());
    // The built-in knob still paints: more than the background's one colour.
    const QImage knob = Form().Strip(2)->PanKnob()->grab().toImage();
    QImage plain(knob.size(), knob.format());
    plain.fill(knob.pixel(0, 0));
    EXPECT_NE(knob, plain);
}

TEST_F(FacesWindowTest, TheFaceShowsContinuouslyBehindTheSlidersAndPansAreClear) {
    // A picture whose every pixel differs, so a misplaced copy cannot match by chance.
    QImage image(1000, 700, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, qRgb(x % 256, y % 256, 90));
    ASSERT_TRUE(image.save(face_ + QStringLiteral("backpic.bmp")));
    Picture("slider.bmp", kGreen, QSize(33, 29));
    Form().show();
    Load();
    QCoreApplication::processEvents();
    for (int line : {0, 3, 7}) {
        appearance::MiniSlider* slider = Form().Strip(line)->Slider();
        EXPECT_TRUE(slider->HasBackgroundPicture());
        const QPoint at = slider->mapTo(&Form(), QPoint(1, 1));
        // Top-left corner: above the tick marks, beside the track.
        EXPECT_EQ(slider->grab().toImage().pixel(1, 1), image.pixel(at)) << line;
    }
    EXPECT_TRUE(Form().Strip(1)->PanKnob()->IsTransparent());
    EXPECT_TRUE(Form().CrossfaderArea()->Crossfader()->HasBackgroundPicture());

    Look().LoadFace(false);
    EXPECT_TRUE(Look().Background().isNull());
    EXPECT_FALSE(Form().Strip(1)->PanKnob()->IsTransparent());
    EXPECT_FALSE(Form().Strip(3)->Slider()->HasBackgroundPicture());
    EXPECT_EQ(Led(1), kYellow);
}

TEST_F(FacesWindowTest, TheFacesColoursAndLinesApplyWithoutBeingStored) {
    File("colors.txt",
         "[Colors]\nText=00FF00\nBackGround=102030\nLED=FF0000\nHiLite=0000FF\n"
         "Lines=808080\n[Lines]\nVisible=False\n");
    Load();
    EXPECT_EQ(Form().Strip(2)->LineLabel()->TextColor(), QColor(0, 255, 0));
    EXPECT_EQ(Led(2), QColor(255, 0, 0));
    EXPECT_EQ(Form().palette().color(QPalette::Window), QColor(0x10, 0x20, 0x30));
    EXPECT_FALSE(Form().Strip(4)->Slider()->LinesVisible());
    EXPECT_FALSE(settings_.Has(keys::kTextColor));
    EXPECT_FALSE(settings_.Has(keys::kShowLines));
}

TEST_F(FacesWindowTest, HidingTheLinesMovesNothing) {
    Form().show();
    QCoreApplication::processEvents();
    const QPoint before = Form().Strip(5)->Slider()->mapTo(&Form(), QPoint());
    Look().ApplyShowLines(false);
    QCoreApplication::processEvents();
    EXPECT_FALSE(Form().Dividers().first()->isVisible());
    EXPECT_FALSE(Form().CrossfaderArea()->Crossfader()->LinesVisible());
    EXPECT_EQ(Form().Strip(5)->Slider()->mapTo(&Form(), QPoint()), before);
}

TEST_F(FacesWindowTest, SaveColorsAsksWritesAndTheSchemeComesBack) {
    Load();
    answer_ = false;
    EXPECT_FALSE(Look().SaveColors(&Form()));
    EXPECT_FALSE(QFile::exists(face_ + QStringLiteral("colors.txt")));
    ASSERT_EQ(asked_.size(), 1);
    EXPECT_EQ(asked_[0], QStringLiteral("Save Colors|Do you want to save the current color scheme "
                                        "to 'colors.txt' for this face?"));
    EXPECT_TRUE(told_.isEmpty());

    answer_ = true;
    Look().SetColors(kScheme);
    Look().ApplyShowLines(false);
    ASSERT_TRUE(Look().SaveColors(&Form()));
    EXPECT_EQ(told_, QStringList{QStringLiteral("Color Scheme Saved|Colors saved to ") + face_ +
                                 QStringLiteral("colors.txt.")});

    Look().LoadFace(false);
    EXPECT_TRUE(Look().LinesVisible());
    Load();
    EXPECT_EQ(Look().Colors(), kScheme);
    EXPECT_FALSE(Look().LinesVisible());
}

TEST_F(FacesWindowTest, SaveColorsOnAnInstalledFaceWritesTheUsersCopy) {
    Picture("backpic.bmp", kRed);
    const appearance::FaceFolders folders{dir_.filePath(QStringLiteral("User")),
                                          dir_.filePath(QStringLiteral("Faces"))};
    Look().SetFolders(folders);
    Look().SetFace(QStringLiteral("Test"));
    Look().LoadFace(true);
    Look().SetColors(kScheme);
    ASSERT_TRUE(Look().SaveColors(&Form()));
    const QString copy = folders.user + QStringLiteral("/Test/");
    EXPECT_EQ(Look().FacePath(), copy);
    EXPECT_TRUE(QFile::exists(copy + QStringLiteral("backpic.bmp")));
    EXPECT_TRUE(QFile::exists(copy + QStringLiteral("colors.txt")));
    EXPECT_FALSE(QFile::exists(face_ + QStringLiteral("colors.txt")));
    // From now on the user's copy is the face of that name.
    Look().LoadFace(false);
    Look().SetFace(QStringLiteral("Test"));
    Look().LoadFace(true);
    EXPECT_EQ(Look().Colors(), kScheme);
    EXPECT_EQ(BackgroundPixel(), kRed);
}

TEST_F(FacesWindowTest, SaveColorsWithoutAFaceOrAWritableFolderSaysSo) {
    Look().SetFacePath(QString());
    EXPECT_FALSE(Look().SaveColors(&Form()));
    ASSERT_EQ(told_.size(), 1);
    EXPECT_TRUE(told_[0].startsWith(QLatin1String("!Save Colors|")));
    // A face folder that cannot be made: its parent is a file.
    File("plain", "");
    Look().SetFacePath(face_ + QStringLiteral("plain/"));
    EXPECT_FALSE(Look().SaveColors(&Form()));
    EXPECT_EQ(told_.size(), 2);
}

TEST_F(FacesWindowTest, StartUpLoadsTheStoredFaceOnlyWhenFacesAreOn) {
    Picture("backpic.bmp", kRed);
    ASSERT_TRUE(settings_.SavePref(keys::kFace, QStringLiteral("Test")));
    ASSERT_TRUE(settings_.SavePref(keys::kShowLines, false));
    const auto restart = [this] {
        form_.reset();
        qputenv("CORVANE_APP_FOLDER", dir_.path().toUtf8());
        Form();
        qunsetenv("CORVANE_APP_FOLDER");
    };
    restart();
    EXPECT_FALSE(Look().FaceLoaded());
    EXPECT_EQ(Look().FacePath(), face_);
    EXPECT_FALSE(Look().LinesVisible());

    ASSERT_TRUE(settings_.SavePref(keys::kBackPic, true));
    restart();
    EXPECT_TRUE(Look().FaceLoaded());
    EXPECT_EQ(BackgroundPixel(), kRed);
}

TEST_F(FacesWindowTest, TheShippedSampleFaceHasEverything) {
    const QString sample = QStringLiteral(CORVANE_BINARY_DIR "/share/corvane/Faces/Sample/");
    for (auto picture : {appearance::FacePicture::Background, appearance::FacePicture::SliderKnob,
                         appearance::FacePicture::FaderKnob}) {
        EXPECT_FALSE(appearance::FacePictureFiles(sample, picture).isEmpty());
    }
    ASSERT_FALSE(appearance::FaceColorsFile(sample).isEmpty());
    Form().show();
    Look().SetFacePath(sample);
    Look().LoadFace(true);
    ASSERT_FALSE(Look().Background().isNull());
    // The picture covers the whole desk.
    EXPECT_GE(Look().Background().width(), Form().width());
    EXPECT_GE(Look().Background().height(), Form().height());
}

}  // namespace
}  // namespace corvane::app::testing
