#include "songlog/ui/log_view.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>
#include <condition_variable>
#include <mutex>

#include "ombrel/factory.h"
#include "settings/ini.h"
#include "settings/settings.h"
#include "songlog/ui/output.h"

namespace corvane::songlog {

namespace {

// The stored size is the window's outer size in twips; these stand for the frame around the
// area we lay out, so a stored size comes back as the same window.
constexpr int kFrameWidth = 120;
constexpr int kFrameHeight = 240;
constexpr int kButtonWidth = 1095;
constexpr int kButtonHeight = 375;
constexpr int kProgHeight = 240;

int Px(double twips) { return int(twips / View::kTwipsPerPixel); }

QString Title(qsizetype rows, const char* ending) {
    return QStringLiteral("CVN Song Log - %1").arg(rows) + QLatin1String(ending);
}

}  // namespace

View::View(Settings& settings, std::function<QString()> logFile, LogDialogs dialogs,
           LogReader& reader, QWidget* parent)
    : QWidget(parent, Qt::Window),
      settings_(settings),
      ini_(settings.Ini()),
      logFile_(std::move(logFile)),
      dialogs_(std::move(dialogs)),
      reader_(reader) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(Title(0, " Titles Logged"));

    label1_ = new QLabel(QStringLiteral("Loading Log..."), this);
    label1_->setAlignment(Qt::AlignCenter);
    list_ = new QTreeView(this);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setModel(&model_);
    list_->header()->setStretchLastSection(true);
    fileLabel_ = new QLabel(this);
    command1_ = new QPushButton(QStringLiteral("&Options"), this);
    command2_ = new QPushButton(QStringLiteral("&Done"), this);
    command3_ = new QPushButton(QStringLiteral("&Save to File"), this);
    command4_ = new QPushButton(QStringLiteral("&Clear"), this);
    prog_ = qobject_cast<ombrel::FlatProg*>(
        ombrel::CreateControl(QLatin1String(ombrel::kFlatProgClassId), this));
    if (prog_) prog_->hide();

    connect(command1_, &QPushButton::clicked, this, &View::Options_Click);
    connect(command2_, &QPushButton::clicked, this, &View::Done_Click);
    connect(command3_, &QPushButton::clicked, this, &View::SaveToFile_Click);
    connect(command4_, &QPushButton::clicked, this, &View::Clear_Click);

    fillTimer_.setSingleShot(true);
    fillTimer_.setInterval(0);
    connect(&fillTimer_, &QTimer::timeout, this, &View::FillStep);
}

// One read of the log file: what it found, once the reader is done with it.
struct View::Read {
    void Finish(QList<LogEntry> found) {
        {
            std::lock_guard lock(mutex);
            entries = std::move(found);
            done = true;
        }
        finished.notify_all();
    }
    QList<LogEntry> Wait() {
        std::unique_lock lock(mutex);
        finished.wait(lock, [this] { return done; });
        return std::move(entries);
    }

    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    QList<LogEntry> entries;
};

View::~View() {
    // The read uses nothing of the window, but its report must not outlive it.
    if (read_) read_->Wait();
}

QString View::LogFile() const { return logFile_(); }

void View::Load() {
    const double width = settings_.GetDouble(keys::kViewWidth);
    const double height = settings_.GetDouble(keys::kViewHeight);
    resize(std::max(1, Px(width - kFrameWidth)), std::max(1, Px(height - kFrameHeight)));
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize screenTwips = screen ? screen->geometry().size() * kTwipsPerPixel : QSize();
    const double left = settings_.Has(keys::kViewLeft) ? settings_.GetDouble(keys::kViewLeft)
                                                       : (screenTwips.width() - width) / 2;
    const double top = settings_.Has(keys::kViewTop) ? settings_.GetDouble(keys::kViewTop)
                                                     : (screenTwips.height() - height) / 2;
    move(Px(left), Px(top));
    switch (settings_.GetInt(keys::kViewState)) {
        case 1:
            showMinimized();
            break;
        case 2:
            showMaximized();
            break;
        default:
            show();
    }
    QTimer::singleShot(0, this, &View::RefreshListing);
}

void View::RefreshListing() {
    if (!refreshing_) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    refreshing_ = true;
    setEnabled(false);
    fillTimer_.stop();
    model_.Clear();
    list_->hide();
    if (read_) {
        readAgain_ = true;  // the file may have changed since that read began
        return;
    }
    StartRead();
}

void View::StartRead() {
    read_ = std::make_shared<Read>();
    reader_.Read(LogFile(), [read = read_, view = this](QList<LogEntry> entries) {
        // Queued: dropped if the window is deleted first (its destructor waits for the read).
        QMetaObject::invokeMethod(
            view, [view, read] { view->EntriesRead(read); }, Qt::QueuedConnection);
        read->Finish(std::move(entries));
    });
}

void View::EntriesRead(const std::shared_ptr<Read>& read) {
    if (read != read_) return;  // dropped when the window closed
    read_.reset();
    QList<LogEntry> entries = read->Wait();
    if (std::exchange(readAgain_, false)) {
        StartRead();
        return;
    }
    loading_ = std::move(entries);
    filled_ = 0;
    if (prog_) {
        prog_->SetMin(1);
        prog_->SetMax(int(loading_.size()));
        prog_->show();
    }
    fillTimer_.start();
}

void View::FillStep() {
    const qsizetype end = std::min(filled_ + kRowsPerStep, loading_.size());
    model_.Append(loading_, filled_, end);
    if (prog_) {
        for (qsizetype i = (filled_ / 10 + 1) * 10; i <= end; i += 10) prog_->SetValue(int(i));
    }
    filled_ = end;
    if (filled_ < loading_.size()) {
        fillTimer_.start();
        return;
    }
    FinishRefresh();
}

void View::FinishRefresh() {
    loading_.clear();
    if (prog_) {
        prog_->hide();
        prog_->SetValue(1);
    }
    fileLabel_->setText(LogFile());
    setWindowTitle(Title(model_.rowCount(), " Titles Logged"));
    list_->show();
    setEnabled(true);
    refreshing_ = false;
    QGuiApplication::restoreOverrideCursor();
    // Entries written while the table filled come after the ones it was filled with, unless
    // the read found them already.
    for (int entry : std::exchange(deferredAdds_, {}))
        if (entry > model_.rowCount()) AddOne(entry);
    Q_EMIT RefreshFinished();
}

void View::AddOne(int entry) {
    if (refreshing_) {
        deferredAdds_.append(entry);
        return;
    }
    const QString file = LogFile();
    const auto read = [&](LogField field) {
        return ini_.ReadIni(kLogSongsSection, LogKey(entry, field), file);
    };
    model_.Append(LogEntry{read(LogField::Date), read(LogField::Time), read(LogField::File)});
    list_->scrollToBottom();
    setWindowTitle(Title(model_.rowCount(), " Titles Listed"));
}

void View::Options_Click() { Q_EMIT OptionsRequested(true); }

void View::Done_Click() { close(); }

void View::SaveToFile_Click() {
    Output output(settings_, LogFile(), dialogs_, this);
    output.Load();
    if (dialogs_.runOutput) dialogs_.runOutput(output);
}

void View::Clear_Click() {
    if (!dialogs_.askYesNo(this, QStringLiteral("Confirm Delete"),
                           QStringLiteral("Are you sure you want to clear the log?")))
        return;
    if (!ClearLog(ini_, LogFile())) {
        dialogs_.message(this, QMessageBox::Critical,
                         QStringLiteral("Couldn't clear the log %1").arg(LogFile()));
    }
    RefreshListing();
}

void View::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Layout();
}

void View::Layout() {
    const int w = width() * kTwipsPerPixel + kFrameWidth;
    const int h = height() * kTwipsPerPixel + kFrameHeight;
    // A window too small for a control leaves that control as it was.
    if (w - 120 > 0 && h - 1000 > 0) {
        list_->setGeometry(0, 0, Px(w - 120), Px(h - 1000));
        label1_->setGeometry(list_->geometry());
    }
    const int buttonsTop = Px(h - 880);
    if (w - 5000 > 0) fileLabel_->setGeometry(Px(60), buttonsTop, Px(w - 5000), Px(kButtonHeight));
    const std::pair<QPushButton*, int> buttons[] = {
        {command4_, 4875}, {command3_, 3675}, {command1_, 2475}, {command2_, 1275}};
    for (const auto& [button, fromRight] : buttons) {
        if (w - fromRight >= 0)
            button->setGeometry(Px(w - fromRight), buttonsTop, Px(kButtonWidth), Px(kButtonHeight));
    }
    if (prog_ && w - 240 > 0) prog_->setGeometry(Px(60), Px(h - 480), Px(w - 240), Px(kProgHeight));
}

void View::closeEvent(QCloseEvent* event) {
    fillTimer_.stop();
    if (read_) {  // its report, still to come, finds it dropped
        read_->Wait();
        read_.reset();
    }
    if (refreshing_) {
        refreshing_ = false;
        QGuiApplication::restoreOverrideCursor();
    }
    const int state = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    // A minimised or maximised window keeps the last normal size and position.
    if (state == 0) {
        settings_.SavePref(keys::kViewTop, y() * kTwipsPerPixel);
        settings_.SavePref(keys::kViewLeft, x() * kTwipsPerPixel);
        settings_.SavePref(keys::kViewWidth, width() * kTwipsPerPixel + kFrameWidth);
        settings_.SavePref(keys::kViewHeight, height() * kTwipsPerPixel + kFrameHeight);
    }
    settings_.SavePref(keys::kViewState, state);
    if (!unloaded_) {
        unloaded_ = true;
        Q_EMIT Unloaded();
    }
    QWidget::closeEvent(event);
}

}  // namespace corvane::songlog
