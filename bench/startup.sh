#!/bin/bash
# The start-up figures with a private PulseAudio as the sound system, as on a desktop: its
# master control is what line 7 drives.
# Usage: bench/startup.sh [build dir] [rounds]     (default: build, 15)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
# shellcheck source=../tests/e2e/pulse_env.sh
source "$here/../tests/e2e/pulse_env.sh"
start_pulse
python3 "$here/startup.py" "$build" "${2:-15}"
