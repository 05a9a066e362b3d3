#include "songlog/logfile.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <vector>

#include "settings/atomic_file.h"
#include "settings/ini.h"

namespace corvane {

namespace {

// No log holds more entries; a count or number beyond is damage, and stays clear of overflow.
constexpr int kMaxEntry = 2'000'000'000;

QLatin1String FieldName(LogField field) {
    switch (field) {
        case LogField::File:
            return QLatin1String("File");
        case LogField::Date:
            return QLatin1String("Date");
        case LogField::Time:
            return QLatin1String("Time");
    }
    return {};
}

// The entry and field a key of "Songs" names ("12 file", as ReadSection lists it); false for
// any other key. Written keys have no leading zeros and one blank, so only that form counts.
bool ParseLogKey(const QString& key, int* entry, LogField* field) {
    const qsizetype blank = key.indexOf(u' ');
    if (blank <= 0 || blank > 10 || key[0] == u'0') return false;
    bool ok = false;
    const int n = QStringView(key).left(blank).toInt(&ok);
    if (!ok || n <= 0 || n > kMaxEntry) return false;
    const QStringView name = QStringView(key).mid(blank + 1);
    for (LogField f : {LogField::File, LogField::Date, LogField::Time}) {
        if (name.compare(FieldName(f), Qt::CaseInsensitive) == 0) {
            *entry = n;
            *field = f;
            return true;
        }
    }
    return false;
}

// A key of "Songs" that names an entry's field; index is its place in the list read.
struct EntryKey {
    int entry;
    LogField field;
    qsizetype index;
};

std::vector<EntryKey> EntryKeys(const QList<IniKeyValue>& keys) {
    std::vector<EntryKey> found;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        EntryKey k{0, LogField::File, i};
        if (ParseLogKey(keys[i].key, &k.entry, &k.field)) found.push_back(k);
    }
    return found;
}

}  // namespace

QString LogKey(const QString& number, LogField field) { return number + u' ' + FieldName(field); }

QString LogKey(int entry, LogField field) { return LogKey(QString::number(entry), field); }

std::optional<int> ParseLogEntryCount(const QString& entriesText) {
    // The leading number, as the count has always been read: "12", " 12 ", "12abc" and
    // "11.6" all count.
    const QString text = entriesText.trimmed();
    qsizetype end = 0;
    if (end < text.size() && (text[end] == u'+' || text[end] == u'-')) ++end;
    while (end < text.size() && text[end].isDigit()) ++end;
    if (end < text.size() && text[end] == u'.') {
        ++end;
        while (end < text.size() && text[end].isDigit()) ++end;
    }
    bool ok = false;
    const double value = QStringView(text).left(end).toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || value > kMaxEntry) return std::nullopt;
    return int(std::nearbyint(value));  // halves to even
}

int LogEntryCount(IniFiles& ini, const QString& logFile) {
    if (const auto stored =
            ParseLogEntryCount(ini.ReadIni(kLogTotalSection, kLogEntriesKey, logFile)))
        return *stored;
    QList<IniKeyValue> keys;
    ini.ReadSection(kLogSongsSection, logFile, keys);
    int highest = 0;
    for (const EntryKey& k : EntryKeys(keys)) highest = std::max(highest, k.entry);
    return highest;
}

QList<LogEntry> ReadLogEntries(IniFiles& ini, const QString& logFile) {
    const qint64 count =
        std::min<qint64>(LogEntryCount(ini, logFile), QFileInfo(logFile).size() / 10);
    QList<LogEntry> entries;
    if (count <= 0) return entries;
    QList<IniKeyValue> keys;
    ini.ReadSection(kLogSongsSection, logFile, keys);
    std::vector<EntryKey> found = EntryKeys(keys);
    std::erase_if(found, [&](const EntryKey& k) { return k.entry > count; });
    int last = 0;
    for (const EntryKey& k : found) last = std::max(last, k.entry);
    entries.resize(last);
    for (const EntryKey& k : found) {
        LogEntry& e = entries[k.entry - 1];
        (k.field == LogField::File   ? e.file
         : k.field == LogField::Date ? e.date
                                     : e.time) = keys[k.index].value;
    }
    return entries;
}

bool ClearLog(IniFiles& ini, const QString& logFile) {
    return ini.WriteIni(kLogTotalSection, kLogEntriesKey, QStringLiteral("0"), logFile);
}

bool WriteTextLog(const QList<LogEntry>& entries, bool includeDates, bool includeTimes,
                  const QString& textFile, QString* error) {
    const QString separator = QStringLiteral(" | ");
    QString text;
    text.reserve(entries.size() * 64);
    for (const LogEntry& e : entries) {
        if (includeDates) text += e.date + separator;
        if (includeTimes) text += e.time + separator;
        text += e.file;
        text += QLatin1String("\r\n");
    }
    return WriteFileAtomically(textFile, text.toUtf8(), error);
}

}  // namespace corvane
