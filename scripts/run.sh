#!/usr/bin/env bash
# Installs what is needed, builds the release configuration and runs the
# main job: the demo project with the credits scrolling, rendered to a video
# of its whole duration and to a still of its middle frame.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DZOL_BUILD_TESTS=OFF
cmake --build build -j"$(nproc)"
examples/make-demo.sh build
build/bin/zolhost render out/demo.zolproj -o out/demo.mp4
build/bin/zolhost render out/demo.zolproj -o out/demo.png --frames 75
