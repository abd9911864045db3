#!/usr/bin/env bash
# Makes the media files that the playback tests play, once per test run:
#   pal-vcd, pal-svcd, pal-dvd, ntsc-dvd  ffmpeg -target files (MPEG audio, AC-3)
#   video-only, audio-only                 one stream each
#   capture-vcd, capture-svcd, capture-dvd our own captures (quvorec, virtual board)
#   long                                   two minutes (with --long)
# from ffmpeg's moving test picture and a 1 kHz tone, each SECONDS long (default 2).
#
#   make-test-media.sh OUTDIR BUILDDIR [--long] [--seconds N]
set -euo pipefail
out=$1
build=$2
shift 2
long=0
seconds=2
while [ $# -gt 0 ]; do
  case $1 in
    --long) long=1 ;;
    --seconds) seconds=$2; shift ;;
    *) echo "make-test-media: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done

rm -rf "$out"
mkdir -p "$out"

made() {  # <name> <seconds> <ffmpeg output options...>
  local name=$1 secs=$2
  shift 2
  ffmpeg -nostdin -hide_banner -loglevel error -y \
    -f lavfi -i "testsrc2=size=720x576:rate=25" -f lavfi -i "sine=frequency=1000:sample_rate=48000" \
    -t "$secs" "$@" "$out/$name.mpg"
}

made pal-vcd "$seconds" -target pal-vcd
made pal-svcd "$seconds" -target pal-svcd
made pal-dvd "$seconds" -target pal-dvd
made ntsc-dvd "$seconds" -target ntsc-dvd
made video-only "$seconds" -target pal-dvd -an
made audio-only "$seconds" -target pal-vcd -vn
if [ "$long" = 1 ]; then
  made long 120 -target pal-vcd
fi

# Our own captures: the installed modules (not the runtime tests' quvo_* ones) in a
# registry of their own, the board's generated signal, one capture per preset.
export QUVO_REGISTRY_DIR=$out/registry SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
mkdir -p "$QUVO_REGISTRY_DIR"
for module in "$build"/modules/*.so; do
  case $(basename "$module") in quvo_*) continue ;; esac
  "$build/tools/regsvr" -s "$module" >/dev/null
done
for preset in vcd svcd dvd; do
  "$build/tools/quvorec/quvorec" --preset "$preset" --seconds "$seconds" "$out/capture-$preset.mpg" >/dev/null
done
rm -rf "$QUVO_REGISTRY_DIR"
echo "make-test-media: made $(ls "$out" | wc -l) files in $out"
