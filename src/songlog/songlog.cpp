#include "songlog/songlog.h"

#include <QTimer>

#include "playlist/paths.h"
#include "settings/ini.h"
#include "settings/settings.h"
#include "songlog/logfile.h"

namespace corvane {

namespace {

class QtOneShotTimer : public OneShotTimer {
public:
    explicit QtOneShotTimer(QObject* parent) : timer_(parent) {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (onTimeout) onTimeout();
        });
    }
    void Start(int ms) override { timer_.start(ms); }
    void Stop() override { timer_.stop(); }
    bool IsActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

// A control character would make the whole entry unwritable (and with it every song queued
// behind it); file names on Linux may hold one.
QString OneLine(QString text) {
    for (QChar& c : text)
        if (c.unicode() < 0x20) c = u' ';
    return text;
}

}  // namespace

std::unique_ptr<OneShotTimer> MakeQtOneShotTimer(QObject* parent) {
    return std::make_unique<QtOneShotTimer>(parent);
}

SongLog::SongLog(IniFiles& ini, Settings& settings, std::unique_ptr<OneShotTimer> timer,
                 Clock clock, QObject* parent)
    : QObject(parent),
      ini_(ini),
      options_(LogSettings::FromSettings(settings)),
      timer_(timer ? std::move(timer) : MakeQtOneShotTimer(this)),
      clock_(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); })),
      locale_(QLocale::system()) {
    timer_->onTimeout = [this] { LogTimer_Timer(); };
}

SongLog::~SongLog() = default;

LogSettings LogSettings::FromSettings(const Settings& settings) {
    return {settings.GetBool(keys::kLogging), settings.GetBool(keys::kLogAll),
            settings.GetBool(keys::kLogPath), settings.GetText(keys::kLogFile)};
}

bool SongLog::TimerActive() const { return timer_->IsActive(); }

void SongLog::LogLineSong(const QString& path) {
    if (options_.logAll) LogSong(path);
}

void SongLog::LogSong(const QString& path) {
    if (!options_.logging) return;
    // The time is taken now: a queued song keeps the time it started, not the time of the write.
    pending_.append({path, clock_()});
    if (pending_.size() > kMaxPending) pending_.removeFirst();
    timer_->Start(kLogDelayMs);
}

void SongLog::LogTimer_Timer() {
    timer_->Stop();
    if (!options_.logging) {
        pending_.clear();  // switched off while the songs waited
        return;
    }
    if (pending_.isEmpty()) return;

    const QString file = LogFile();
    const bool fullPath = options_.logPath;
    const int first = LogEntryCount(ini_, file) + 1;
    const int last = first + int(pending_.size()) - 1;

    // One rewrite for the whole batch: the count first, so a new file starts with "Total".
    QList<IniWrite> writes;
    writes.reserve(1 + 3 * pending_.size());
    writes.append({kLogTotalSection, kLogEntriesKey, QString::number(last)});
    for (int i = 0; i < pending_.size(); ++i) {
        const Pending& song = pending_[i];
        const QString n = QString::number(first + i);
        writes.append({kLogSongsSection, LogKey(n, LogField::File),
                       OneLine(LoggedText(song.path, fullPath))});
        writes.append({kLogSongsSection, LogKey(n, LogField::Date), DateText(song.started)});
        writes.append({kLogSongsSection, LogKey(n, LogField::Time), TimeText(song.started)});
    }
    if (!ini_.WriteIni(writes, file)) {
        if (!failureReported_)
            Q_EMIT WriteFailed(QStringLiteral("Couldn't write the song log %1").arg(file));
        failureReported_ = true;
        return;
    }
    failureReported_ = false;
    pending_.clear();
    for (int n = first; n <= last; ++n) Q_EMIT EntryWritten(n);
}

QString SongLog::LoggedText(const QString& path, bool fullPath) {
    if (fullPath) return path;
    // The folder goes first, so a dot in a folder's name is not taken for an extension.
    return StripExtension(SplitPath(path).fileName);
}

QString SongLog::DateText(const QDateTime& when) const {
    return locale_.toString(when.date(), QLocale::ShortFormat);
}

QString SongLog::TimeText(const QDateTime& when) const {
    // The short form, with seconds: songs often start less than a minute apart.
    QString format = locale_.timeFormat(QLocale::ShortFormat);
    if (!format.contains(u's')) {
        const qsizetype minutes = format.indexOf(QLatin1String("mm"));
        if (minutes >= 0) format.insert(minutes + 2, QLatin1String(":ss"));
    }
    return locale_.toString(when.time(), format);
}

}  // namespace corvane
