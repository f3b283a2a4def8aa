#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
# Usage: scripts/test.sh [--sanitize] [ctest arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
dir=build
build_args=()
if [ "${1:-}" = "--sanitize" ]; then
  dir=build-asan
  build_args+=(--sanitize)
  shift
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi
bash scripts/build.sh "${build_args[@]}"
cd "$dir"
ctest --output-on-failure -j "$(nproc)" --timeout 900 "$@"
