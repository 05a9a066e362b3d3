#include "mixer/system_mixer.h"

#include <algorithm>
#include <limits>

#include "engine/volume_law.h"

namespace corvane::mixer {

namespace {

constexpr long long kIntMin = std::numeric_limits<int>::min();
constexpr long long kIntMax = std::numeric_limits<int>::max();

QString LineName(MixerLine line) {
    return line == MixerLine::Master ? QStringLiteral("master") : QStringLiteral("microphone");
}

}  // namespace

QString MissingControlsText(bool masterAvailable, bool micAvailable) {
    if (masterAvailable && micAvailable) return QString();
    const QString missing =
        !masterAvailable && !micAvailable
            ? QStringLiteral("Master and Mic are")
            : (masterAvailable ? QStringLiteral("Mic is") : QStringLiteral("Master is"));
    return QStringLiteral("No system volume control: %1 not available.").arg(missing);
}

SystemMixer::SystemMixer(std::unique_ptr<MixerBackend> backend, MixerOpener reopen)
    : backend_(std::move(backend)), reopen_(std::move(reopen)) {}

SystemMixer::~SystemMixer() = default;

bool SystemMixer::InitMixer() {
    master_ = Find(MixerLine::Master);
    mic_ = Find(MixerLine::Mic);
    return master_.has_value();
}

bool SystemMixer::Retry() {
    if ((master_ && mic_) || !reopen_) return false;
    SystemMixer fresh(reopen_());
    fresh.InitMixer();
    // Never give up a control for a mixer that has fewer.
    if ((master_ && !fresh.master_) || (mic_ && !fresh.mic_)) return false;
    if (fresh.master_.has_value() == master_.has_value() &&
        fresh.mic_.has_value() == mic_.has_value())
        return false;
    backend_ = std::move(fresh.backend_);
    master_ = fresh.master_;
    mic_ = fresh.mic_;
    rangeError_ = fresh.rangeError_;
    return true;
}

std::optional<SystemMixer::Control> SystemMixer::Find(MixerLine line) {
    if (backend_ == nullptr) return std::nullopt;
    const std::optional<ControlBounds> bounds = backend_->FindControl(line);
    if (!bounds) return std::nullopt;
    // A control whose range does not fit our whole numbers cannot be scaled: treat it as
    // missing rather than write wrapped values.
    const long long range = bounds->maximum - bounds->minimum;
    if (bounds->minimum < kIntMin || bounds->maximum > kIntMax || range < 0 || range > kIntMax) {
        rangeError_ += QStringLiteral("The %1 volume control's range %2 to %3 is not usable. ")
                           .arg(LineName(line))
                           .arg(bounds->minimum)
                           .arg(bounds->maximum);
        return std::nullopt;
    }
    return Control{static_cast<int>(bounds->minimum), static_cast<int>(range)};
}

int SystemMixer::Minimum() const { return master_ ? master_->minimum : 0; }
int SystemMixer::Range() const { return master_ ? master_->range : 0; }
int SystemMixer::MicMinimum() const { return mic_ ? mic_->minimum : 0; }
int SystemMixer::MicRange() const { return mic_ ? mic_->range : 0; }

void SystemMixer::SetRaw(int value) { Write(MixerLine::Master, master_, value); }

void SystemMixer::SetMicLevel(int sliderValue) {
    if (!mic_) return;
    // The microphone's own bounds: the master's would be wrong whenever the two differ.
    Write(MixerLine::Mic, mic_,
          engine::MasterControlValue(sliderValue, mic_->range, mic_->minimum));
    micLevelValue_ = sliderValue;
}

int SystemMixer::ReadMicLevel() {
    if (!mic_) return micLevelValue_;
    const std::optional<long long> raw = backend_->ReadControl(MixerLine::Mic);
    if (!raw) return micLevelValue_;
    // The inverse of the slider's scale, so that reading back what a slider position wrote
    // gives that position.
    const double share = mic_->range > 0 ? double(*raw - mic_->minimum) / mic_->range : 0.0;
    micLevelValue_ = std::clamp(engine::RoundHalfEven(share * 100.0), 0, 100);
    return micLevelValue_;
}

void SystemMixer::Write(MixerLine line, const std::optional<Control>& control, int value) {
    if (!control) return;
    const long long top = static_cast<long long>(control->minimum) + control->range;
    mixerResult_ = backend_->SetControl(line, std::clamp<long long>(value, control->minimum, top));
}

QString SystemMixer::ErrorText() const {
    QString text = backend_ != nullptr ? backend_->ErrorText() : QLatin1String(kNoMixerDevice);
    if (!rangeError_.isEmpty()) {
        if (!text.isEmpty()) text += QLatin1Char(' ');
        text += rangeError_.trimmed();
    }
    return text;
}

}  // namespace corvane::mixer
