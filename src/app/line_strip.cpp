#include "app/line_strip.h"

#include <QDate>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/desk_label.h"
#include "appearance/helptexts.h"
#include "appearance/ui/minislider.h"
#include "appearance/ui/pan.h"
#include "appearance/ui/picturebutton.h"
#include "appearance/ui/position_bar.h"
#include "engine/tick_texts.h"

namespace corvane::app {

using appearance::ButtonKind;
using appearance::HelpTarget;
using appearance::PictureButton;
using engine::Desk;
using engine::FadeMode;

namespace {

// Row heights (pixels) shared by every strip, so that the rows line up across the desk.
constexpr int kNameRow = 14;
constexpr int kTitleRow = 14;
constexpr int kButtonRow = 20;
// The time display and the position bar under it share what the time display once had alone,
// with a little of the strip's margins: the desk keeps the size its faces are drawn for.
constexpr int kColonRow = 14;
constexpr int kPanRow = 21;
constexpr int kMuteRow = 16;
constexpr int kMasterWidth = 150;
constexpr int kBarInset = 6;

QWidget* Row(QWidget* parent, int height) {
    auto* row = new QWidget(parent);
    row->setFixedHeight(height);
    return row;
}

// Lays the given widgets out centred in a row, a few pixels apart.
void Centre(QWidget* row, std::initializer_list<QWidget*> widgets, int spacing) {
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    layout->addStretch();
    for (QWidget* widget : widgets) layout->addWidget(widget, 0, Qt::AlignVCenter);
    layout->addStretch();
}

QString Help(HelpTarget target) { return appearance::StatusHelpText(target); }

}  // namespace

LineStrip::LineStrip(int line, Desk& desk, QWidget* parent)
    : QWidget(parent), line_(line), desk_(desk) {
    const bool master = line == Desk::kMasterLine;
    setFixedWidth(master ? kMasterWidth : kWidth);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 1, 0, 2);
    column->setSpacing(2);

    name_ = new DeskLabel(Desk::LineName(line), this);
    name_->setAlignment(Qt::AlignCenter);
    name_->setFixedHeight(kNameRow);
    QFont bold = CaptionFont();
    bold.setBold(true);
    name_->setFont(bold);
    column->addWidget(name_);

    if (master) {
        // Empty rows, not spacing: the rows of every strip line up only with the same gaps.
        column->addWidget(Row(this, kTitleRow));
        spare_ = Row(this, kButtonRow);
        column->addWidget(spare_);
    } else {
        title_ = new ElidedLabel(desk.Title(line), this);
        title_->setAlignment(Qt::AlignCenter);
        title_->setFixedHeight(kTitleRow);
        title_->setFont(CaptionFont());
        column->addWidget(title_);
        QWidget* buttons = Row(this, kButtonRow);
        BuildTransportRow(buttons);
        column->addWidget(buttons);
    }

    colon_ = new DeskLabel(QStringLiteral("0:00"), this);
    colon_->setAlignment(Qt::AlignCenter);
    colon_->setFixedHeight(kColonRow);
    QFont led = LedFont();
    if (master) led.setPixelSize(11);
    colon_->setFont(led);
    column->addWidget(colon_);
    if (master) {
        column->addWidget(Row(this, appearance::PositionBar::kHeight));
    } else {
        // Inset, so the bars of neighbouring strips read as separate.
        QWidget* barRow = Row(this, appearance::PositionBar::kHeight);
        bar_ = new appearance::PositionBar(barRow);
        auto* barLayout = new QHBoxLayout(barRow);
        barLayout->setContentsMargins(kBarInset, 0, kBarInset, 0);
        barLayout->addWidget(bar_);
        column->addWidget(barRow);
    }

    if (master) {
        column->addWidget(Row(this, kButtonRow));
        column->addWidget(Row(this, kPanRow));
    } else {
        QWidget* fades = Row(this, kButtonRow);
        BuildFadeRow(fades);
        column->addWidget(fades);
        pan_ = new appearance::Pan(this);
        QWidget* panRow = Row(this, kPanRow);
        Centre(panRow, {pan_}, 0);
        column->addWidget(panRow);
    }

    slider_ = new appearance::MiniSlider(this);
    slider_->SetValue(desk.Slider(line));
    sliderRow_ = new QHBoxLayout;
    sliderRow_->setSpacing(3);
    sliderRow_->addStretch();
    sliderRow_->addWidget(slider_);
    sliderRow_->addStretch();
    column->addLayout(sliderRow_);

    mute_ = new DeskLabel(QStringLiteral("Mute"), this);
    mute_->setAlignment(Qt::AlignCenter);
    mute_->setFixedHeight(kMuteRow);
    mute_->setFont(bold);
    column->addWidget(mute_);
    column->addStretch();

    ConnectDesk();
    ConnectMute();
    ConnectBar();
}

void LineStrip::BuildTransportRow(QWidget* row) {
    open_ = new PictureButton(ButtonKind::Open, row);
    loop_ = new PictureButton(ButtonKind::Loop, row);
    loop_->SetLit(desk_.Loop(line_));
    if (Desk::IsPlaybackLine(line_)) {
        play_ = new PictureButton(ButtonKind::Play, row);
        stop_ = new PictureButton(ButtonKind::Stop, row);
        Centre(row, {open_, play_, stop_, loop_}, 3);
        connect(play_, &PictureButton::Click, this, [this] { desk_.Play(line_); });
        connect(stop_, &PictureButton::Click, this, [this] { desk_.Stop(line_); });
        connect(play_, &PictureButton::MouseOver, this,
                [this] { ShowStatus(Help(HelpTarget::PlayButt)); });
        connect(stop_, &PictureButton::MouseOver, this,
                [this] { ShowStatus(Help(HelpTarget::StopButt)); });
    } else {
        Centre(row, {open_, loop_}, 3);
    }
    connect(open_, &PictureButton::Click, this, [this] { Q_EMIT OpenRequested(line_); });
    connect(open_, &PictureButton::MouseOver, this,
            [this] { ShowStatus(Help(HelpTarget::OpenW)); });
    connect(loop_, &PictureButton::MouseDown, this, [this](Qt::MouseButton button) {
        if (button == Qt::LeftButton) desk_.SetLoop(line_, !desk_.Loop(line_));
    });
    connect(loop_, &PictureButton::MouseOver, this, [this] { ShowStatus(Help(HelpTarget::Loop)); });
}

void LineStrip::BuildFadeRow(QWidget* row) {
    fadeLeft_ = new PictureButton(ButtonKind::FadeLeft, row);
    alwaysOn_ = new PictureButton(ButtonKind::AlwaysOn, row);
    fadeRight_ = new PictureButton(ButtonKind::FadeRight, row);
    Centre(row, {fadeLeft_, alwaysOn_, fadeRight_}, 5);
    const struct {
        PictureButton* button;
        FadeMode mode;
        HelpTarget help;
    } fades[] = {{fadeLeft_, FadeMode::Left, HelpTarget::FadeLeftButton},
                 {alwaysOn_, FadeMode::AlwaysOn, HelpTarget::AlwaysOn},
                 {fadeRight_, FadeMode::Right, HelpTarget::FadeRightButton}};
    for (const auto& fade : fades) {
        fade.button->SetLit(desk_.GetFadeMode(line_) == fade.mode);
        connect(fade.button, &PictureButton::MouseDown, this,
                [this, mode = fade.mode](Qt::MouseButton button) {
                    if (button == Qt::LeftButton) desk_.SelectFadeMode(line_, mode);
                    if (button == Qt::RightButton) Q_EMIT MenuRequested();
                });
        connect(fade.button, &PictureButton::MouseOver, this,
                [this, help = fade.help] { ShowStatus(Help(help)); });
    }
}

PictureButton* LineStrip::FadeButton(FadeMode mode) const {
    switch (mode) {
        case FadeMode::Left:
            return fadeLeft_;
        case FadeMode::AlwaysOn:
            return alwaysOn_;
        case FadeMode::Right:
            return fadeRight_;
    }
    return nullptr;
}

void LineStrip::ConnectDesk() {
    using appearance::MiniSlider;
    connect(slider_, &MiniSlider::Scroll, this,
            [this] { desk_.SetSlider(line_, slider_->Value()); });
    connect(slider_, &MiniSlider::MouseUp, this, [this] { desk_.SaveSlider(line_); });
    connect(slider_, &MiniSlider::RightClick, this, &LineStrip::MenuRequested);
    connect(slider_, &MiniSlider::MouseOver, this,
            [this] { ShowStatus(Help(HelpTarget::Slider)); });
    connect(&desk_, &Desk::SliderChanged, this, [this](int line, int value) {
        // The desk has applied the value already; the slider's own Scroll would apply it again.
        if (line != line_) return;
        const QSignalBlocker quiet(slider_);
        slider_->SetValue(value);
    });
    if (pan_ != nullptr) {
        connect(pan_, &appearance::Pan::Scroll, this,
                [this] { desk_.SetPan(line_, pan_->Value()); });
        connect(pan_, &appearance::Pan::MouseOver, this,
                [this] { ShowStatus(Help(HelpTarget::Pan)); });
    }
    connect(&desk_, &Desk::FadeModeChanged, this, [this](int line, FadeMode mode) {
        if (line != line_ || fadeLeft_ == nullptr) return;
        fadeLeft_->SetLit(mode == FadeMode::Left);
        alwaysOn_->SetLit(mode == FadeMode::AlwaysOn);
        fadeRight_->SetLit(mode == FadeMode::Right);
    });
    connect(&desk_, &Desk::LoopChanged, this, [this](int line, bool on) {
        if (line == line_ && loop_ != nullptr) loop_->SetLit(on);
    });
    connect(&desk_, &Desk::TitleChanged, this, [this](int line, const QString& title) {
        if (line == line_ && title_ != nullptr) title_->SetFullText(title);
    });
    connect(&desk_, &Desk::HighlightChanged, this, [this](int line, bool) {
        if (line == line_) RefreshLabelColors();
    });
    if (line_ == Desk::kMasterLine) {
        connect(&desk_, &Desk::ClockChanged, this,
                [this](const QString& caption, const QString& toolTip) {
                    colon_->setText(caption);
                    colon_->setToolTip(toolTip);
                });
        connect(colon_, &DeskLabel::MouseOver, this,
                [this] { ShowStatus(engine::ClockToolTip(QDate::currentDate())); });
    } else {
        connect(&desk_, &Desk::TimeCaptionChanged, this, [this](int line, const QString& text) {
            if (line == line_) colon_->setText(text);
        });
        connect(colon_, &DeskLabel::MouseOver, this, [this] { desk_.ShowTimeStatus(line_); });
    }
    connect(colon_, &DeskLabel::Released, this, [this](Qt::MouseButton button) {
        if (button == Qt::RightButton) Q_EMIT MenuRequested();
    });
    if (title_ != nullptr) {
        connect(title_, &DeskLabel::MouseOver, this, [this] { ShowStatus(title_->FullText()); });
        connect(title_, &DeskLabel::Released, this, [this](Qt::MouseButton button) {
            if (button == Qt::RightButton) Q_EMIT MenuRequested();
        });
    }
}

void LineStrip::ConnectMute() {
    connect(mute_, &DeskLabel::Pressed, this, [this](Qt::MouseButton) { desk_.MuteDown(line_); });
    // A double-click brings no second press; it mutes again until the release.
    connect(mute_, &DeskLabel::DoubleClicked, this, [this] { desk_.MuteDown(line_); });
    connect(mute_, &DeskLabel::Released, this,
            [this](Qt::MouseButton button) { desk_.MuteUp(line_, button == Qt::LeftButton); });
    connect(mute_, &DeskLabel::MouseOver, this, [this] { ShowStatus(Help(HelpTarget::Mute)); });
    connect(&desk_, &Desk::MuteChanged, this, [this](int line, bool) {
        if (line == line_) RefreshLabelColors();
    });
}

void LineStrip::ConnectBar() {
    if (bar_ == nullptr) return;
    using appearance::PositionBar;
    connect(bar_, &PositionBar::SeekRequested, this, [this](double fraction) {
        desk_.SeekLine(line_, fraction);
        bar_->SetProgress(desk_.LineProgress(line_));
    });
    // The AutoPilot pauses with its own buttons; its bar's right click is the window's.
    connect(bar_, &PositionBar::PauseRequested, this, [this] {
        if (Desk::IsPlaybackLine(line_)) {
            desk_.PauseLine(line_);
        } else {
            Q_EMIT MenuRequested();
        }
    });
    connect(bar_, &PositionBar::MouseOver, this,
            [this] { ShowStatus(Help(HelpTarget::PositionBar)); });
}

void LineStrip::AttachMeter(QWidget* meter) {
    meter->setParent(this);
    meter->setFixedHeight(slider_->height());
    sliderRow_->insertWidget(2, meter);
}

void LineStrip::ShowStatus(const QString& text) { desk_.SetStatus(text); }

void LineStrip::ApplyColors(const ColorScheme& scheme) {
    scheme_ = scheme;
    colon_->SetTextColor(scheme.led);
    if (bar_ != nullptr) bar_->SetColors(scheme.line, scheme.led, scheme.hilite);
    RefreshLabelColors();
}

void LineStrip::RefreshLabelColors() {
    const QColor lineColor = desk_.IsHighlighted(line_) ? scheme_.hilite : scheme_.text;
    name_->SetTextColor(lineColor);
    if (title_ != nullptr) title_->SetTextColor(lineColor);
    mute_->SetTextColor(desk_.IsMuted(line_) ? scheme_.hilite : scheme_.text);
}

void LineStrip::SetToolTips(bool on) {
    // The master line's slider and mute carry no tooltip.
    const bool here = on && line_ != Desk::kMasterLine;
    slider_->ToolTipChange(appearance::ToolTipFor(HelpTarget::Slider, here));
    mute_->setToolTip(appearance::ToolTipFor(HelpTarget::Mute, here));
    if (line_ == Desk::kMasterLine) return;
    pan_->ToolTipChange(appearance::ToolTipFor(HelpTarget::Pan, on));
    open_->ToolTipChange(appearance::ToolTipFor(HelpTarget::OpenW, on));
    loop_->ToolTipChange(appearance::ToolTipFor(HelpTarget::Loop, on));
    if (play_ != nullptr) play_->ToolTipChange(appearance::ToolTipFor(HelpTarget::PlayButt, on));
    // The AutoPilot's song pauses with its own buttons, not on its bar.
    const QString barTip = appearance::ToolTipFor(HelpTarget::PositionBar, on);
    bar_->setToolTip(Desk::IsPlaybackLine(line_) ? barTip : barTip.section(QLatin1Char('.'), 0, 0));
    if (stop_ != nullptr) stop_->ToolTipChange(appearance::ToolTipFor(HelpTarget::StopButt, on));
    fadeLeft_->ToolTipChange(appearance::ToolTipFor(HelpTarget::FadeLeftButton, on));
    alwaysOn_->ToolTipChange(appearance::ToolTipFor(HelpTarget::AlwaysOn, on));
    fadeRight_->ToolTipChange(appearance::ToolTipFor(HelpTarget::FadeRightButton, on));
}

}  // namespace corvane::app
