// The command line, one argument per input line: an answer that ends the program has text and
// a known code; otherwise the start-up path is empty, absolute or kept as foreign text.
#include "fuzz_check.h"
#include "playlist/entry_text.h"
#include "settings/command_line.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    QStringList arguments{QStringLiteral("/usr/bin/corvane")};
    for (const QByteArray& line : fuzz::Bytes(data, size).split('\n'))
        arguments.append(QString::fromUtf8(line));
    const CommandLine result = ParseCommandLine(arguments);
    if (result.exitNow) {
        FUZZ_CHECK(!result.output.isEmpty());
        FUZZ_CHECK(result.exitCode == 0 || result.exitCode == 1);
        FUZZ_CHECK(result.path.isEmpty() && !result.debug);
        return 0;
    }
    FUZZ_CHECK(result.output.isEmpty() && result.exitCode == 0);
    const QString& path = result.path;
    FUZZ_CHECK(path.isEmpty() || path.startsWith(QLatin1Char('/')) || entry::IsForeignEntry(path) ||
               entry::IsFileUri(QStringView(path)));
    return 0;
}
