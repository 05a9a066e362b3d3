#pragma once

#include <QLatin1String>
#include <QList>
#include <QString>

namespace corvane {

class IniFiles;

// The song log file's layout: the count in "Total"/"Entries", entry n as the keys "n File",
// "n Date" and "n Time" of section "Songs". "Entries" alone says how many entries are valid;
// keys past it are left-overs of a cleared log.
inline constexpr QLatin1String kLogTotalSection{"Total"};
inline constexpr QLatin1String kLogEntriesKey{"Entries"};
inline constexpr QLatin1String kLogSongsSection{"Songs"};

enum class LogField { File, Date, Time };

// "12 File" and the like.
QString LogKey(const QString& number, LogField field);
QString LogKey(int entry, LogField field);

// The number of valid entries for a stored "Entries" text: its leading number, rounded;
// empty, unreadable or negative text gives 0.
int LogEntryCount(const QString& entriesText);

struct LogEntry {
    QString date;
    QString time;
    QString file;  // the song as logged: its full path or its name
};

// Entries 1 to "Entries" of the log, a missing key giving empty text; none for a missing or
// unreadable file. The file is parsed once, whatever its size.
QList<LogEntry> ReadLogEntries(IniFiles& ini, const QString& logFile);

// Sets "Entries" to 0; the entries' keys stay in the file. False when it could not be written.
bool ClearLog(IniFiles& ini, const QString& logFile);

// The plain-text export: one line per entry, "date | time | song" with the date and the time
// each optional, lines ended by CR LF, no header. The file is replaced atomically. On failure
// the old file is untouched and `error` says why.
bool WriteTextLog(const QList<LogEntry>& entries, bool includeDates, bool includeTimes,
                  const QString& textFile, QString* error);

}  // namespace corvane
