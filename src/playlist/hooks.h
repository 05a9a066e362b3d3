#pragma once

#include <QtGlobal>
#include <functional>

namespace corvane {

// Hooks into a long load or save, both optional. `progress` gets the number of entries written
// so far after every 25th entry (line form) or 50th (INI form). `yield` marks the points where
// a caller may let its event loop breathe.
struct PlaylistHooks {
    std::function<void(int)> progress;
    std::function<void()> yield;
};

// After every `step`-th of `count` entries: the progress value, then a yield.
inline void ReportStep(const PlaylistHooks& hooks, qsizetype count, int step) {
    if (count % step != 0) return;
    if (hooks.progress) hooks.progress(static_cast<int>(count));
    if (hooks.yield) hooks.yield();
}

}  // namespace corvane
