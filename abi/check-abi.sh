#!/bin/sh
# Compares the built public libraries with the recorded ABI baselines; any change
# of an exported function or type (removed, added, changed) fails.
#   check-abi.sh BUILD_DIR SOURCE_DIR          compare
#   check-abi.sh BUILD_DIR SOURCE_DIR --update rewrite the baselines (deliberate ABI change)
set -eu
build=$1 src=$2 mode=${3:-check}
status=0
for entry in "QuvoSDK sdk/include/quvo" "quvo_platform platform/win32/include/quvo"; do
  set -- $entry
  lib=$(find "$build" -name "lib$1.so.*.*.*" -type f | head -n 1)
  [ -n "$lib" ] || { echo "check-abi: lib$1.so not built under $build" >&2; exit 2; }
  if [ "$1" = QuvoSDK ]; then
    count=$(nm -D --defined-only "$lib" | awk '$2 == "T"' | wc -l)
    [ "$count" -eq 81 ] || { echo "check-abi: libQuvoSDK exports $count functions, not 81"; status=1; }
  fi
  baseline=$src/abi/$1.abi
  suppr=
  [ -f "$src/abi/$1.suppr" ] && suppr="--suppr $src/abi/$1.suppr"
  if [ "$mode" = --update ]; then
    abidw --no-corpus-path $suppr --headers-dir "$src/$2" --out-file "$baseline" "$lib"
    echo "check-abi: wrote $baseline"
    continue
  fi
  # Beyond a .suppr file, every change counts, an added export too (QuvoSDK keeps exactly its 81).
  if out=$(abidiff $suppr --headers-dir2 "$src/$2" "$baseline" "$lib"); then
    echo "check-abi: lib$1 matches $baseline"
  else
    echo "check-abi: lib$1 differs from $baseline (abidiff status $?):"
    echo "$out"
    status=1
  fi
done
exit $status
