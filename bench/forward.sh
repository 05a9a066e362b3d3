#!/bin/bash
# How soon a file handed to the running program by a later start plays: from the later start's
# launch to line 1 playing, beside the floor of launching the same binary for --version.
# Runs on a private PulseAudio, as bench/startup.sh does.
# Usage: bench/forward.sh [build dir] [rounds]     (default: build, 20)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
# shellcheck source=../tests/e2e/pulse_env.sh
source "$here/../tests/e2e/pulse_env.sh"
start_pulse
python3 "$here/forward.py" "$build" "${2:-20}"
