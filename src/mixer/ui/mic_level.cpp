#include "mixer/ui/mic_level.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "appearance/ui/minislider.h"
#include "appearance/ui/units.h"
#include "mixer/system_mixer.h"
#include "mixer/ui/on_top.h"
#include "settings/settings.h"

namespace corvane::mixer {

MicLevel::MicLevel(SystemMixer& mixer, Settings& settings, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowCloseButtonHint | Qt::WindowTitleHint),
      mixer_(mixer),
      settings_(settings),
      micSlider_(new appearance::MiniSlider(this)),
      check1_(new QCheckBox(QStringLiteral("On Top"), this)) {
    setWindowTitle(QStringLiteral("Mic"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    micSlider_->setObjectName(QStringLiteral("MicSlider"));
    check1_->setObjectName(QStringLiteral("Check1"));
    check1_->setAutoFillBackground(true);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 8, 8, 6);
    column->setSpacing(6);
    column->addWidget(micSlider_, 0, Qt::AlignHCenter);
    column->addWidget(check1_, 0, Qt::AlignHCenter);
    column->setSizeConstraint(QLayout::SetFixedSize);

    connect(micSlider_, &appearance::MiniSlider::Scroll, this, [this] {
        if (mixer_.MicVolumeAvailable()) mixer_.SetMicLevel(micSlider_->Value());
    });
    connect(check1_, &QCheckBox::clicked, this, &MicLevel::Check1Click);
}

MicLevel::~MicLevel() {
    if (loaded_) SavePosition();
}

void MicLevel::Load() {
    PlaceWindow();
    {
        // The slider starts where the microphone is; opening the window changes nothing.
        const QSignalBlocker quiet(micSlider_);
        micSlider_->SetValue(mixer_.ReadMicLevel());
    }
    const bool onTop = settings_.GetBool(keys::kMicOnTop);
    check1_->setChecked(onTop);
    SetOnTop(this, onTop);
    loaded_ = true;
}

void MicLevel::PlaceWindow() {
    adjustSize();
    const QScreen* screen =
        parentWidget() != nullptr ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen != nullptr ? screen->geometry() : QRect();
    const QSize size = frameGeometry().size();
    QPoint where((area.width() - size.width()) / 2 + area.left(),
                 (area.height() - size.height()) / 2 + area.top());
    if (settings_.Has(keys::kMicTop) && settings_.Has(keys::kMicLeft)) {
        const QPoint saved(appearance::TwipsToPixels(settings_.GetInt(keys::kMicLeft)),
                           appearance::TwipsToPixels(settings_.GetInt(keys::kMicTop)));
        // A place on a screen that is gone would hide the window for good.
        if (QGuiApplication::screenAt(QRect(saved, size).center()) != nullptr) where = saved;
    }
    move(where);
}

void MicLevel::SavePosition() {
    settings_.SavePref(keys::kMicTop, appearance::PixelsToTwips(y()));
    settings_.SavePref(keys::kMicLeft, appearance::PixelsToTwips(x()));
}

void MicLevel::Colors(const QColor& back, const QColor& text) {
    QPalette colors = palette();
    colors.setColor(QPalette::Window, back);
    setPalette(colors);
    QPalette box = check1_->palette();
    box.setColor(QPalette::Window, back);
    box.setColor(QPalette::WindowText, text);
    check1_->setPalette(box);
}

void MicLevel::Check1Click(bool checked) {
    settings_.SavePref(keys::kMicOnTop, checked);
    SetOnTop(this, checked);
}

void MicLevel::closeEvent(QCloseEvent* event) {
    if (loaded_) {
        SavePosition();
        loaded_ = false;
        Q_EMIT Unloaded();
    }
    QWidget::closeEvent(event);
}

}  // namespace corvane::mixer
