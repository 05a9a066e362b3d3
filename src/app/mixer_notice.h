#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QWidget;

namespace corvane::engine {
class Desk;
}

namespace corvane::mixer {
class SystemMixer;
}

namespace corvane::app {

class MainForm;

// The system mixer's place on the main window when a control is missing: a notice on the status
// line that does not wait for anyone, and line 7's slider, its mute label and MicButt greyed
// with the reason as their tooltip. They still take presses: the next use of line 7 or of
// MicButt opens the mixer again (a sound server may have started since), and the controls come
// back to life when it is there.
class MixerNotice : public QObject {
    Q_OBJECT

public:
    MixerNotice(MainForm& form, mixer::SystemMixer& mixer);
    ~MixerNotice() override;

    // The notice for the controls found at start-up.
    void Show();
    // Opens the mixer again when a control is missing; true when one came back.
    bool Retry();

    // The reason a greyed control gives as its tooltip; empty while it works.
    QString Reason(const QWidget* control) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyLook();
    static void Grey(QWidget* control, bool grey);

    MainForm& form_;
    mixer::SystemMixer& mixer_;
    QPointer<QWidget> slider_;
    QPointer<QWidget> mute_;
    QPointer<QWidget> micButt_;
};

}  // namespace corvane::app
