#!/usr/bin/env bash
# Pictures of encoderdesk's dialogs and help window on a virtual display (Xvfb),
# with the virtual board registered for the board's sizes and rates. Output:
# the folder given (default build/screenshots).
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-$PWD/build/screenshots}
export QUVO_REGISTRY_DIR=${QUVO_REGISTRY_DIR:-$PWD/build/registry}
export SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
xvfb-run -a -s "-screen 0 1024x768x24" env QT_QPA_PLATFORM=xcb build/app/forms/gallery/encoderdesk_gallery "$out"
