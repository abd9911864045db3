#!/bin/sh
# Validates the desktop entry and the AppStream metainfo as shipped, and that each
# installed program has a man page that man renders without warnings.
set -eu
src=$1
desktop-file-validate "$src/app/data/org.quvo.encoderdesk.desktop"
appstreamcli validate --no-net "$src/app/data/org.quvo.encoderdesk.metainfo.xml"
for program in encoderdesk quvorec boardctl regsvr; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$src/docs/man/$program.1" 2>&1 >/dev/null)
  [ -z "$warnings" ] || { echo "desktop-data: $program.1: $warnings"; exit 1; }
done
echo "desktop data: ok"
