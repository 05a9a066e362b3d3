// Renders a face's drawings (SVG) into the picture files the program loads (BMP, JPEG):
//   corvane-faces <out-folder> <drawing.svg>=<picture.bmp|jpg> ...
// Pictures are opaque: the program paints them as they are, without an alpha channel.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

namespace {

bool Render(const QString& svgPath, const QString& outPath) {
    QSvgRenderer svg(svgPath);
    if (!svg.isValid() || svg.defaultSize().isEmpty()) {
        std::fprintf(stderr, "corvane-faces: cannot read %s\n", qPrintable(svgPath));
        return false;
    }
    QImage image(svg.defaultSize(), QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    svg.render(&painter);
    painter.end();
    const bool jpeg = outPath.endsWith(QLatin1String(".jpg"), Qt::CaseInsensitive);
    if (!image.save(outPath, nullptr, jpeg ? 92 : -1)) {
        std::fprintf(stderr, "corvane-faces: cannot write %s\n", qPrintable(outPath));
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    // Offscreen: the renderer needs a GUI application for fonts, not a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: corvane-faces <out-folder> <drawing.svg>=<picture> ...\n");
        return 2;
    }
    const QDir out(args.first());
    if (!out.mkpath(QStringLiteral("."))) return 1;
    for (const QString& pair : args.mid(1)) {
        const qsizetype equals = pair.lastIndexOf(QLatin1Char('='));
        if (equals <= 0) return 2;
        if (!Render(pair.left(equals), out.filePath(pair.mid(equals + 1)))) return 1;
    }
    return 0;
}
