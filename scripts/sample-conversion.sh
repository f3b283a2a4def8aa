#!/usr/bin/env bash
# Shows the terminal program at work: converts the media library's own test picture and tone
# (10 s) with "3GPP", the profile the new-conversion wizard starts on, into the configured output
# folder, and says where the file went.
# Usage: scripts/sample-conversion.sh [PATH-TO-velocast-cli]
set -euo pipefail
cli=${1:-"$(dirname "$0")/../build/src/app/velocast-cli"}
folder=$("$cli" config | sed -n 's/^OutputFolder=//p')
if [ -z "$folder" ]; then
  echo "The configuration names no output folder; set OutputFolder in the file 'velocast-cli config' shows." >&2
  exit 1
fi
target="${folder%/}/velocast-sample.3gp"
"$cli" convert --profile "3GPP" --input-format lavfi -o "$target" "testsrc2=d=10[out0];sine=d=10[out1]"
echo "The sample conversion is in $target"
