#include "songlog/log_reader.h"

#include <malloc.h>

#include "settings/ini.h"

namespace corvane::songlog {

LogReader::LogReader() : thread_([this] { Run(); }) {}

LogReader::~LogReader() {
    {
        std::lock_guard lock(mutex_);
        quit_ = true;
        jobs_.clear();
    }
    wake_.notify_one();
    thread_.join();
}

void LogReader::Read(const QString& file, Done done) {
    {
        std::lock_guard lock(mutex_);
        jobs_.emplace_back(file, std::move(done));
    }
    wake_.notify_one();
}

void LogReader::Run() {
    for (;;) {
        std::pair<QString, Done> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return quit_ || !jobs_.empty(); });
            if (quit_) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        {
            IniFiles ini;  // a parser of its own: the shared one belongs to the UI thread
            job.second(ReadLogEntries(ini, job.first));
        }
        // A read's parse grows with the log; its freed pages go back to the system now
        // instead of staying in this thread's allocator arena at the largest read's size.
        malloc_trim(0);
    }
}

}  // namespace corvane::songlog
