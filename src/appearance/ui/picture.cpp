#include "appearance/ui/picture.h"

#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <array>
#include <cmath>

// The resources live in a static library, so nothing would pull their registration in unless
// something names it; Q_INIT_RESOURCE must be called outside any namespace.
static void RegisterPictureResources() { Q_INIT_RESOURCE(pictures); }

namespace corvane::appearance {
namespace {

void EnsureResources() {
    static const bool registered = (RegisterPictureResources(), true);
    Q_UNUSED(registered);
}

constexpr std::array<const char*, 20> kNames = {
    "knob101",     "knob102",    "slider_track", "pan_track",   "pan_knob",
    "fader_track", "open",       "play",         "stop",        "loop_w",
    "loop_r",      "fadeleft_w", "fadeleft_r",   "faderight_w", "faderight_r",
    "on_w",        "on_g",       "ap_play",      "ap_stop",     "ap_next",
};
static_assert(kNames.size() == size_t(BuiltInPicture::AutoNext) + 1);

}  // namespace

QPixmap ReadRasterPicture(const QString& path) {
    // By the suffix's format first: left to guess, Qt's reader loads every image plugin there
    // is (and the libraries behind them) to ask each, before it tries its own BMP reader.
    QImageReader named(path, QFileInfo(path).suffix().toLower().toLatin1());
    named.setAutoDetectImageFormat(false);
    QImage image = named.read();
    if (image.isNull()) image = QImageReader(path).read();  // a picture under another suffix
    return QPixmap::fromImage(std::move(image));
}

QString BuiltInPicturePath(BuiltInPicture picture) {
    return QStringLiteral(":/pictures/%1.svg").arg(QLatin1String(kNames[size_t(picture)]));
}

ControlPicture ControlPicture::BuiltIn(BuiltInPicture picture) {
    EnsureResources();
    return Load(BuiltInPicturePath(picture)).value_or(ControlPicture());
}

std::optional<ControlPicture> ControlPicture::FromFile(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isFile()) return std::nullopt;
    return Load(path);
}

std::optional<ControlPicture> ControlPicture::Load(const QString& path) {
    ControlPicture picture;
    if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        auto svg = std::make_shared<QSvgRenderer>(path);
        if (!svg->isValid() || svg->defaultSize().isEmpty()) return std::nullopt;
        picture.svg_ = std::move(svg);
    } else {
        QPixmap raster = ReadRasterPicture(path);
        if (raster.isNull()) return std::nullopt;
        picture.raster_ = raster;
    }
    return picture;
}

bool ControlPicture::IsNull() const { return !svg_ && raster_.isNull(); }

QSizeF ControlPicture::Size() const {
    if (svg_) return QSizeF(svg_->defaultSize());
    return raster_.deviceIndependentSize();
}

void ControlPicture::Paint(QPainter& painter, QPointF topLeft) const {
    if (IsNull()) return;
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QPointF snapped(std::round(topLeft.x() * dpr) / dpr, std::round(topLeft.y() * dpr) / dpr);
    if (!svg_) {
        painter.drawPixmap(snapped, raster_);
        return;
    }
    if (rendered_.isNull() || rendered_.devicePixelRatio() != dpr) {
        const QSize device = (Size() * dpr).toSize();
        QImage image(device, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter imagePainter(&image);
        imagePainter.setRenderHint(QPainter::Antialiasing);
        svg_->render(&imagePainter);
        imagePainter.end();
        image.setDevicePixelRatio(dpr);
        rendered_ = QPixmap::fromImage(image);
    }
    painter.drawPixmap(snapped, rendered_);
}

}  // namespace corvane::appearance
