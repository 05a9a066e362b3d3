// The log viewer and the text export over real log files in a temporary folder; their
// questions and messages answer at once with what the test put in.
#include "songlog/ui/log_view.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTreeView>
#include <mutex>

#include "editor_support.h"
#include "ombrel/flatprog.h"
#include "songlog/logfile.h"
#include "songlog/songlog.h"
#include "songlog/ui/output.h"

namespace corvane::songlog {
namespace {

using namespace Qt::StringLiterals;

class LogViewTest : public ::testing::Test, public TempSettings {
protected:
    void SetUp() override {
        editor::testing::EnsureApplication();
        settings_.SavePref(keys::kLogFile, logFile_);
        dialogs_.askYesNo = [this](QWidget*, const QString& title, const QString& text) {
            asked_.append(title + u": "_s + text);
            return yes_;
        };
        dialogs_.message = [this](QWidget*, QMessageBox::Icon icon, const QString& text) {
            messages_.append(u"%1 %2"_s.arg(int(icon)).arg(text));
        };
        dialogs_.runOutput = [](QDialog&) {};
    }
    void TearDown() override { delete view_.data(); }

    void WriteLog(int entries) {
        QList<IniWrite> writes{{kLogTotalSection, kLogEntriesKey, QString::number(entries)}};
        for (int n = 1; n <= entries; ++n) {
            writes.append({kLogSongsSection, LogKey(n, LogField::File), u"Song %1"_s.arg(n)});
            writes.append({kLogSongsSection, LogKey(n, LogField::Date), u"D%1"_s.arg(n)});
            writes.append({kLogSongsSection, LogKey(n, LogField::Time), u"T%1"_s.arg(n)});
        }
        ASSERT_TRUE(ini_.WriteIni(writes, logFile_));
    }
    View& Make() {
        view_ = new View(
            settings_, [this] { return logFile_; }, dialogs_, reader_);
        return *view_;
    }
    View& Open() {
        Make().Load();
        Settle();
        return *view_;
    }
    // Runs the event loop until the refresh under way (or just scheduled) has finished.
    void Settle() {
        QSignalSpy done(view_.data(), &View::RefreshFinished);
        ASSERT_TRUE(done.wait(10000));
    }
    QString Cell(int row, int column) {
        return view_->Model().index(row, column).data().toString();
    }

    QString logFile_ = dir_.filePath(u"logs/songs.log"_s);
    LogDialogs dialogs_;
    songlog::LogReader reader_;
    bool yes_ = true;
    QStringList asked_;
    QStringList messages_;
    QPointer<View> view_;
};

TEST_F(LogViewTest, EmptyLogListsNothingAndOptionsAsksForTheLoggingTabAlone) {
    View& view = Open();
    EXPECT_EQ(view.Model().rowCount(), 0);
    EXPECT_EQ(view.FileLabel()->text(), logFile_);
    EXPECT_TRUE(view.isEnabled());
    QSignalSpy options(&view, &View::OptionsRequested);
    view.Options_Click();
    ASSERT_EQ(options.size(), 1);
    EXPECT_TRUE(options[0][0].toBool());
}

TEST_F(LogViewTest, RefreshFillsTheTableWithProgressEveryTenRows) {
    WriteLog(25);
    QList<int> values;
    QObject::connect(Make().Prog(), &ombrel::FlatProg::ValueChanged,
                     [this, &values] { values.append(view_->Prog()->Value()); });
    view_->Load();
    Settle();
    EXPECT_EQ(values, (QList<int>{10, 20, 1}));
    EXPECT_TRUE(view_->Prog()->isHidden());
    EXPECT_FALSE(view_->List()->isHidden());
    ASSERT_EQ(view_->Model().rowCount(), 25);
    EXPECT_EQ(Cell(24, 0), u"D25"_s);
    EXPECT_EQ(Cell(24, 1), u"T25"_s);
    EXPECT_EQ(Cell(24, 2), u"Song 25"_s);
    EXPECT_EQ(view_->windowTitle(), u"CVN Song Log - 25 Titles Logged"_s);
}

// The file is read by the reader the viewer is given, and a window closed before its read
// reports drops the report.
TEST_F(LogViewTest, ReadsOnItsReaderAndAClosedWindowDropsItsRead) {
    WriteLog(3);
    std::mutex gate;
    gate.lock();
    reader_.Read(QString(), [&gate](QList<LogEntry>) { std::lock_guard wait(gate); });
    QSignalSpy done(&Make(), &View::RefreshFinished);
    view_->setAttribute(Qt::WA_DeleteOnClose, false);
    view_->Load();
    EXPECT_FALSE(done.wait(200));  // queued behind the gate
    gate.unlock();
    view_->close();
    QCoreApplication::processEvents();
    EXPECT_TRUE(done.isEmpty());
    EXPECT_EQ(view_->Model().rowCount(), 0);
}

TEST_F(LogViewTest, SongsLoggedWhileOpenAreAddedLive) {
    WriteLog(2);
    settings_.SavePref(keys::kLogging, true);
    SongLog log(ini_, settings_);
    View& view = Open();
    QObject::connect(&log, &SongLog::EntryWritten, &view, &View::AddOne);
    log.LogSong(u"/music/Third.mp3"_s);
    log.LogTimer_Timer();
    log.LogSong(u"/music/Fourth.mp3"_s);
    log.LogTimer_Timer();
    ASSERT_EQ(view.Model().rowCount(), 4);
    EXPECT_EQ(Cell(3, 2), u"Fourth"_s);
    EXPECT_FALSE(Cell(3, 0).isEmpty());
    EXPECT_EQ(view.windowTitle(), u"CVN Song Log - 4 Titles Listed"_s);

    // One written while the table fills comes after the rows it is filled with.
    view.RefreshListing();
    log.LogSong(u"/music/Fifth.mp3"_s);
    log.LogTimer_Timer();
    Settle();
    ASSERT_EQ(view.Model().rowCount(), 5);
    EXPECT_EQ(Cell(4, 2), u"Fifth"_s);
}

TEST_F(LogViewTest, ClearAsksAndKeepsTheOldKeys) {
    WriteLog(3);
    View& view = Open();
    yes_ = false;
    view.Clear_Click();
    EXPECT_EQ(asked_, QStringList{u"Confirm Delete: Are you sure you want to clear the log?"_s});
    EXPECT_EQ(view.Model().rowCount(), 3);

    yes_ = true;
    view.Clear_Click();
    Settle();
    EXPECT_EQ(view.Model().rowCount(), 0);
    EXPECT_EQ(ini_.ReadIni(kLogTotalSection, kLogEntriesKey, logFile_), u"0"_s);
    EXPECT_EQ(ini_.ReadIni(kLogSongsSection, u"3 File"_s, logFile_), u"Song 3"_s);
}

TEST_F(LogViewTest, ClosedMaximisedKeepsTheLastNormalPlace) {
    View& view = Open();
    view.move(100, 80);
    view.resize(500, 300);
    view.close();
    EXPECT_EQ(settings_.GetInt(keys::kViewLeft), 1500);
    EXPECT_EQ(settings_.GetInt(keys::kViewWidth), 500 * 15 + 120);
    EXPECT_EQ(Open().pos(), QPoint(100, 80));
    EXPECT_EQ(view_->size(), QSize(500, 300));
    view_->showMaximized();
    view_->close();
    EXPECT_EQ(settings_.GetInt(keys::kViewState), 2);
    EXPECT_EQ(settings_.GetInt(keys::kViewWidth), 500 * 15 + 120);
    EXPECT_TRUE(Open().isMaximized());
}

class OutputTest : public LogViewTest {
protected:
    void SetUp() override {
        LogViewTest::SetUp();
        WriteLog(2);
    }
    Output& Make() {
        output_ = std::make_unique<Output>(settings_, logFile_, dialogs_);
        output_->Load();
        return *output_;
    }
    std::unique_ptr<Output> output_;
};

TEST_F(OutputTest, ExportsWithEachChoiceOfColumns) {
    EXPECT_EQ(Make().Text1()->text(), dir_.filePath(u"logs/songs.txt"_s));
    const QString target = dir_.filePath(u"out.txt"_s);
    const struct {
        bool dates, times;
        const char* text;
    } cases[] = {
        {true, true, "D1 | T1 | Song 1\r\nD2 | T2 | Song 2\r\n"},
        {true, false, "D1 | Song 1\r\nD2 | Song 2\r\n"},
        {false, true, "T1 | Song 1\r\nT2 | Song 2\r\n"},
        {false, false, "Song 1\r\nSong 2\r\n"},
    };
    for (const auto& c : cases) {
        QFile::remove(target);
        Output& output = Make();
        output.Text1()->setText(target);
        output.Check1()->setChecked(c.dates);
        output.Check2()->setChecked(c.times);
        EXPECT_TRUE(output.Create_Click());
        EXPECT_EQ(ReadBytes(target), c.text);
        EXPECT_EQ(settings_.GetInt(keys::kSaveDates), c.dates ? 1 : 0);
        EXPECT_EQ(settings_.GetInt(keys::kSaveTimes), c.times ? 1 : 0);
    }
    EXPECT_EQ(settings_.GetText(keys::kLastTextLog), target);
    EXPECT_EQ(messages_.back(), u"1 %1 Written to %2."_s.arg(logFile_, target));
    EXPECT_TRUE(asked_.isEmpty());
}

TEST_F(OutputTest, OverwriteAnsweredNoOrAnUnwritableFolderWritesAndStoresNothing) {
    const QString target = dir_.filePath(u"old.txt"_s);
    editor::testing::Touch(target, "keep");
    Output& output = Make();
    output.Text1()->setText(target);
    output.Check1()->setChecked(false);
    yes_ = false;
    EXPECT_FALSE(output.Create_Click());
    EXPECT_EQ(
        asked_,
        QStringList{u"Confirm Overwrite: %1 exists. Do you want to overwrite it?"_s.arg(target)});
    EXPECT_EQ(ReadBytes(target), "keep");
    EXPECT_TRUE(messages_.isEmpty());

    // A folder that cannot be made: its parent is a file.
    output.Text1()->setText(target + u"/out.txt"_s);
    EXPECT_FALSE(output.Create_Click());
    ASSERT_EQ(messages_.size(), 1);
    EXPECT_TRUE(messages_[0].startsWith(u"3 Couldn't write "_s)) << messages_[0].toStdString();
    EXPECT_FALSE(settings_.Has(keys::kLastTextLog));
    EXPECT_FALSE(settings_.Has(keys::kSaveDates));
}

}  // namespace
}  // namespace corvane::songlog
