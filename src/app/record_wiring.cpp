#include "app/record_wiring.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QShortcut>
#include <QSvgRenderer>

#include "app/line_strip.h"
#include "app/main_form.h"
#include "audio/engine.h"
#include "engine/desk.h"
#include "playlist/paths.h"
#include "record/recorder.h"
#include "settings/settings.h"

namespace corvane::app {

RecordButton::RecordButton(QWidget* parent) : QAbstractButton(parent) {
    setObjectName(QStringLiteral("RecordButt"));
    setFixedSize(sizeHint());
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
}

void RecordButton::SetLit(bool lit) {
    if (lit == lit_) return;
    lit_ = lit;
    update();
}

void RecordButton::paintEvent(QPaintEvent*) {
    // Each renderer parses its picture once, the first time it is drawn.
    static QSvgRenderer off(QStringLiteral(":/pictures/record_off.svg"));
    static QSvgRenderer on(QStringLiteral(":/pictures/record_on.svg"));
    QPainter painter(this);
    (lit_ ? on : off).render(&painter, rect());
}

QString ElapsedText(double seconds) {
    const auto s = static_cast<long long>(seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QChar(u'0'))
        .arg(s % 60, 2, 10, QChar(u'0'));
}

QString SizeText(long long bytes) {
    if (bytes < 1000 * 1000) return QStringLiteral("%1 kB").arg((bytes + 500) / 1000);
    if (bytes < 1000LL * 1000 * 1000)
        return QStringLiteral("%1 MB").arg(static_cast<double>(bytes) / 1e6, 0, 'f', 1);
    return QStringLiteral("%1 GB").arg(static_cast<double>(bytes) / 1e9, 0, 'f', 2);
}

RecordWiring::RecordWiring(MainForm& form, audio::Engine& engine, Settings& settings)
    : form_(form),
      settings_(settings),
      recorder_(std::make_unique<record::Recorder>(
          &engine, [](const QString& path) { return StripExtension(SplitPath(path).fileName); })) {
    QWidget* row = form.Strip(engine::Desk::kMasterLine)->SpareRow();
    button_ = new RecordButton(row);
    elapsed_ = new QLabel(row);
    elapsed_->setObjectName(QStringLiteral("RecordTime"));
    size_ = new QLabel(row);
    size_->setObjectName(QStringLiteral("RecordSize"));
    for (QLabel* label : {elapsed_, size_}) {
        label->setFont(CaptionFont());
        label->setForegroundRole(QPalette::WindowText);
    }
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(6, 0, 6, 0);
    layout->setSpacing(5);
    layout->addWidget(button_);
    layout->addWidget(elapsed_);
    layout->addStretch();
    layout->addWidget(size_);

    shortcut_ = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_R), &form);
    connect(shortcut_, &QShortcut::activated, this, &RecordWiring::Toggle);
    connect(button_, &QAbstractButton::clicked, this, &RecordWiring::Toggle);
    connect(recorder_.get(), &record::Recorder::Stopped, this, &RecordWiring::Stopped);
    connect(recorder_.get(), &record::Recorder::FramesDropped, &form.Desk(),
            &engine::Desk::SetStatus);
    blink_.setInterval(kBlinkMs);
    connect(&blink_, &QTimer::timeout, this, [this] {
        blinkOn_ = !blinkOn_;
        Refresh();
    });
    Refresh();
    QTimer::singleShot(0, this, &RecordWiring::RepairInterrupted);
}

RecordWiring::~RecordWiring() {
    // Stopping completes the file; nothing is shown any more.
    disconnect(recorder_.get(), nullptr, this, nullptr);
    recorder_->Stop();
}

void RecordWiring::SetToolTips(bool on) {
    button_->setToolTip(on ? QStringLiteral("Records the master mix (Ctrl+R)") : QString());
}

void RecordWiring::Toggle() {
    if (recorder_->Recording()) {
        recorder_->Stop();
        return;
    }
    record::RecordSettings chosen;
    chosen.folder = settings_.GetText(keys::kRecordFolder);
    chosen.format = record::FormatFromName(settings_.GetText(keys::kRecordFormat));
    chosen.bitrateKbps = settings_.GetInt(keys::kRecordBitrate);
    QString error;
    if (!recorder_->Start(chosen, &error)) {
        form_.ShowMessage(error);
        return;
    }
    blinkOn_ = true;
    blink_.start();
    Refresh();
    form_.Desk().SetStatus(QStringLiteral("Recording to ") +
                           QFileInfo(recorder_->FilePath()).fileName());
}

void RecordWiring::Refresh() {
    const bool recording = recorder_->Recording();
    button_->SetLit(recording && blinkOn_);
    const bool shown = recording || recorder_->FileBytes() > 0;
    elapsed_->setText(shown ? ElapsedText(recorder_->ElapsedSeconds()) : QString());
    size_->setText(shown ? SizeText(recorder_->FileBytes()) : QString());
}

void RecordWiring::Stopped(const QString& path, const QString& error) {
    blink_.stop();
    Refresh();
    if (!error.isEmpty()) {
        form_.ShowMessage(error);
        return;
    }
    form_.Desk().SetStatus(QStringLiteral("Recorded ") + QFileInfo(path).fileName());
}

void RecordWiring::RepairInterrupted() {
    const QStringList repaired =
        record::Recorder::RepairInterrupted(settings_.GetText(keys::kRecordFolder));
    if (!repaired.isEmpty())
        form_.Desk().SetStatus(QStringLiteral("Repaired the interrupted recording ") +
                               repaired.join(QStringLiteral(", ")));
}

}  // namespace corvane::app
