#include "app/splash.h"

#include <QFrame>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QScreen>

#include "app/color_scheme.h"
#include "app/program_icon.h"
#include "appearance/ui/units.h"
#include "version.h"

namespace corvane::app {

namespace {
constexpr int kWidth = 240;
constexpr int kHeight = 120;
constexpr int kBarLeft = 30;
constexpr int kBarTop = 92;
constexpr int kBarHeight = 8;

// Background and text (or frame line) colours.
void Fill(QWidget* widget, const QColor& window, const QColor& text) {
    widget->setAutoFillBackground(true);
    QPalette colors = widget->palette();
    colors.setColor(QPalette::Window, window);
    colors.setColor(QPalette::WindowText, text);
    widget->setPalette(colors);
}
}  // namespace

Splash::Splash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("SP2"));
    setFixedSize(kWidth, kHeight);
    Fill(this, QColor(0x1b, 0x1d, 0x22), QColor(0xe0, 0xe0, 0xe0));

    auto* picture = new QLabel(this);
    picture->setPixmap(ProgramIcon().pixmap(56, 56));
    picture->setGeometry(14, 14, 56, 56);

    auto* title = new QLabel(QStringLiteral("Corvane v." CORVANE_VERSION), this);
    QFont titleFont = CaptionFont();
    titleFont.setPixelSize(17);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setGeometry(82, 18, 150, 24);

    auto* loading = new QLabel(QStringLiteral("Loading..."), this);
    loading->setFont(CaptionFont());
    loading->setGeometry(82, 44, 150, 16);

    action_ = new QLabel(this);
    action_->setObjectName(QStringLiteral("Action"));
    action_->setFont(CaptionFont());
    action_->setGeometry(kBarLeft, 74, kWidth - 2 * kBarLeft, 16);

    // Palettes rather than style sheets: the first style sheet costs the start milliseconds.
    auto* track = new QFrame(this);
    track->setFrameStyle(QFrame::Box | QFrame::Plain);
    Fill(track, QColor(0x0c, 0x0d, 0x10), QColor(0x40, 0x40, 0x40));
    track->setGeometry(kBarLeft - 1, kBarTop - 1, appearance::TwipsToPixels(kMaxStatTwips) + 2,
                       kBarHeight + 2);
    bar_ = new QFrame(this);
    bar_->setObjectName(QStringLiteral("Stat"));
    Fill(bar_, QColor(0xff, 0x7a, 0x1a), QColor(0xff, 0x7a, 0x1a));
    bar_->setGeometry(kBarLeft, kBarTop, 0, kBarHeight);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

void Splash::SetAction(const QString& text) {
    action_->setText(text);
    Q_EMIT Progress(text, stat_);
}

QString Splash::Action() const { return action_->text(); }

void Splash::SetStat(int twips) {
    stat_ = twips;
    const int width = appearance::TwipsToPixels(qBound(0, twips, kMaxStatTwips));
    bar_->setGeometry(kBarLeft, kBarTop, width, kBarHeight);
    Q_EMIT Progress(action_->text(), stat_);
}

}  // namespace corvane::app
