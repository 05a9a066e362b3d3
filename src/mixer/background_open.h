#pragma once

#include <functional>
#include <memory>

#include "mixer/system_mixer.h"

namespace corvane::mixer {

// Opens a mixer on a thread of its own and hands back a backend that stands for it at once.
// Opening the system mixer goes through the sound server and takes several milliseconds that
// the program's start can spend on its splash and main window meanwhile. The first call
// waits for the opening to end; a null result behaves like a device without controls.
std::unique_ptr<MixerBackend> OpenInBackground(std::function<std::unique_ptr<MixerBackend>()> open);

}  // namespace corvane::mixer
