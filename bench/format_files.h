#pragma once

#include <QString>

namespace benchmark {
class State;
}

namespace corvane::bench {

// A five-minute music-like piece as a `ending` file ("wav", "flac", "ogg", "opus", "m4a"),
// written under build/bench_files on first use (by the benchmark at run time, never at build
// time) and reused after. Empty, with `error` set, when it cannot be made.
QString FiveMinuteFile(const QString& ending, QString* error);

// A ten-minute piece as "mp3" or "flac" (or any ending above), made and kept the same way.
QString TenMinuteFile(const QString& ending, QString* error);

// The five-minute file of the format a benchmark's argument names (0 wav, the floor; 1 FLAC;
// 2 Ogg; 3 Opus; 4 M4A), with the benchmark labelled by it; empty, and the benchmark skipped
// with the reason, when it cannot be made.
QString FiveMinuteFileFor(benchmark::State& state);

}  // namespace corvane::bench
