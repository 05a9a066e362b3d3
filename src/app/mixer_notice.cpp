#include "app/mixer_notice.h"

#include <QGraphicsOpacityEffect>
#include <QHelpEvent>
#include <QToolTip>

#include "app/desk_label.h"
#include "app/desk_panels.h"
#include "app/line_strip.h"
#include "app/main_form.h"
#include "appearance/ui/butt.h"
#include "appearance/ui/minislider.h"
#include "engine/desk.h"
#include "mixer/system_mixer.h"

namespace corvane::app {

namespace {
constexpr qreal kGreyOpacity = 0.35;
}

MixerNotice::MixerNotice(MainForm& form, mixer::SystemMixer& mixer) : form_(form), mixer_(mixer) {
    LineStrip* master = form.Strip(engine::Desk::kMasterLine);
    slider_ = master->Slider();
    mute_ = master->Mute();
    micButt_ = form.Buttons()->Button(ButtonRow::MicButt);
    for (QWidget* control : {slider_.data(), mute_.data(), micButt_.data()})
        control->installEventFilter(this);
}

MixerNotice::~MixerNotice() {
    for (QWidget* control : {slider_.data(), mute_.data(), micButt_.data()}) {
        if (control != nullptr) control->removeEventFilter(this);
    }
}

void MixerNotice::Show() {
    ApplyLook();
    // A missing microphone alone stays as quiet as it always was.
    if (!mixer_.MasterVolumeAvailable())
        form_.Desk().SetStatus(mixer::MissingControlsText(false, mixer_.MicVolumeAvailable()));
}

bool MixerNotice::Retry() {
    if (!mixer_.Retry()) return false;
    ApplyLook();
    form_.Desk().SetStatus(QString());
    return true;
}

QString MixerNotice::Reason(const QWidget* control) const {
    const bool works =
        control == micButt_ ? mixer_.MicVolumeAvailable() : mixer_.MasterVolumeAvailable();
    return works ? QString()
                 : mixer::MissingControlsText(mixer_.MasterVolumeAvailable(),
                                              mixer_.MicVolumeAvailable());
}

void MixerNotice::ApplyLook() {
    for (QWidget* control : {slider_.data(), mute_.data(), micButt_.data()}) {
        if (control != nullptr) Grey(control, !Reason(control).isEmpty());
    }
}

void MixerNotice::Grey(QWidget* control, bool grey) {
    // Faded rather than disabled: a disabled control would not see the press that tries again.
    if (!grey) {
        control->setGraphicsEffect(nullptr);
        return;
    }
    if (control->graphicsEffect() != nullptr) return;
    auto* fade = new QGraphicsOpacityEffect(control);
    fade->setOpacity(kGreyOpacity);
    control->setGraphicsEffect(fade);
}

bool MixerNotice::eventFilter(QObject* watched, QEvent* event) {
    auto* control = qobject_cast<QWidget*>(watched);
    if (control == nullptr) return false;
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            // Line 7 tries before it acts, so the press itself reaches a mixer that just
            // appeared; MicButt tries when the Mic window is asked for (MicWiring).
            if (control != micButt_ && !Reason(control).isEmpty()) Retry();
            return false;
        case QEvent::ToolTip: {
            const QString reason = Reason(control);
            if (reason.isEmpty()) return false;
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), reason, control);
            return true;
        }
        default:
            return false;
    }
}

}  // namespace corvane::app
