#include "songlog/logfile.h"

#include <QSaveFile>
#include <cmath>

#include "settings/ini.h"

namespace corvane {

namespace {

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
    if (!ok || n <= 0) return false;
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

}  // namespace

QString LogKey(const QString& number, LogField field) { return number + u' ' + FieldName(field); }

QString LogKey(int entry, LogField field) { return LogKey(QString::number(entry), field); }

int LogEntryCount(const QString& entriesText) {
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
    // A count this large is no count the log could hold; restarting beats overflowing.
    if (!ok || !std::isfinite(value) || value < 0 || value > 2e9) return 0;
    return int(std::nearbyint(value));  // halves to even
}

QList<LogEntry> ReadLogEntries(IniFiles& ini, const QString& logFile) {
    QList<LogEntry> entries(LogEntryCount(ini.ReadIni(kLogTotalSection, kLogEntriesKey, logFile)));
    if (entries.isEmpty()) return entries;
    QList<IniKeyValue> keys;
    ini.ReadSection(kLogSongsSection, logFile, keys);
    for (const IniKeyValue& kv : keys) {
        int n = 0;
        LogField field = LogField::File;
        if (!ParseLogKey(kv.key, &n, &field) || n > entries.size()) continue;
        LogEntry& e = entries[n - 1];
        (field == LogField::File ? e.file : field == LogField::Date ? e.date : e.time) = kv.value;
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
    QSaveFile out(textFile);
    const QByteArray bytes = text.toUtf8();
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        if (error)
            *error = QStringLiteral("Couldn't write %1: %2").arg(textFile, out.errorString());
        return false;
    }
    return true;
}

}  // namespace corvane
