#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "audio/player_worker.h"
#include "engine/overview_cache.h"

namespace corvane::engine {

// Makes the loudness overviews of the songs the lines open, on a worker thread of its own at
// a low priority, so an overview never holds up an open or a play. Each file (by path, size
// and modification time) is made at most once per run: from the disk cache when it holds it,
// else by decoding, then kept in the cache when the folder can be written.
class OverviewService : public QObject {
    Q_OBJECT

public:
    // `cacheFolder` empty: nothing is read from or written to disk.
    OverviewService(QString cacheFolder, int rate, audio::DecoderFactory open,
                    QObject* parent = nullptr);
    ~OverviewService() override;

    // Asks for the overview of `path`; Ready follows once it is there (later, on this thread,
    // even when it is already known).
    void Request(const QString& path);
    // The overview of `path` as it is on disk now; empty until it is ready, and for a file
    // that cannot be decoded.
    audio::OverviewPeaks Find(const QString& path) const;

Q_SIGNALS:
    void Ready(const QString& path);

private:
    struct Job {
        OverviewKey key;
        QString path;
    };

    void Run();
    audio::OverviewPeaks Make(const Job& job);

    OverviewCache cache_;
    const int rate_;
    audio::DecoderFactory open_;

    QSet<QString> asked_;                        // key texts asked for; UI thread
    QHash<QString, audio::OverviewPeaks> made_;  // by key text; UI thread

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Job> jobs_;
    std::atomic<bool> quit_{false};
    std::thread thread_;
};

}  // namespace corvane::engine
