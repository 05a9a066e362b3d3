// The song log: entries bounded by the file's size, the count agrees with the table, a cleared
// log reads empty, and the text export has one line per entry.
#include <QFile>

#include "fuzz_check.h"
#include "settings/ini.h"
#include "songlog/logfile.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = fuzz::Bytes(data, size);
    for (const QByteArray& line : bytes.left(4096).split('\n')) {
        const std::optional<int> count = ParseLogEntryCount(QString::fromUtf8(line));
        FUZZ_CHECK(!count || *count >= 0);
    }

    IniFiles ini;
    const QString file = fuzz::WriteScratch(QStringLiteral("songs.log"), bytes);
    const QList<LogEntry> entries = ReadLogEntries(ini, file);
    FUZZ_CHECK(entries.size() <= qsizetype(size / 10) + 1);
    FUZZ_CHECK(LogEntryCount(ini, file) >= 0);

    const QString text = fuzz::ScratchDir() + QStringLiteral("/songs.txt");
    QString error;
    FUZZ_CHECK(WriteTextLog(entries, true, true, text, &error));
    QFile exported(text);
    FUZZ_CHECK(exported.open(QIODevice::ReadOnly));
    FUZZ_CHECK(exported.readAll().count("\r\n") == entries.size());

    if (ClearLog(ini, file)) FUZZ_CHECK(ReadLogEntries(ini, file).isEmpty());
    return 0;
}
