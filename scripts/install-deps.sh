#!/usr/bin/env bash
# Installs, with apt-get, every Debian package the build, the programs and the tests need.
# Does nothing when they are all present. Needs root (or sudo) only when something is missing.
set -euo pipefail

packages=(
  # build
  cmake ninja-build ccache g++ pkg-config
  # media libraries
  libavcodec-dev libavformat-dev libavfilter-dev libavutil-dev libavdevice-dev
  libswscale-dev libswresample-dev
  # font files read for the subtitle filter
  libfreetype-dev
  # persistence, XML, DVD, capture, AMR-NB
  libsqlite3-dev sqlite3 libpugixml-dev libdvdnav-dev libdvdread-dev libasound2-dev
  libopencore-amrnb-dev
  # desktop
  qt6-base-dev qt6-multimedia-dev libgl-dev
  # tests: GoogleTest, fixture makers and the independent oracle, fonts for text filters
  googletest libgtest-dev ffmpeg dvdauthor genisoimage fonts-dejavu-core locales
  # pictures of the desktop's windows on a virtual display (scripts/screenshots.sh)
  xvfb xauth
  # benchmark (bench/run-bench.sh): wall, CPU and peak memory, and the arithmetic
  time bc
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The tests check that a locale with a decimal comma changes no stored number.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  "${sudo_cmd[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
