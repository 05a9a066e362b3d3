#!/bin/bash
# From an AutoPilot song's start in the real program to the desktop's client seeing it in
# PropertiesChanged, on a private session bus and sound server.
# Usage: bench/mpris_latency.sh [build dir] [seconds]     (default: build, 30)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
# shellcheck source=../tests/e2e/pulse_env.sh
source "$here/../tests/e2e/pulse_env.sh"
start_pulse
python3 "$here/mpris_latency.py" "$build" "${2:-30}"
