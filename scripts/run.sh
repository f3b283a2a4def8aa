#!/usr/bin/env bash
# Installs what is missing, builds, creates the task database when it is missing, and runs the
# program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
sh scripts/create-database.sh
cli=build/src/app/velocast-cli
"$cli" --version
"$cli" config
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  # No display: the terminal program shows a conversion of a built-in sample.
  bash scripts/sample-conversion.sh "$cli"
else
  # A display: the desktop program.
  exec build/src/app/velocast
fi
