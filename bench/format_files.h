#pragma once

#include <QString>

namespace corvane::bench {

// A five-minute music-like piece as a `ending` file ("wav", "flac", "ogg", "opus", "m4a"),
// written under build/bench_files on first use (by the benchmark at run time, never at build
// time) and reused after. Empty, with `error` set, when it cannot be made.
QString FiveMinuteFile(const QString& ending, QString* error);

}  // namespace corvane::bench
