#include "songlog/ui/output.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "settings/settings.h"
#include "songlog/logfile.h"

namespace corvane::songlog {

namespace {

// The whole path is selected on focus, so typing replaces it.
class SelectAllEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;

protected:
    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        QTimer::singleShot(0, this, &QLineEdit::selectAll);
    }
};

}  // namespace

Output::Output(Settings& settings, QString logFile, LogDialogs dialogs, QWidget* parent)
    : QDialog(parent),
      settings_(settings),
      logFile_(std::move(logFile)),
      dialogs_(std::move(dialogs)) {
    setWindowTitle(QStringLiteral("Output to Raw Text Log"));
    auto* frame2 = new QGroupBox(QStringLiteral("Output File"), this);
    text1_ = new SelectAllEdit(frame2);
    command1_ = new QPushButton(QStringLiteral("&Browse"), frame2);
    auto* fileRow = new QHBoxLayout(frame2);
    fileRow->addWidget(text1_, 1);
    fileRow->addWidget(command1_);

    check1_ = new QCheckBox(QStringLiteral("Include Dates"), this);
    check2_ = new QCheckBox(QStringLiteral("Include Times"), this);
    command2_ = new QPushButton(QStringLiteral("&Create"), this);
    command3_ = new QPushButton(QStringLiteral("&Done"), this);
    command2_->setDefault(true);

    auto* grid = new QGridLayout(this);
    grid->addWidget(frame2, 0, 0, 1, 3);
    grid->addWidget(check1_, 1, 0);
    grid->addWidget(command2_, 1, 2);
    grid->addWidget(check2_, 2, 0);
    grid->addWidget(command3_, 2, 2);
    grid->setColumnStretch(1, 1);
    resize(420, sizeHint().height());

    connect(command1_, &QPushButton::clicked, this, &Output::Browse_Click);
    connect(command2_, &QPushButton::clicked, this, &Output::Create_Click);
    connect(command3_, &QPushButton::clicked, this, &Output::Done_Click);
}

void Output::Load() {
    // Without one stored, the log file in use with ".txt".
    text1_->setText(settings_.Has(keys::kLastTextLog) ? settings_.GetText(keys::kLastTextLog)
                                                      : keys::TextLogFor(logFile_));
    check1_->setChecked(settings_.GetInt(keys::kSaveDates) != 0);
    check2_->setChecked(settings_.GetInt(keys::kSaveTimes) != 0);
}

void Output::Browse_Click() {
    const QString chosen = dialogs_.chooseOutputFile(this, text1_->text());
    if (!chosen.isEmpty()) text1_->setText(chosen);
}

bool Output::Create_Click() {
    const QString path = text1_->text();
    if (QFileInfo::exists(path) &&
        !dialogs_.askYesNo(this, QStringLiteral("Confirm Overwrite"),
                           path + QStringLiteral(" exists. Do you want to overwrite it?")))
        return false;

    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    QString error;
    const bool written = WriteTextLog(ReadLogEntries(settings_.Ini(), logFile_),
                                      check1_->isChecked(), check2_->isChecked(), path, &error);
    QGuiApplication::restoreOverrideCursor();
    if (!written) {
        dialogs_.message(this, QMessageBox::Critical, error);
        return false;
    }
    settings_.SavePref(keys::kLastTextLog, path);
    settings_.SavePref(keys::kSaveDates, check1_->isChecked() ? 1 : 0);
    settings_.SavePref(keys::kSaveTimes, check2_->isChecked() ? 1 : 0);
    dialogs_.message(this, QMessageBox::Information,
                     logFile_ + QStringLiteral(" Written to ") + path + u'.');
    accept();
    return true;
}

void Output::Done_Click() { reject(); }

}  // namespace corvane::songlog
