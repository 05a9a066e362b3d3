#pragma once

#include <QList>
#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

#include "songlog/logfile.h"

namespace corvane::songlog {

// Reads whole song logs on one thread of its own that lives as long as this does. A thread
// made for each read left that read's memory spread over the allocator's arenas of other
// threads, a little more each time as the log grew; one thread reuses it.
class LogReader {
public:
    using Done = std::function<void(QList<LogEntry> entries)>;

    LogReader();
    // Finishes the read under way; reads still waiting are dropped.
    ~LogReader();
    LogReader(const LogReader&) = delete;
    LogReader& operator=(const LogReader&) = delete;

    // Reads `file`, then calls `done` with its entries on the reader's thread.
    void Read(const QString& file, Done done);

private:
    void Run();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::pair<QString, Done>> jobs_;
    bool quit_ = false;
    std::thread thread_;
};

}  // namespace corvane::songlog
