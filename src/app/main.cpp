#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Corvane"));
    QApplication::setApplicationVersion(QStringLiteral("1.40"));
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("CVN v.1.40 - Corvane"));
    window.resize(800, 480);
    window.show();
    return app.exec();
}
