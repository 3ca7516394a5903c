#!/usr/bin/env bash
# The typing effect against ffmpeg's drawtext filter on the same job: the
# same ~1000 characters on 16 lines, the same font file (Liberation Sans,
# which our "Arial" maps to through fontconfig), the same pixel size, 60
# frames of 1920x1080. Both write the frames as a PNG sequence of RGBA
# pictures into a temporary folder, so each pays for the same encoding
# (zlib at its default level, no row filter, as ffmpeg's PNG encoder does
# by default). Our effects run on one thread, so ffmpeg gets one thread too.
# Times are wall-clock times of the whole command, start-up included.
# Three runs each; the medians are compared.
#
#   bench/vs_drawtext.sh [BUILD_DIR]      (BUILD_DIR defaults to build)
#
# The last line is "ratio: R", R = our median / drawtext's median.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
zolhost="$build/bin/zolhost"
frames=60
size=1920x1080
px=32        # font size in pixels; 24 pt at 96 dpi is 32 pixels
runs=3

if [ ! -x "$zolhost" ]; then
  echo "vs_drawtext.sh: zolhost is not built in $build (build it first: cmake --build $build --target zolhost)" >&2
  exit 1
fi
command -v ffmpeg >/dev/null || { echo "vs_drawtext.sh: ffmpeg is not installed" >&2; exit 1; }
font="$(fc-match -f '%{file}' Arial)"
if [ ! -f "$font" ]; then
  echo "vs_drawtext.sh: fontconfig finds no file for Arial" >&2
  exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# 16 lines, 1000 characters with the line breaks.
lines=()
for i in $(seq 1 16); do
  lines+=("$(printf 'Line %02d: The quick brown fox jumps over the lazy dog near the qui' "$i")")
done
printf '%s\n' "${lines[@]}" | head -c 1000 > "$work/text.txt"
chars=$(wc -c < "$work/text.txt")

# The same text as rich text: Arial at 24 pt (\fs48 half-points), white.
{
  printf '{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl ;\\red255\\green255\\blue255;}\n'
  printf '\\pard\\ql\\cf1\\f0\\fs48 '
  sed -e 's/\\/\\\\/g' -e 's/{/\\{/g' -e 's/}/\\}/g' -e 's/$/\\par /' "$work/text.txt" | tr -d '\n'
  printf '}\n'
} > "$work/text.rtf"

"$zolhost" new typing -o "$work/bench.zolproj" --size "$size" --fps 30 --duration "$frames" 2>/dev/null
"$zolhost" set "$work/bench.zolproj" "Effect Type=Static Text"
"$zolhost" text "$work/bench.zolproj" "$work/text.rtf"

seconds() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }
median() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }

run_ours() {
  rm -rf "$work/ours" && mkdir "$work/ours"
  "$zolhost" render "$work/bench.zolproj" -o "$work/ours/f_%04d.png" --frames "0-$((frames - 1))" 2>/dev/null
}
run_drawtext() {
  rm -rf "$work/theirs" && mkdir "$work/theirs"
  ffmpeg -hide_banner -loglevel error -nostdin -y -filter_threads 1 \
    -f lavfi -i "color=c=black@0.0:s=$size:r=30:d=$frames,format=rgba" -frames:v "$frames" \
    -vf "drawtext=fontfile=$font:fontsize=$px:fontcolor=white:textfile=$work/text.txt:x=0:y=0" \
    -threads 1 -pix_fmt rgba "$work/theirs/f_%04d.png"
}

ours=() theirs=()
for r in $(seq 1 "$runs"); do
  t0=$(seconds); run_ours; t1=$(seconds)
  ours+=("$(elapsed "$t0" "$t1")")
  t0=$(seconds); run_drawtext; t1=$(seconds)
  theirs+=("$(elapsed "$t0" "$t1")")
done
n_ours=$(ls "$work/ours" | wc -l)
n_theirs=$(ls "$work/theirs" | wc -l)
if [ "$n_ours" -ne "$frames" ] || [ "$n_theirs" -ne "$frames" ]; then
  echo "vs_drawtext.sh: expected $frames frames each, got $n_ours (zolhost) and $n_theirs (drawtext)" >&2
  exit 1
fi

m_ours=$(median "${ours[@]}")
m_theirs=$(median "${theirs[@]}")
echo "text: $chars characters on 16 lines, $font at $px px; $frames frames of $size to PNG"
printf 'zolhost render: %s s (runs: %s)\n' "$m_ours" "${ours[*]}"
printf 'ffmpeg drawtext: %s s (runs: %s)\n' "$m_theirs" "${theirs[*]}"
awk -v a="$m_ours" -v b="$m_theirs" 'BEGIN { printf "ratio: %.2f\n", a / b }'
