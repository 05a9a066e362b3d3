// The floor of bench/startup.sh: the cheapest Qt Widgets program that shows a window. It prints
// the monotonic clock once its window has painted, and ends.
#include <time.h>

#include <QApplication>
#include <QPaintEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {

class BareWindow : public QWidget {
protected:
    void paintEvent(QPaintEvent* event) override {
        QWidget::paintEvent(event);
        if (reported_) return;
        reported_ = true;
        QTimer::singleShot(0, [] {
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            std::fprintf(stderr, "shown_ns=%lld\n",
                         static_cast<long long>(now.tv_sec) * 1000000000 + now.tv_nsec);
            QApplication::quit();
        });
    }

private:
    bool reported_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    BareWindow window;
    window.resize(640, 360);
    window.show();
    return QApplication::exec();
}
