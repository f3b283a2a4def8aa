#!/usr/bin/env bash
# Saves PNG pictures of the desktop's windows (main window with the queue and the history, the
# completion alert, the options, category, delete and about dialogs) into a folder, running the
# real program code under a virtual X display. Usage: scripts/screenshots.sh [OUTPUT-FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-build/screenshots}
bash scripts/install-deps.sh
bash scripts/build.sh
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1280x800x24" build/tests/velocast-screenshots "$out" "$PWD"
