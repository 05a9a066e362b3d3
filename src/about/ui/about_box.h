#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>

#include "about/credits_scroll.h"

class QFrame;
class QLabel;
class QUrl;

namespace corvane::appearance {
class Butt;
}

namespace corvane::about {

// The About box: the program's picture, which opens the project's page, and the credits
// scrolling up inside their frame while the box is the active window. Not modal.
class AboutBox : public QWidget {
    Q_OBJECT

public:
    // `openUrl` is the desktop's opener (tests put their own in).
    AboutBox(QUrl projectPage, std::function<bool(const QUrl&)> openUrl, QWidget* parent = nullptr);

    // The credits: name, version and where to find the project.
    static QString CreditsText();

    const CreditsScroll& Scroll() const { return scroll_; }
    const QTimer& Timer1() const { return timer1_; }
    QLabel* Label2() const { return label2_; }
    QLabel* Image1() const { return image1_; }
    appearance::Butt* Butt1() const { return butt1_; }

    void Timer1Tick();
    // Drawn in the desk's colours (values with red in the low byte).
    void ApplyColors(quint32 text, quint32 back);

Q_SIGNALS:
    void Closed();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The timer and the label follow the scroll's state.
    void Follow();

    CreditsScroll scroll_;
    QTimer timer1_;
    QFrame* frame1_;
    QLabel* label2_;
    QLabel* image1_;
    appearance::Butt* butt1_;
    std::function<bool(const QUrl&)> openUrl_;
};

}  // namespace corvane::about
