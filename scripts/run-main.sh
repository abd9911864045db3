#!/usr/bin/env bash
# Sets everything up and runs the main job with the virtual board. Until the desktop
# program exists this is the command-line recorder: by default a 10 s DVD-preset capture
# with the preview running, written to ./capture.mpg and described by ffprobe.
# Arguments, if given, go to the recorder (see `quvorec --help`).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/bootstrap.sh
export CCACHE_DIR=${CCACHE_DIR:-$root/.ccache}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
export QUVO_REGISTRY_DIR=$root/build/registry
# No display or sound card on a server: the renderers run headless and count frames.
[ -n "${DISPLAY:-}" ] || export SDL_VIDEODRIVER=dummy
[ -e /dev/snd ] || export SDL_AUDIODRIVER=dummy
if [ -x build/app/encoderdesk ]; then
  exec build/app/encoderdesk "$@"
fi
if [ $# -eq 0 ]; then
  set -- --preset dvd --seconds 10 --preview "$root/capture.mpg"
  build/tools/quvorec/quvorec "$@"
  ffprobe -v error -show_entries format=format_name,duration:stream=codec_name,width,height,sample_rate,channels \
    -of compact "$root/capture.mpg"
else
  exec build/tools/quvorec/quvorec "$@"
fi
