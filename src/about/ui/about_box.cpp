#include "about/ui/about_box.h"

#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <QUrl>
#include <QVBoxLayout>

#include "appearance/ui/butt.h"
#include "appearance/ui/units.h"
#include "version.h"

// The picture lives in the static library's resources, which are linked in only when
// something names them; Q_INIT_RESOURCE must be called outside any namespace.
static void RegisterAboutResources() { Q_INIT_RESOURCE(about); }

namespace corvane::about {

namespace {

using appearance::kTwipsPerPixel;

constexpr int kFrameWidth = 230;
constexpr int kFrameHeight =
    appearance::TwipsToPixels(CreditsScroll::kEntryTop);  // the text re-enters at its bottom
constexpr int kTextHeight =
    appearance::TwipsToPixels(-CreditsScroll::kWrapTop);  // gone exactly when it wraps

QPixmap Logo(int size) {
    RegisterAboutResources();
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QSvgRenderer(QStringLiteral(":/about/logo.svg")).render(&painter);
    return pixmap;
}

}  // namespace

QString AboutBox::CreditsText() {
    return QStringLiteral(
               "Corvane %1\n"
               "\n"
               "A DJ mixing desk:\n"
               "six playback lines, the AutoPilot\n"
               "and a crossfader.\n"
               "\n"
               "With Ombrel, the flat progress bar.\n"
               "\n"
               "Made by the Corvane developers.\n"
               "\n"
               "Built on Qt, FFmpeg, FluidSynth\n"
               "and PortAudio.\n"
               "\n"
               "Questions and ideas: see the\n"
               "project's page (click the record)\n"
               "and the manual (Help).\n"
               "\n"
               "Keep the floor moving!")
        .arg(QCoreApplication::applicationVersion().isEmpty()
                 ? QStringLiteral(CORVANE_VERSION)
                 : QCoreApplication::applicationVersion());
}

AboutBox::AboutBox(QUrl projectPage, std::function<bool(const QUrl&)> openUrl, QWidget* parent)
    : QWidget(parent, Qt::Dialog), openUrl_(std::move(openUrl)) {
    setObjectName(QStringLiteral("About"));
    setWindowTitle(QStringLiteral("About Corvane"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    image1_ = new QLabel(this);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setPixmap(Logo(96));
    image1_->setCursor(Qt::PointingHandCursor);
    image1_->setToolTip(projectPage.toString());
    image1_->installEventFilter(this);
    image1_->setProperty("url", projectPage);

    frame1_ = new QFrame(this);
    frame1_->setObjectName(QStringLiteral("Frame1"));
    frame1_->setFrameShape(QFrame::StyledPanel);
    frame1_->setFixedSize(kFrameWidth, kFrameHeight);
    label2_ = new QLabel(CreditsText(), frame1_);
    label2_->setObjectName(QStringLiteral("Label2"));
    label2_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label2_->setGeometry(0, 0, kFrameWidth, kTextHeight);
    label2_->setCursor(Qt::OpenHandCursor);
    label2_->installEventFilter(this);

    butt1_ = new appearance::Butt(QStringLiteral("OK"), this);
    butt1_->setObjectName(QStringLiteral("Butt1"));
    butt1_->setFixedSize(62, 20);
    connect(butt1_, &appearance::Butt::Click, this, &QWidget::close);

    auto* top = new QHBoxLayout;
    top->addWidget(image1_, 0, Qt::AlignTop);
    top->addWidget(frame1_);
    auto* column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addWidget(butt1_, 0, Qt::AlignRight);
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    ApplyColors(appearance::kDefaultTextColor, 0);
    timer1_.setInterval(CreditsScroll::kIntervalMs);
    connect(&timer1_, &QTimer::timeout, this, &AboutBox::Timer1Tick);
}

void AboutBox::ApplyColors(quint32 text, quint32 back) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, appearance::ColorFromValue(back));
    palette.setColor(QPalette::WindowText, appearance::ColorFromValue(text));
    setPalette(palette);
    setAutoFillBackground(true);
    butt1_->ColChange(text);
}

void AboutBox::Timer1Tick() {
    scroll_.Tick();
    Follow();
}

void AboutBox::Follow() {
    label2_->move(0, int(scroll_.Top() / kTwipsPerPixel));
    if (scroll_.Running() && isVisible()) {
        if (!timer1_.isActive()) timer1_.start();
    } else {
        timer1_.stop();
    }
}

bool AboutBox::event(QEvent* event) {
    // The credits scroll only while this box is the active window.
    if (event->type() == QEvent::WindowActivate) {
        scroll_.Activate();
        Follow();
    } else if (event->type() == QEvent::WindowDeactivate) {
        scroll_.Deactivate();
        Follow();
    }
    return QWidget::event(event);
}

bool AboutBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == image1_ && event->type() == QEvent::MouseButtonRelease) {
        if (openUrl_) openUrl_(image1_->property("url").toUrl());
        return true;
    }
    const QEvent::Type type = event->type();
    if (watched != label2_ || (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
                               type != QEvent::MouseButtonRelease))
        return QWidget::eventFilter(watched, event);
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const double y = mouse->position().y() * kTwipsPerPixel;
    if (type == QEvent::MouseButtonRelease) {
        scroll_.Release();
    } else if (!appearance::LeftHeld(mouse->buttons())) {
        return QWidget::eventFilter(watched, event);
    } else if (type == QEvent::MouseButtonPress) {
        scroll_.Press(y);
    } else {
        scroll_.Drag(y);
    }
    Follow();
    return true;
}

void AboutBox::closeEvent(QCloseEvent* event) {
    scroll_.Deactivate();
    timer1_.stop();
    QWidget::closeEvent(event);
    Q_EMIT Closed();
}

}  // namespace corvane::about
