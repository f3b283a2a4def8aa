#!/bin/sh
# Makes a small DVD-Video in OUTDIR: OUTDIR/DVD/VIDEO_TS/... and, when genisoimage is there,
# OUTDIR/fixture.iso labelled FIXTURE_DVD. Title 1: 10 s in chapters at 0, 4 and 8 s (from t1.mpg,
# kept as the oracle); title 2: 2 s, one chapter. A GOP of 10 frames puts the chapter marks on
# VOBU starts.
set -eu
out=$1
mkdir -p "$out"
cd "$out"
enc() { # seconds tone file
  ffmpeg -nostdin -hide_banner -loglevel error -y \
    -f lavfi -i testsrc=size=720x576:rate=25 \
    -f lavfi -i sine=frequency=$2:sample_rate=48000 \
    -t "$1" -target pal-dvd -aspect 4:3 -g 10 "$3"
}
enc 10 440 t1.mpg
enc 2 880 t2.mpg
cat > dvd.xml <<'XML'
<dvdauthor dest="DVD">
  <vmgm><menus><video format="pal" /></menus></vmgm>
  <titleset>
    <titles>
      <video format="pal" aspect="4:3" />
      <audio format="ac3" lang="en" />
      <pgc><vob file="t1.mpg" chapters="0,4,8" /></pgc>
      <pgc><vob file="t2.mpg" /></pgc>
    </titles>
  </titleset>
</dvdauthor>
XML
VIDEO_FORMAT=PAL dvdauthor -x dvd.xml >dvdauthor.log 2>&1
# The same titles with a 2 s still after title 1, whose post command jumps to title 2, and an
# endless still after title 2: playback meets WAIT and STILL events and leaves a title by a jump.
# Title 3 (title 2's blocks again) loops: its post command jumps back to its first chapter.
cat > still.xml <<'XML'
<dvdauthor dest="STILL">
  <vmgm><menus><video format="pal" /></menus></vmgm>
  <titleset>
    <titles>
      <video format="pal" aspect="4:3" />
      <audio format="ac3" lang="en" />
      <pgc><vob file="t1.mpg" chapters="0,4,8" pause="2" /><post>jump title 2;</post></pgc>
      <pgc><vob file="t2.mpg" pause="inf" /></pgc>
      <pgc><vob file="t2.mpg" /><post>jump chapter 1;</post></pgc>
    </titles>
  </titleset>
</dvdauthor>
XML
VIDEO_FORMAT=PAL dvdauthor -x still.xml >>dvdauthor.log 2>&1
if command -v genisoimage >/dev/null 2>&1; then
  genisoimage -quiet -dvd-video -V FIXTURE_DVD -o fixture.iso DVD
fi
