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

// The song log's settings as the program holds them, read once at start-up.
struct LogSettings {
    bool logging = false;  // "Logging": songs are logged at all
    bool logAll = true;    // "LogAll": the line players' songs too, not only the AutoPilot's
    bool logPath = false;  // "LogPath": the full path rather than the song's name
    QString logFile;       // "LogFile"

    static LogSettings FromSettings(const Settings& settings);
};

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
// The AutoPilot's songs come through LogSong, the line players' through LogLineSong, which
// passes them on only while "LogAll" is on. The settings are read once, when the log is made,
// and changed through SetOptions (the Options dialog stores them too), so a change takes
// effect at the next song even when the settings file cannot be written.
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
    // The same for a song a line player started: logged only while "LogAll" is on.
    void LogLineSong(const QString& path);
    const LogSettings& Options() const { return options_; }
    void SetOptions(const LogSettings& options) { options_ = options; }
    // The delay ran out: writes every queued song. Public so the timer's owner and tests can
    // call it.
    void LogTimer_Timer();

    // The log file in use now ("LogFile").
    const QString& LogFile() const { return options_.logFile; }
    // Songs waiting to be written.
    int PendingCount() const { return int(pending_.size()); }
    bool TimerActive() const;

    // The text a song is logged as: its full path, or with "LogPath" off its name (the file
    // name without folder and extension).
    static QString LoggedText(const QString& path, bool fullPath);
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
    LogSettings options_;
    std::unique_ptr<OneShotTimer> timer_;
    Clock clock_;
    QLocale locale_;
    QList<Pending> pending_;
    bool failureReported_ = false;
};

}  // namespace corvane
