#pragma once

#include <QDateTime>
#include <QList>
#include <QLocale>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

namespace corvane {

class IniFiles;
class Settings;

// A one-shot delay, (re)started with Start; tests put in one they fire by hand.
class OneShotTimer {
public:
    virtual ~OneShotTimer() = default;
    // Fires `onTimeout` once, `ms` from now; a running delay starts over.
    virtual void Start(int ms) = 0;
    virtual void Stop() = 0;
    virtual bool IsActive() const = 0;

    std::function<void()> onTimeout;
};

// The one the program uses: a single-shot QTimer on the UI thread's event loop.
std::unique_ptr<OneShotTimer> MakeQtOneShotTimer(QObject* parent = nullptr);

// The song log: every song that starts playing is queued by LogSong and written half a second
// later as one numbered entry ("n File", "n Date", "n Time" in section "Songs", the count in
// "Total"/"Entries") of an INI file. Songs that start before the delay runs out wait in a queue
// and are written together, in the order they started, with one rewrite of the file.
//
// Which players' songs reach LogSong is the caller's choice ("LogAll": the AutoPilot's always,
// the line players' only when it is on); "Logging", "LogPath" and "LogFile" are read afresh at
// every write, so a change in the Options dialog takes effect at the next one.
class SongLog : public QObject {
    Q_OBJECT

public:
    static constexpr int kLogDelayMs = 500;
    // While the log file cannot be written, songs wait for the next attempt; past this many the
    // oldest are dropped, so a log that never becomes writable cannot grow memory without end.
    static constexpr int kMaxPending = 10000;

    using Clock = std::function<QDateTime()>;

    // timer: null gives the Qt timer. clock: null gives the current local time.
    SongLog(IniFiles& ini, Settings& settings, std::unique_ptr<OneShotTimer> timer = nullptr,
            Clock clock = {}, QObject* parent = nullptr);
    ~SongLog() override;

    // Queues the song that just started (its full path) when "Logging" is on, and (re)starts
    // the delay.
    void LogSong(const QString& path);
    // The delay ran out: writes every queued song. Public so the timer's owner and tests can
    // call it.
    void LogTimer_Timer();

    // The log file in use now ("LogFile").
    QString LogFile() const;
    // Songs waiting to be written.
    int PendingCount() const { return int(pending_.size()); }
    bool TimerActive() const;

    // The text a song is logged as: its full path, or with "LogPath" off its name (the file
    // name without folder and extension).
    static QString LoggedText(const QString& path, bool fullPath);
    // The number of the next entry for a stored "Entries" text: its leading number plus one,
    // rounded; empty, unreadable or negative text counts as 0.
    static int NextEntryNumber(const QString& entriesText);
    // The date and time texts an entry records, in the user's short forms.
    QString DateText(const QDateTime& when) const;
    QString TimeText(const QDateTime& when) const;
    void SetLocale(const QLocale& locale) { locale_ = locale; }

Q_SIGNALS:
    // Entry n was written (once per entry, in order): the viewer adds its row.
    void EntryWritten(int entry);
    // The log file could not be written; said once until a write succeeds again. The songs
    // stay queued and are tried again when the next song starts.
    void WriteFailed(const QString& message);

private:
    struct Pending {
        QString path;
        QDateTime started;
    };

    IniFiles& ini_;
    Settings& settings_;
    std::unique_ptr<OneShotTimer> timer_;
    Clock clock_;
    QLocale locale_;
    QList<Pending> pending_;
    bool failureReported_ = false;
};

}  // namespace corvane
