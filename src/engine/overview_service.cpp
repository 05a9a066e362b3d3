#include "engine/overview_service.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QMetaObject>

namespace corvane::engine {

OverviewService::OverviewService(QString cacheFolder, int rate, audio::DecoderFactory open,
                                 QObject* parent)
    : QObject(parent),
      cache_(std::move(cacheFolder)),
      rate_(rate),
      open_(std::move(open)),
      thread_([this] { Run(); }) {}

OverviewService::~OverviewService() {
    {
        std::lock_guard lock(mutex_);
        quit_.store(true);
    }
    wake_.notify_one();
    thread_.join();
}

void OverviewService::Request(const QString& path) {
    const std::optional<OverviewKey> key = OverviewKeyOf(path);
    if (!key) return;
    const QString text = key->Text();
    if (asked_.contains(text)) {
        if (made_.contains(text))
            QMetaObject::invokeMethod(
                this, [this, path] { Q_EMIT Ready(path); }, Qt::QueuedConnection);
        return;
    }
    asked_.insert(text);
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back({*key, path});
    }
    wake_.notify_one();
}

audio::OverviewPeaks OverviewService::Find(const QString& path) const {
    const std::optional<OverviewKey> key = OverviewKeyOf(path);
    return key ? made_.value(key->Text()) : audio::OverviewPeaks();
}

void OverviewService::Run() {
    // Below the decoders that feed the players: an overview may wait, a song may not.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return quit_.load() || !jobs_.empty(); });
            if (quit_.load()) return;
            job = jobs_.front();
            jobs_.pop_front();
        }
        audio::OverviewPeaks peaks = Make(job);
        if (quit_.load()) return;
        QMetaObject::invokeMethod(
            this,
            [this, job, peaks = std::move(peaks)] {
                if (!peaks.empty()) made_.insert(job.key.Text(), peaks);
                Q_EMIT Ready(job.path);
            },
            Qt::QueuedConnection);
    }
}

audio::OverviewPeaks OverviewService::Make(const Job& job) {
    if (std::optional<audio::OverviewPeaks> cached = cache_.Load(job.key)) return *cached;
    QString error;
    std::unique_ptr<audio::Decoder> decoder = open_(job.path, rate_, &error);
    if (decoder == nullptr) return {};
    audio::OverviewPeaks peaks = audio::ComputeOverview(*decoder, &quit_);
    if (!peaks.empty()) cache_.Store(job.key, peaks);
    return peaks;
}

}  // namespace corvane::engine
