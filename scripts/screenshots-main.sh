#!/usr/bin/env bash
# Pictures of encoderdesk's main window at work on the virtual board, on a virtual
# display (Xvfb, a free display number): idle, preview, capture, the three pages
# during a recording, two error boxes. Output: the folder given (default
# build/screenshots). The README's picture is main-preview.png, copied to
# docs/images/ by `scripts/screenshots-main.sh --readme`.
set -euo pipefail
cd "$(dirname "$0")/.."
readme=0
if [ "${1:-}" = "--readme" ]; then readme=1; shift; fi
out=${1:-$PWD/build/screenshots}
export QUVO_REGISTRY_DIR=${QUVO_REGISTRY_DIR:-$PWD/build/registry}
export SDL_AUDIODRIVER=dummy
build/tools/boardctl/boardctl signal on >/dev/null
xvfb-run -a -s "-screen 0 1024x768x24" env QT_QPA_PLATFORM=xcb build/app/encoderdesk_screens "$out"
if [ $readme -eq 1 ]; then
  mkdir -p docs/images
  cp "$out/main-preview.png" docs/images/encoderdesk-preview.png
fi
