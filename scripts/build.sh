#!/usr/bin/env bash
# Configures and builds. Usage: scripts/build.sh [--sanitize] [--no-gui]
# The normal build goes to build/, the sanitizer build (address + undefined) to build-asan/.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build
args=(-G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo)
for a in "$@"; do
  case "$a" in
    --sanitize) dir=build-asan; args+=(-DVELOCAST_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug) ;;
    --no-gui) args+=(-DVELOCAST_BUILD_GUI=OFF) ;;
    *) echo "unknown option $a" >&2; exit 2 ;;
  esac
done
cmake -S . -B "$dir" "${args[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"
