#include <gtest/gtest.h>

#include <QImage>
#include <memory>

#include "ombrel/color.h"
#include "ombrel/factory.h"
#include "ombrel/flatprog.h"

namespace corvane::ombrel {
namespace {

// Pixels of one colour along the middle row, counted from the left.
int RunOf(const QImage& image, QColor color, int from = 0) {
    const int y = image.height() / 2;
    int x = from;
    while (x < image.width() && image.pixelColor(x, y) == color) {
        ++x;
    }
    return x - from;
}

TEST(FlatProgDrawing, BarFillsItsShareOfTheBox) {
    FlatProg bar;
    bar.resize(200, 20);
    ASSERT_TRUE(bar.SetBorderStyle(0));
    const QColor fill(0, 0, 128);
    const QColor back(255, 255, 255);

    QImage image = bar.grab().toImage();
    EXPECT_EQ(RunOf(image, fill), 100);
    EXPECT_EQ(RunOf(image, back, 100), 100);

    bar.SetValue(100);
    EXPECT_EQ(RunOf(bar.grab().toImage(), fill), 200);

    bar.SetValue(50);  // the border frames the box, the bar starts inside it
    ASSERT_TRUE(bar.SetBorderStyle(1));
    image = bar.grab().toImage();
    EXPECT_NE(image.pixelColor(0, 10), fill);
    EXPECT_EQ(RunOf(image, fill, 1), 100);
    EXPECT_EQ(image.pixelColor(199, 10), image.pixelColor(0, 10));
}

TEST(FlatProgDrawing, SystemBackColorIsThePalettesButtonFace) {
    FlatProg bar;
    bar.resize(100, 10);
    QPalette palette = bar.palette();
    palette.setColor(QPalette::Button, QColor(10, 200, 30));
    bar.setPalette(palette);
    ASSERT_TRUE(bar.SetBackColor(0x8000000Fu));
    const QImage image = bar.grab().toImage();
    EXPECT_EQ(image.pixelColor(75, 5), QColor(10, 200, 30));
}

TEST(OmbrelFactory, CreatesFlatProgByItsClassIdentifier) {
    QWidget host;
    QString error;
    QWidget* control = CreateControl(QStringLiteral("Ombrel.FlatProg"), &host, &error);
    ASSERT_NE(control, nullptr);
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(control->parent(), &host);
    auto* bar = qobject_cast<FlatProg*>(control);
    ASSERT_NE(bar, nullptr);
    EXPECT_DOUBLE_EQ(bar->Fraction(), 0.5);  // drawn as a fresh control, not a restored one

    std::unique_ptr<QWidget> anyCase(CreateControl(QStringLiteral("ombrel.flatprog")));
    EXPECT_NE(qobject_cast<FlatProg*>(anyCase.get()), nullptr);
    std::unique_ptr<FlatProg> typed(CreateFlatProg());
    EXPECT_NE(typed, nullptr);
}

TEST(OmbrelFactory, UnknownIdentifierFailsByName) {
    QString error;
    EXPECT_EQ(CreateControl(QStringLiteral("Ombrel.RoundProg"), nullptr, &error), nullptr);
    EXPECT_TRUE(error.contains(QStringLiteral("\"Ombrel.RoundProg\""))) << error.toStdString();
    EXPECT_EQ(CreateControl(QString()), nullptr);  // no error text asked for
}

}  // namespace
}  // namespace corvane::ombrel
