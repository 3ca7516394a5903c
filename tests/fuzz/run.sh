#!/usr/bin/env bash
# Builds the rich-text reader's fuzz target with clang under AddressSanitizer
# and UndefinedBehaviorSanitizer, and runs it for a bounded time.
#   tests/fuzz/run.sh [seconds]        (default 30; FUZZ_BUILD_DIR to relocate the build)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
seconds="${1:-${FUZZ_SECONDS:-30}}"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"

mkdir -p "$build"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_COMPILER="${FUZZ_CXX:-clang++-14}" > "$build/configure.log" 2>&1 ||
  { cat "$build/configure.log"; exit 1; }
cmake --build "$build" -j2

# A fresh corpus each run, seeded with the fixtures; nothing is written into the tree.
corpus="$(mktemp -d)"
trap 'rm -rf "$corpus"' EXIT
cp "$root"/tests/fixtures/rtf/*.rtf "$corpus"/
cd "$build"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
./rtf_reader_fuzz "$corpus" -dict="$here/rtf.dict" -max_total_time="$seconds" \
  -max_len=65536 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
