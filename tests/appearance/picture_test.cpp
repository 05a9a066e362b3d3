#include "appearance/ui/picture.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include "support/files.h"

namespace corvane::appearance {
namespace {

// Face pictures are read by their suffix first; a picture saved under another suffix (a PNG
// named .bmp) still reads, and a broken file is no picture.
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
        const QPixmap read = ReadRasterPicture(path);
        EXPECT_EQ(read.size(), QSize(7, 5)) << path.toStdString();
        EXPECT_EQ(ControlPicture::FromFile(path).value_or(ControlPicture()).Size(), QSizeF(7, 5));
    }

    const QString broken = dir.filePath(QStringLiteral("broken.bmp"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("BM not really a bitmap") > 0);
    file.close();
    EXPECT_TRUE(ReadRasterPicture(broken).isNull());
    EXPECT_FALSE(ControlPicture::FromFile(broken).has_value());
    EXPECT_TRUE(ReadRasterPicture(dir.filePath(QStringLiteral("missing.gif"))).isNull());
}

}  // namespace
}  // namespace corvane::appearance
