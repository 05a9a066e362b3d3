#!/usr/bin/env bash
# Installs the Debian packages Corvane needs to build, run and test, if any is missing.
# Sourced by ./run and ./test; fast when everything is already there.
set -euo pipefail

CORVANE_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-svg-dev qt6-image-formats-plugins libgl-dev
  libavformat-dev libavcodec-dev libswresample-dev libavutil-dev
  libfluidsynth-dev timgm6mb-soundfont
  portaudio19-dev libasound2-dev libasound2-plugins alsa-utils
  libgtest-dev libgmock-dev libbenchmark-dev
  pulseaudio pulseaudio-utils procps xvfb xauth
  dbus libshout3-dev icecast2 openssl ffmpeg xdotool
)
# Only the fuzz run (scripts/fuzz.sh) needs these: clang and its libFuzzer runtime, which
# Debian ships apart from the compiler.
CORVANE_FUZZ_PACKAGES=(clang libclang-rt-14-dev)

# Installs the packages named (default: CORVANE_PACKAGES) that are missing.
corvane_install_deps() {
  local missing=()
  local p
  [ $# -gt 0 ] || set -- "${CORVANE_PACKAGES[@]}"
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# Configures (once) and builds the tree in $1 with the CMake options that follow.
corvane_build() {
  local dir=$1; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S . -B "$dir" -G Ninja "$@"
  fi
  cmake --build "$dir" --parallel "$(nproc)"
}
