#!/usr/bin/env bash
# Installs what is needed, builds the release configuration and runs the
# main job.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DZOL_BUILD_TESTS=OFF
cmake --build build -j"$(nproc)"
build/bin/zolhost info typing
