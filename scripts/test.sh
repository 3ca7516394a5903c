#!/usr/bin/env bash
# Installs what is needed, builds the Debug configuration under
# AddressSanitizer and UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DZOL_SANITIZE=ON
cmake --build build-asan -j"$(nproc)"
# Leaks of libraries that are unloaded before exit cannot be symbolised;
# the leak checker still runs, on everything that stays loaded.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
# The RTF reader under the fuzzer, for a short bounded time.
tests/fuzz/run.sh 20
