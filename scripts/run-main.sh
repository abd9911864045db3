#!/usr/bin/env bash
# Sets everything up and runs the main job with the virtual board: the desktop
# program encoderdesk when a display is present. Without a display it says so and
# runs the command-line recorder instead: by default a 10 s DVD-preset capture with
# the preview running, written to ./capture.mpg and described by ffprobe; arguments,
# if given, go to the recorder then (see `quvorec --help`).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/bootstrap.sh
export CCACHE_DIR=${CCACHE_DIR:-$root/.ccache}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
export QUVO_REGISTRY_DIR=$root/build/registry
[ -e /dev/snd ] || export SDL_AUDIODRIVER=dummy
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/app/encoderdesk "$@"
fi
echo "run-main: no display (DISPLAY is not set), so the desktop program cannot open its window;" >&2
echo "run-main: running the command-line recorder quvorec instead." >&2
# No display on a server: the renderers run headless and count frames.
export SDL_VIDEODRIVER=dummy
if [ $# -eq 0 ]; then
  set -- --preset dvd --seconds 10 --preview "$root/capture.mpg"
  build/tools/quvorec/quvorec "$@"
  ffprobe -v error -show_entries format=format_name,duration:stream=codec_name,width,height,sample_rate,channels \
    -of compact "$root/capture.mpg"
else
  exec build/tools/quvorec/quvorec "$@"
fi
