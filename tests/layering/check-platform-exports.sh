#!/usr/bin/env bash
# check-platform-exports.sh PLATFORM_LIBRARY SOURCE_DIR CALLER...
# Every symbol the platform library exports must be imported by one of the callers
# (the SDK, the modules, the tools and programs) or called by the Python binding
# through ctypes. Prints the exported symbols with no caller and fails if any.
set -euo pipefail
lib=$1 src=$2
shift 2
# Demangled, so that the variants of one constructor or destructor count as one.
exports=$(nm -D --defined-only "$lib" | awk '{print $3}' | c++filt | sort -u)
imports=$(for f in "$@"; do nm -D --undefined-only "$f" | awk '{print $2}'; done | sed 's/@.*//' | c++filt | sort -u)
binding=$(grep -rhoE '\bQuvoWindow[A-Za-z0-9]+' "$src/bindings/python" 2>/dev/null | sort -u || true)
callers=$(printf '%s\n%s\n' "$imports" "$binding" | sort -u)
orphans=$(comm -23 <(echo "$exports") <(echo "$callers"))
count=$(echo "$exports" | grep -c . || true)
if [ -n "$orphans" ]; then
  echo "platform exports $count symbols; these have no caller outside it:"
  echo "$orphans" | sed 's/^/  /'
  exit 1
fi
echo "platform exports $count symbols, each called by the SDK, a module, a tool, a program or the binding"
