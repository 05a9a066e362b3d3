#include "appearance/ui/picture.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include "support/files.h"

namespace corvane::appearance {
namespace {

// Face pictures are read by their suffix first; a picture saved under another suffix (a PNG
// named .bmp) still reads. Broken and missing files are the faces window's tests.
TEST(RasterPicture, ReadByItsSuffixOrItsContent) {
    const auto app = StartApplication<QGuiApplication>();
    QTemporaryDir dir;
    QImage image(7, 5, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QString bmp = dir.filePath(QStringLiteral("backpic.bmp"));
    const QString png = dir.filePath(QStringLiteral("slider.BMP"));
    const QString jpg = dir.filePath(QStringLiteral("fader.jpg"));
    ASSERT_TRUE(image.save(bmp, "BMP"));
    ASSERT_TRUE(image.save(png, "PNG"));
    ASSERT_TRUE(image.save(jpg, "JPG"));
    for (const QString& path : {bmp, png, jpg}) {
        EXPECT_EQ(ReadRasterPicture(path).size(), QSize(7, 5)) << path.toStdString();
        EXPECT_EQ(ControlPicture::FromFile(path).value_or(ControlPicture()).Size(), QSizeF(7, 5));
    }
}

}  // namespace
}  // namespace corvane::appearance
