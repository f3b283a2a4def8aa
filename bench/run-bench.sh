#!/usr/bin/env bash
# Benchmark: the same conversions through `velocast-cli run` and through the ffmpeg program (same
# codecs, sizes, rates, bit rates and thread count), and two conversions at once against the same
# two one after the other. Prints wall time, CPU time and peak memory, and the ratios.
#
# usage: bench/run-bench.sh [VELOCAST_CLI] [WORKDIR]
#   VELOCAST_CLI  default: build/src/app/velocast-cli
#   WORKDIR       default: a fresh folder under /tmp (sources are kept there between runs)
# environment: RUNS (default 3, the median counts), THREADS (default 2), SECONDS_OF_SOURCE (default 20)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cli=$(realpath "${1:-$here/build/src/app/velocast-cli}")
work=${2:-/tmp/velocast-bench}
runs=${RUNS:-3}
threads=${THREADS:-2}
length=${SECONDS_OF_SOURCE:-20}
mkdir -p "$work"
export XDG_CONFIG_HOME="$work/config"
[ -x "$cli" ] || { echo "velocast-cli not found at $cli" >&2; exit 1; }
command -v /usr/bin/time >/dev/null || { echo "/usr/bin/time (package time) is needed" >&2; exit 1; }

ff() { ffmpeg -nostdin -hide_banner -loglevel error -nostats -y "$@"; }

# ---- sources ------------------------------------------------------------------------------------
source_h264="$work/source-720p-h264.mp4"
if [ ! -f "$source_h264" ]; then
  echo "making $length s of 1280x720 25 fps H.264 + AAC 48 kHz stereo ..."
  ff -f lavfi -i "testsrc2=size=1280x720:rate=25" -f lavfi -i "sine=frequency=440:sample_rate=48000" \
     -t "$length" -ac 2 -c:v libx264 -preset veryfast -b:v 4M -g 50 -c:a aac -b:a 160k "$source_h264"
fi

# ---- the settings record velocast-cli reads ------------------------------------------------------
# settings FILE SOURCE TARGET OPTIONS-XML
settings() {
  cat > "$1" <<XML
<data PropFormat="node"><TConversionSettings><SourceFile>$2</SourceFile><TargetFile>$3</TargetFile><ConvertOptions>$4</ConvertOptions></TConversionSettings></data>
XML
}
video_options() { # codec width height bitrate
  echo "<VideoOptions><FrameWidth>$2</FrameWidth><FrameHeight>$3</FrameHeight><EncoderVideoCodecName>$1</EncoderVideoCodecName><Bitrate>$4</Bitrate></VideoOptions>"
}
audio_options() { # codec bitrate
  echo "<AudioOptions><EncoderAudioCodecName>$1</EncoderAudioCodecName><Bitrate>$2</Bitrate></AudioOptions>"
}

# ---- measuring ----------------------------------------------------------------------------------
# measure LABEL COMMAND...: runs the command RUNS times; sets WALL CPU RSS (median wall, its CPU s, peak KB)
measure() {
  local label=$1; shift
  local results=() e u s m i
  for ((i = 0; i < runs; i++)); do
    /usr/bin/time -f "%e %U %S %M" -o "$work/time.txt" "$@" > /dev/null 2> "$work/stderr.txt" || {
      echo "$label failed:" >&2; cat "$work/stderr.txt" >&2; exit 1; }
    read -r e u s m < "$work/time.txt"
    results+=("$e $(echo "$u + $s" | bc) $m")
  done
  read -r WALL CPU RSS < <(printf '%s\n' "${results[@]}" | sort -n | sed -n "$(( (runs + 1) / 2 ))p")
}

printf '%-34s %9s %9s %10s\n' "conversion" "wall s" "CPU s" "peak MB"
row() { printf '%-34s %9.2f %9.2f %10.1f\n' "$1" "$2" "$3" "$(echo "$4 / 1024" | bc -l)"; }
compare() { # name velocast-args... -- ffmpeg-args...
  local name=$1; shift
  local ours=() theirs=() side=ours
  for a in "$@"; do
    if [ "$a" = "--" ]; then side=theirs; continue; fi
    if [ $side = ours ]; then ours+=("$a"); else theirs+=("$a"); fi
  done
  measure "$name velocast" "${ours[@]}"
  local w1=$WALL c1=$CPU r1=$RSS
  measure "$name ffmpeg" "${theirs[@]}"
  local w2=$WALL c2=$CPU r2=$RSS
  row "$name: velocast-cli" "$w1" "$c1" "$r1"
  row "$name: ffmpeg" "$w2" "$c2" "$r2"
  printf '%-34s %9.3f %9.3f %+9.1f MB\n' "$name: ratio / difference" "$(echo "$w1 / $w2" | bc -l)" \
    "$(echo "$c1 / $c2" | bc -l)" "$(echo "($r1 - $r2) / 1024" | bc -l)"
}

src="$source_h264"
# 1. MPEG-4 + AAC at 640x360
settings "$work/mpeg4.xml" "$src" "$work/ours-mpeg4.mp4" \
  "$(video_options mpeg4 640 360 1500000)$(audio_options aac 128000)<ThreadCount>$threads</ThreadCount>"
compare "mpeg4/aac 640x360" "$cli" run "$work/mpeg4.xml" -- \
  ffmpeg -nostdin -loglevel error -nostats -y -threads "$threads" -i "$src" -s 640x360 -c:v mpeg4 -b:v 1500k \
  -c:a aac -b:a 128k -threads "$threads" "$work/theirs-mpeg4.mp4"

# 2. H.264 + AAC at 640x360
settings "$work/h264.xml" "$src" "$work/ours-h264.mp4" \
  "$(video_options libx264 640 360 1000000)$(audio_options aac 128000)<ThreadCount>$threads</ThreadCount>"
compare "h264/aac 640x360" "$cli" run "$work/h264.xml" -- \
  ffmpeg -nostdin -loglevel error -nostats -y -threads "$threads" -i "$src" -s 640x360 -c:v libx264 -b:v 1000k \
  -c:a aac -b:a 128k -threads "$threads" "$work/theirs-h264.mp4"

# 3. Stream copy into Matroska
settings "$work/copy.xml" "$src" "$work/ours-copy.mkv" \
  "<AudioOptions><AudioStreamCopy>1</AudioStreamCopy></AudioOptions><VideoOptions><VideoStreamCopy>1</VideoStreamCopy></VideoOptions>"
compare "stream copy into mkv" "$cli" run "$work/copy.xml" -- \
  ffmpeg -nostdin -loglevel error -nostats -y -i "$src" -c copy "$work/theirs-copy.mkv"

# 4. Two conversions with ThreadCount 1: at once against one after the other
for n in 1 2; do
  settings "$work/single$n.xml" "$src" "$work/ours-single$n.mp4" \
    "$(video_options mpeg4 640 360 1500000)$(audio_options aac 128000)"
done
cat > "$work/sequential.sh" <<SH
"$cli" run "$work/single1.xml" && "$cli" run "$work/single2.xml"
SH
cat > "$work/parallel.sh" <<SH
"$cli" run "$work/single1.xml" > /dev/null & a=\$!
"$cli" run "$work/single2.xml" > /dev/null & b=\$!
wait \$a && wait \$b
SH
measure "sequential" bash "$work/sequential.sh"
sequential=$WALL
measure "parallel" bash "$work/parallel.sh"
parallel=$WALL
echo
printf 'two conversions, ThreadCount 1: one after the other %.2f s, at once %.2f s, ratio %.3f\n' \
  "$sequential" "$parallel" "$(echo "$parallel / $sequential" | bc -l)"
