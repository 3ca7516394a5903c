#!/usr/bin/env bash
# Builds the demo project out/demo.zolproj: the typing effect on a 1280x720,
# 30 fps, 150-frame composition, scrolling the credits of credits.rtf.
#
#   examples/make-demo.sh [BUILD_DIR]     (BUILD_DIR defaults to build)
#
# The credits roll at 8 pixels a frame, so that they cross the frame within
# the five seconds. The text goes in with `zolhost text`, the host's own way
# of setting an instance's text while the effect's editor cannot run here.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
[ -d "$build" ] && build="$(cd "$build" && pwd)"
zolhost="$build/bin/zolhost"
if [ ! -x "$zolhost" ]; then
  echo "make-demo.sh: $zolhost is not built; build first (cmake --build $build)" >&2
  exit 1
fi
cd "$root"
mkdir -p out
"$zolhost" new typing -o out/demo.zolproj --size 1280x720 --fps 30 --duration 150
"$zolhost" set out/demo.zolproj "Effect Type=Scrolling" "Speed (Pixs/Frame)=8"
"$zolhost" text out/demo.zolproj examples/credits.rtf
echo "wrote out/demo.zolproj"
