#pragma once

#include <QLatin1String>
#include <QList>
#include <QString>
#include <optional>

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

// A stored "Entries" text as a count: its leading number, rounded. None for text that holds
// no count (missing, unreadable, negative or too large for one).
std::optional<int> ParseLogEntryCount(const QString& entriesText);
// The number of valid entries: "Entries" when it holds a count, else the highest entry number
// present, so that a log whose count was lost is appended to rather than overwritten.
int LogEntryCount(IniFiles& ini, const QString& logFile);

struct LogEntry {
    QString date;
    QString time;
    QString file;  // the song as logged: its full path or its name
};

// Entries 1 to the count of the log, a missing key giving empty text, up to the last entry
// present; none for a missing or unreadable file. The file is parsed once, whatever its size,
// and the table is never larger than the file could hold (one entry per 10 bytes), whatever
// the count claims.
QList<LogEntry> ReadLogEntries(IniFiles& ini, const QString& logFile);

// Sets "Entries" to 0; the entries' keys stay in the file. False when it could not be written.
bool ClearLog(IniFiles& ini, const QString& logFile);

// The plain-text export: one line per entry, "date | time | song" with the date and the time
// each optional, lines ended by CR LF, no header. The file is replaced atomically. On failure
// the old file is untouched and `error` says why.
bool WriteTextLog(const QList<LogEntry>& entries, bool includeDates, bool includeTimes,
                  const QString& textFile, QString* error);

}  // namespace corvane
