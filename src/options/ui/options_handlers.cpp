// The Options dialog's control handlers: each stores its setting and has the host apply it.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include "options/ui/options_dialog.h"
#include "settings/keys.h"
#include "settings/settings.h"
#include "songlog/songlog.h"

namespace corvane::options {

namespace {

// The busy pointer for the length of a handler, back to normal on every way out.
class BusyPointer {
public:
    BusyPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QGuiApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

QString BoxStyle(appearance::ColorValue color, bool marked) {
    const QString rgb = QStringLiteral("#%1").arg(appearance::FormatColor(color));
    return marked ? QStringLiteral("QToolButton { background: %1; border: none; }").arg(rgb)
                  : QStringLiteral("QToolButton { background: %1; border: 1px solid black; }")
                        .arg(rgb);
}

}  // namespace

void Options::StoreCheck(QCheckBox* box, QLatin1String key) {
    if (ready_) settings_.SavePref(key, box->isChecked());
}

void Options::Check1Click() {
    if (!ready_) return;
    StoreCheck(check1_, keys::kAsof);
    host_.SetAutoStop(check1_->isChecked());
    check2_->setEnabled(check1_->isChecked());
}

void Options::SpeedClick(int index) {
    if (!ready_) return;
    settings_.SavePref(keys::kFadeSpeed, kFadeSpeeds[index]);
    host_.SetFadeSpeed(kFadeSpeeds[index]);
}

void Options::Check6Click() {
    if (!ready_) return;
    const bool on = check6_->isChecked();
    settings_.SavePref(keys::kStatHelp, on ? 1 : 0);
    host_.ShowStatusHelp(on);
}

void Options::Check4Click() {
    if (!ready_) return;
    StoreCheck(check4_, keys::kToolTips);
    host_.SetToolTips(check4_->isChecked());
}

void Options::PriorityClick(bool high) {
    if (!ready_) return;
    settings_.SavePref(keys::kPriority, high ? kHighPriorityValue : kLowPriorityValue);
    host_.SetHighPriority(high);
}

void Options::NumberChanged(const NumberBox* box, int value) {
    if (!ready_) return;
    settings_.SavePref(box->Field().key, value);
    host_.SetNumber(box->Field(), value);
}

void Options::Check7Click() {
    if (!ready_) return;
    StoreCheck(check7_, keys::kShowLines);
    host_.ShowLines(check7_->isChecked());
}

void Options::MarkBox(int index) {
    marked_ = index;
    for (int i = 0; i < kPaletteSize; ++i)
        boxes_[i]->setStyleSheet(BoxStyle(Palette()[i], i == index));
}

void Options::TargetClick(ColorTarget target) {
    if (!ready_) return;
    target_ = target;
    MarkBox(PaletteIndexOf(ColorOf(host_.Colors(), target)));
}

void Options::ColorBoxClick(int index) {
    if (!ready_) return;
    BusyPointer busy;
    MarkBox(index);
    appearance::SchemeColors colors = host_.Colors();
    ColorOf(colors, target_) = Palette()[index];
    settings_.SavePref(ColorKey(target_), Palette()[index]);
    host_.SetColors(colors);
}

void Options::List1Click() {
    if (!ready_ || list1_->currentItem() == nullptr) return;
    BusyPointer busy;
    const QString name = list1_->currentItem()->text();
    settings_.SavePref(keys::kFace, name);
    host_.ChooseFace(name);
    check7_->setChecked(host_.LinesVisible());
}

void Options::EnableFaces(bool on) {
    faceFrame_->setEnabled(on);
    list1_->setEnabled(on);
}

void Options::Check5Click() {
    if (!ready_) return;
    const bool on = check5_->isChecked();
    {
        BusyPointer busy;
        host_.LoadFace(on);
        settings_.SavePref(keys::kBackPic, on);
        EnableFaces(on);
    }
    command2_->setEnabled(on);
    check7_->setChecked(host_.LinesVisible());
}

void Options::EnableLogging(bool on) {
    for (QWidget* control :
         std::initializer_list<QWidget*>{txtFile_, cmdBrowse_, opFull_, opSong_, opAp_, opAs_})
        control->setEnabled(on);
}

void Options::ChLogClick() {
    if (!ready_) return;
    StoreLog(keys::kLogging, &LogSettings::logging, chLog_->isChecked());
    EnableLogging(chLog_->isChecked());
}

void Options::StoreLog(QLatin1String key, bool LogSettings::*choice, bool on) {
    if (!ready_) return;
    settings_.SavePref(key, on);
    LogSettings log = host_.LogOptions();
    log.*choice = on;
    host_.SetLogOptions(log);
}

void Options::StoreLogFile() {
    LogSettings log = host_.LogOptions();
    if (!ready_ || txtFile_->text() == log.logFile) return;
    log.logFile = txtFile_->text();
    settings_.SavePref(keys::kLogFile, log.logFile);
    host_.SetLogOptions(log);
}

void Options::CmdBrowseClick() {
    if (!ready_) return;
    const QString chosen = chooseLogFile_(this, txtFile_->text());
    if (chosen.isEmpty()) return;
    txtFile_->setText(chosen);
    StoreLogFile();
}

void Options::LimiterClick() {
    if (!ready_) return;
    StoreCheck(limiter_, keys::kLimiter);
    host_.SetLimiter(limiter_->isChecked());
}

void Options::AudioChanged() {
    if (!ready_) return;
    const QString device = device_->currentData().toString();
    const int frames = buffer_->currentData().toInt();
    settings_.SavePref(keys::kAudioDevice, device);
    settings_.SavePref(keys::kAudioBuffer, frames);
    latency_->setText(LatencyText(frames, host_.AudioRate()));
    // The old output may be finishing a device scan: the dialog stays live meanwhile, and the
    // choices come back once the new output is in place.
    device_->setEnabled(false);
    buffer_->setEnabled(false);
    host_.SetAudioOutput(device, frames, [dialog = QPointer<Options>(this)] {
        if (dialog.isNull()) return;
        dialog->device_->setEnabled(true);
        dialog->buffer_->setEnabled(true);
        Q_EMIT dialog->AudioSwitched();
    });
}

}  // namespace corvane::options
