#include "mixer/background_open.h"

#include <cerrno>
#include <future>

namespace corvane::mixer {

namespace {

class BackgroundBackend final : public MixerBackend {
public:
    explicit BackgroundBackend(std::function<std::unique_ptr<MixerBackend>()> open)
        : opening_(std::async(std::launch::async, std::move(open))) {}

    std::optional<ControlBounds> FindControl(MixerLine line) override {
        MixerBackend* backend = Opened();
        return backend != nullptr ? backend->FindControl(line) : std::nullopt;
    }

    int SetControl(MixerLine line, long long value) override {
        MixerBackend* backend = Opened();
        return backend != nullptr ? backend->SetControl(line, value) : -ENODEV;
    }

    std::optional<long long> ReadControl(MixerLine line) override {
        MixerBackend* backend = Opened();
        return backend != nullptr ? backend->ReadControl(line) : std::nullopt;
    }

    QString ErrorText() const override {
        MixerBackend* backend = Opened();
        return backend != nullptr ? backend->ErrorText() : QLatin1String(kNoMixerDevice);
    }

private:
    MixerBackend* Opened() const {
        if (opening_.valid()) opened_ = opening_.get();
        return opened_.get();
    }

    // Both only on the thread that uses the backend; the destructor waits for the opening.
    mutable std::future<std::unique_ptr<MixerBackend>> opening_;
    mutable std::unique_ptr<MixerBackend> opened_;
};

}  // namespace

std::unique_ptr<MixerBackend> OpenInBackground(
    std::function<std::unique_ptr<MixerBackend>()> open) {
    return std::make_unique<BackgroundBackend>(std::move(open));
}

}  // namespace corvane::mixer
