#pragma once

#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "mixer/system_mixer.h"

namespace corvane::mixer::testing {

// A mixer whose controls the test chooses; it records every write. The test keeps a pointer
// to the state while the SystemMixer owns the backend.
struct FakeMixerState {
    std::map<MixerLine, ControlBounds> controls;
    std::vector<std::pair<MixerLine, long long>> writes;
    // What a read gives: the last value written or set by the test.
    std::map<MixerLine, long long> values;
    int result = 0;
    QString error;

    std::vector<long long> WritesTo(MixerLine line) const {
        std::vector<long long> values;
        for (const auto& [to, value] : writes) {
            if (to == line) values.push_back(value);
        }
        return values;
    }
};

class FakeMixer final : public MixerBackend {
public:
    explicit FakeMixer(FakeMixerState& state) : state_(state) {}

    std::optional<ControlBounds> FindControl(MixerLine line) override {
        const auto found = state_.controls.find(line);
        if (found == state_.controls.end()) return std::nullopt;
        return found->second;
    }
    int SetControl(MixerLine line, long long value) override {
        state_.writes.emplace_back(line, value);
        if (state_.result == 0) state_.values[line] = value;
        return state_.result;
    }
    std::optional<long long> ReadControl(MixerLine line) override {
        const auto found = state_.values.find(line);
        if (found == state_.values.end()) return std::nullopt;
        return found->second;
    }
    QString ErrorText() const override { return state_.error; }

private:
    FakeMixerState& state_;
};

inline std::unique_ptr<MixerBackend> MakeFake(FakeMixerState& state) {
    return std::make_unique<FakeMixer>(state);
}

}  // namespace corvane::mixer::testing
