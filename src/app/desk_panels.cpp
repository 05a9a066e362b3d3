#include "app/desk_panels.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "app/connect_button.h"
#include "app/desk_label.h"
#include "appearance/helptexts.h"
#include "appearance/ui/butt.h"
#include "appearance/ui/minicrossfader.h"
#include "appearance/ui/picturebutton.h"
#include "engine/desk.h"

namespace corvane::app {

using appearance::ButtonKind;
using appearance::HelpTarget;
using appearance::PictureButton;

namespace {

QString Help(HelpTarget target) { return appearance::StatusHelpText(target); }
QString Tip(HelpTarget target, bool on) { return appearance::ToolTipFor(target, on); }

DeskLabel* Caption(const QString& text, QWidget* parent) {
    auto* label = new DeskLabel(text, parent);
    label->setFont(CaptionFont());
    return label;
}

ElidedLabel* Title(const QString& text, QWidget* parent) {
    auto* label = new ElidedLabel(text, parent);
    QFont font = CaptionFont();
    font.setBold(true);
    label->setFont(font);
    label->setMinimumWidth(60);
    return label;
}

}  // namespace

AutoPilotPanel::AutoPilotPanel(engine::Desk& desk, QWidget* parent)
    : QWidget(parent),
      desk_(desk),
      csLabel_(Caption(QStringLiteral("Current Song:"), this)),
      currentSong_(Title(QStringLiteral("None."), this)),
      nsLabel_(Caption(QStringLiteral("Next Song:"), this)),
      nextSong_(Title(QString(), this)),
      fading_(Caption(QStringLiteral("Loading next song..."), this)),
      aPlay_(new PictureButton(ButtonKind::AutoPlay, this)),
      aStop_(new PictureButton(ButtonKind::AutoStop, this)),
      aNext_(new PictureButton(ButtonKind::AutoNext, this)),
      shuffle_(new appearance::Butt(QStringLiteral("SmartRandom"), this)) {
    setFixedWidth(236);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(3);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(5);
    buttons->addWidget(aPlay_);
    buttons->addWidget(aStop_);
    buttons->addWidget(aNext_);
    buttons->addSpacing(8);
    shuffle_->setFixedSize(84, 18);
    buttons->addWidget(shuffle_);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 0, 1, 2);
    grid->addWidget(csLabel_, 1, 0);
    grid->addWidget(currentSong_, 1, 1);
    grid->addWidget(nsLabel_, 2, 0);
    grid->addWidget(nextSong_, 2, 1);
    grid->addWidget(fading_, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(4, 1);
    fading_->hide();

    const auto status = [this](const QString& text) { desk_.SetStatus(text); };
    connect(csLabel_, &DeskLabel::MouseOver, this, [this, status] {
        status(QStringLiteral("Current Song: ") + currentSong_->FullText());
    });
    connect(currentSong_, &DeskLabel::MouseOver, csLabel_, &DeskLabel::MouseOver);
    connect(nsLabel_, &DeskLabel::MouseOver, this, [this, status] {
        status(nsLabel_->text() + QLatin1Char(' ') + nextSong_->FullText());
    });
    connect(nextSong_, &DeskLabel::MouseOver, nsLabel_, &DeskLabel::MouseOver);
    connect(shuffle_, &appearance::Butt::MouseOver, this,
            [status] { status(Help(HelpTarget::ShuffButt)); });
    // The AutoPilot's buttons get their actions with the AutoPilot; their looks work already.
}

void AutoPilotPanel::ApplyColors(const ColorScheme& scheme) {
    for (DeskLabel* label : {csLabel_, nsLabel_, static_cast<DeskLabel*>(currentSong_),
                             static_cast<DeskLabel*>(nextSong_)}) {
        label->SetTextColor(scheme.text);
    }
    fading_->SetTextColor(scheme.hilite);
    shuffle_->ColChange(ColorValue(scheme.text));
}

void AutoPilotPanel::SetToolTips(bool on) {
    aPlay_->ToolTipChange(Tip(HelpTarget::APlay, on));
    aStop_->ToolTipChange(Tip(HelpTarget::AStop, on));
    aNext_->ToolTipChange(Tip(HelpTarget::ANext, on));
    shuffle_->SetTipText(Tip(HelpTarget::ShuffButt, on));
    shuffle_->TipChange();
}

CrossfaderPanel::CrossfaderPanel(engine::CrossfaderModel& model, engine::Desk& desk,
                                 QWidget* parent)
    : QWidget(parent),
      crossfader_(new appearance::MiniCrossfader(model, this)),
      leftFade_(Caption(QStringLiteral("\u25C0\u25C0 Auto"), this)),
      fadeRight_(Caption(QStringLiteral("Auto \u25B6\u25B6"), this)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 4, 8, 4);
    column->setSpacing(3);
    auto* captions = new QHBoxLayout;
    captions->addWidget(leftFade_);
    captions->addStretch();
    captions->addWidget(fadeRight_);
    column->addLayout(captions);
    column->addWidget(crossfader_, 0, Qt::AlignHCenter);
    column->addStretch();
    setFixedWidth(crossfader_->width() + 16);
    leftFade_->setCursor(Qt::PointingHandCursor);
    fadeRight_->setCursor(Qt::PointingHandCursor);

    connect(leftFade_, &DeskLabel::Released, this, [this](Qt::MouseButton button) {
        if (button == Qt::LeftButton) crossfader_->AutoFadeLeft();
    });
    connect(fadeRight_, &DeskLabel::Released, this, [this](Qt::MouseButton button) {
        if (button == Qt::LeftButton) crossfader_->AutoFadeRight();
    });
    connect(leftFade_, &DeskLabel::MouseOver, this,
            [&desk] { desk.SetStatus(Help(HelpTarget::LeftFade)); });
    connect(fadeRight_, &DeskLabel::MouseOver, this,
            [&desk] { desk.SetStatus(Help(HelpTarget::FadeRight)); });
    connect(crossfader_, &appearance::MiniCrossfader::MouseOver, this,
            [&desk] { desk.SetStatus(Help(HelpTarget::Crossfader)); });
    connect(crossfader_, &appearance::MiniCrossfader::RightClick, this,
            &CrossfaderPanel::MenuRequested);
}

void CrossfaderPanel::ApplyColors(const ColorScheme& scheme) {
    leftFade_->SetTextColor(scheme.text);
    fadeRight_->SetTextColor(scheme.text);
}

void CrossfaderPanel::SetToolTips(bool on) {
    crossfader_->ToolTipChange(Tip(HelpTarget::Crossfader, on));
    leftFade_->setToolTip(Tip(HelpTarget::LeftFade, on));
    fadeRight_->setToolTip(Tip(HelpTarget::FadeRight, on));
}

namespace {

struct ButtonInfo {
    const char* caption;
    HelpTarget help;
};

constexpr ButtonInfo kButtons[ButtonRow::kCount] = {
    {"Stop All", HelpTarget::StopAll}, {"Mic", HelpTarget::MicButt},
    {"About", HelpTarget::Butt1},      {"Log", HelpTarget::LogButt},
    {"Help", HelpTarget::HelpButt},    {"Options", HelpTarget::Options1},
    {"Playlist", HelpTarget::PList},   {"Exit", HelpTarget::ExitButton},
};

}  // namespace

ButtonRow::ButtonRow(engine::Desk& desk, QWidget* parent) : QWidget(parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 4);
    grid->setSpacing(4);
    for (int i = 0; i < kCount; ++i) {
        auto* button = new appearance::Butt(QString::fromLatin1(kButtons[i].caption), this);
        button->setFixedSize(52, 20);
        grid->addWidget(button, i / 4, i % 4);
        connect(button, &appearance::Butt::MouseOver, this,
                [&desk, help = kButtons[i].help] { desk.SetStatus(Help(help)); });
        buttons_[i] = button;
    }
    // A fifth column, not a third row: the desk keeps the size of its background picture.
    connect_ = new ConnectButton(this);
    connect_->setFixedSize(60, 20);
    grid->addWidget(connect_, 0, 4);
    grid->setRowStretch(2, 1);
}

void ButtonRow::ApplyColors(const ColorScheme& scheme) {
    for (appearance::Butt* button : buttons_) button->ColChange(ColorValue(scheme.text));
    connect_->SetTextColor(ColorValue(scheme.text));
}

void ButtonRow::SetToolTips(bool on) {
    for (int i = 0; i < kCount; ++i) {
        buttons_[i]->SetTipText(Tip(kButtons[i].help, on));
        buttons_[i]->TipChange();
    }
}

}  // namespace corvane::app
