#!/bin/sh
# Runs a test program on a display of its own (Xvfb, a free number) with a
# notification-area host (trayer), since Qt's offscreen platform has no tray.
# Without Xvfb or trayer the program runs as it is and skips what needs the tray.
if ! command -v xvfb-run >/dev/null 2>&1 || ! command -v trayer >/dev/null 2>&1; then
  exec "$@"
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  trayer --edge top --align right --widthtype request --height 24 --SetDockType true >/dev/null 2>&1 &
  tray=$!
  QT_QPA_PLATFORM=xcb "$@"
  rc=$?
  kill $tray 2>/dev/null
  exit $rc' sh "$@"
