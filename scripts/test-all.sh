#!/usr/bin/env bash
# Sets everything up and runs every test: the normal build, the ASan+UBSan build
# (which also runs the fuzz targets for a bounded time) and the ThreadSanitizer
# build of the threading tests.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/bootstrap.sh
export CCACHE_DIR=${CCACHE_DIR:-$root/.ccache}
jobs=${QUVO_JOBS:-$(nproc)}

configure() {  # <dir> <cmake args...>
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
}

failures=0
run() {  # <name> <dir>
  local name=$1 dir=$2
  echo "== $name: build"
  cmake --build "$dir" -j "$jobs"
  echo "== $name: test"
  if ! (cd "$dir" && ctest --output-on-failure -j "$jobs"); then
    failures=$((failures + 1))
  fi
}

# Benchmarks are run by hand (bench/), not by the test command.
configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUVO_BUILD_BENCH=OFF
run normal build

# Optimized: the board encodes and the renderers present in real time under ASan too.
configure build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DQUVO_SANITIZE=address -DQUVO_FUZZ=ON -DQUVO_BUILD_APP=OFF
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run asan+ubsan build-asan

configure build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DQUVO_SANITIZE=thread -DQUVO_BUILD_APP=OFF
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 run tsan build-tsan

if [ "$failures" -ne 0 ]; then
  echo "test-all: $failures configuration(s) failed"
  exit 1
fi
echo "test-all: every configuration passed"
