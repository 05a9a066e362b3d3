#include "app/cue_button.h"

#include <QBoxLayout>
#include <QMouseEvent>
#include <QPainter>

#include "app/line_strip.h"
#include "appearance/ui/pan.h"
#include "appearance/ui/picturebutton.h"
#include "appearance/ui/units.h"
#include "audio/engine.h"

namespace corvane::app {

namespace {
int Side() { return appearance::TwipsToPixels(appearance::PictureButton::kSizeTwips); }
}  // namespace

CueButton::CueButton(int line, QWidget* parent) : QWidget(parent), line_(line) {
    setObjectName(QStringLiteral("Cue%1").arg(line));
    setFixedSize(Side(), Side());
}

void CueButton::ShowToolTip(bool on) {
    if (!on) {
        setToolTip(QString());
        return;
    }
    setToolTip(line_ == 0 ? QStringLiteral("Pre-listen: hear the AutoPilot on the headphones, "
                                           "before its slider, mute and the crossfader")
                          : QStringLiteral("Pre-listen: hear this line on the headphones, before "
                                           "its slider, mute and the crossfader (Ctrl+F%1)")
                                .arg(line_));
}

void CueButton::SetLit(bool lit) {
    if (lit == lit_) return;
    lit_ = lit;
    update();
}

QSize CueButton::sizeHint() const { return {Side(), Side()}; }

void CueButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    (lit_ ? litPicture_ : unlitPicture_).render(&painter, QRectF(rect()));
}

void CueButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) Q_EMIT Pressed();
}

CueButtons::CueButtons(audio::Engine& engine, const std::array<LineStrip*, 8>& strips,
                       QObject* parent)
    : QObject(parent), engine_(engine) {
    for (int line = 0; line < static_cast<int>(buttons_.size()); ++line) {
        QWidget* row = strips[line]->PanKnob()->parentWidget();
        auto* layout = qobject_cast<QBoxLayout*>(row->layout());
        auto* button = new CueButton(line, row);
        button->SetLit(engine_.Cue(line));
        // A spacer as wide on the other side keeps the pan knob centred.
        layout->insertSpacing(0, Side());
        layout->addWidget(button, 0, Qt::AlignVCenter);
        connect(button, &CueButton::Pressed, this, [this, line] { Toggle(line); });
        buttons_[line] = button;
    }
}

void CueButtons::Toggle(int line) {
    if (line < 0 || line >= static_cast<int>(buttons_.size())) return;
    const bool on = !engine_.Cue(line);
    engine_.SetCue(line, on);
    buttons_[line]->SetLit(on);
}

void CueButtons::SetToolTips(bool on) {
    for (CueButton* button : buttons_) button->ShowToolTip(on);
}

CueButton* CueButtons::Button(int line) const {
    return line >= 0 && line < static_cast<int>(buttons_.size()) ? buttons_[line] : nullptr;
}

}  // namespace corvane::app
