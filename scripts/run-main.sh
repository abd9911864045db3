#!/usr/bin/env bash
# Sets everything up and runs the main job with the virtual board.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/bootstrap.sh
export CCACHE_DIR=${CCACHE_DIR:-$root/.ccache}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
export QUVO_REGISTRY_DIR=$root/build/registry
if [ -x build/app/encoderdesk ]; then
  exec build/app/encoderdesk "$@"
elif [ -x build/tools/quvorec ]; then
  exec build/tools/quvorec "$@"
else
  echo "run-main: the build has no program to run yet; the SDK frame answers:"
  exec build/tools/quvoinfo
fi
