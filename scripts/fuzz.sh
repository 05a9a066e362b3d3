#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan+UBSan) in build-fuzz and runs each one for the
# given number of seconds (default 30) on a copy of its seed corpus, so the corpus in the repo
# does not grow. Exits 1 on the first target that crashes or breaks a property, naming the
# input that reproduces it.
set -euo pipefail

seconds=${1:-30}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${CORVANE_FUZZ_BUILD:-$root/build-fuzz}

source "$root/scripts/deps.sh"
corvane_install_deps "${CORVANE_FUZZ_PACKAGES[@]}"
if [ ! -f "$build/build.ninja" ]; then
  launcher=()
  command -v ccache >/dev/null &&
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCORVANE_FUZZ=ON "${launcher[@]}"
fi
cmake --build "$build" -j2

work=$(mktemp -d "${TMPDIR:-/tmp}/corvane-fuzz.XXXXXX")
keep=0
trap '[ "$keep" = 1 ] || rm -rf "$work"' EXIT

for binary in "$build"/bin/fuzz_*; do
  target=$(basename "$binary")
  corpus=$work/$target/corpus
  artifacts=$work/$target/artifacts
  mkdir -p "$corpus" "$artifacts"
  cp -r "$root/fuzz/corpus/$target/." "$corpus/" 2>/dev/null || true
  log=$work/$target/log
  echo "== $target ($seconds s)"
  if ! "$binary" -max_total_time="$seconds" -rss_limit_mb=2048 -malloc_limit_mb=512 \
      -timeout=10 -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1; then
    keep=1
    tail -n 40 "$log"
    input=$(ls -d "$artifacts"/* 2>/dev/null | head -n 1)
    echo "FAIL: $target; reproduce with: $binary $input"
    # The input itself, for a CI log whose machine is gone.
    [ -n "$input" ] && od -A x -t x1z -v "$input" | head -n 64
    echo "log: $log"
    exit 1
  fi
  grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || tail -n 1 "$log"
  grep -E 'stat::number_of_executed_units' "$log" || true
done
echo "all fuzz targets ran $seconds s without a finding"
