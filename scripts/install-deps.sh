#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the main job need.
# Safe to run again: when everything is present it changes nothing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config git
  libfreetype-dev libfontconfig-dev fontconfig fonts-liberation2 fonts-dejavu-core fonts-dejavu-extra libpng-dev
  nlohmann-json3-dev libcli11-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  ffmpeg
  clang-14 libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
