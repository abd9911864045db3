#!/usr/bin/env bash
# The soak: a long capture in large fragments, then recordings switched on and off
# from a running preview, all in one process over QuvoSDK; then every recording is
# checked (bench/soak/SoakCheck.cpp): the description file against the files, each
# fragment decoding alone, the board's time code continuous at every join; and the
# process's memory and descriptors at comparable points must not have grown.
#
#   bench/soak/soak.sh [--build DIR] [--out DIR] [--seconds N] [--capture-share F]
#                      [--fragment MIB] [--switch S] [--pause S] [--bitrate BPS]
#
# Defaults: build tree ./build (configured with benchmarks; the script builds what it
# needs there), output /var/tmp/quvo-soak (emptied first; it needs about
# N * BPS / 8 bytes of disk), one hour, half of it the capture, 650 MiB fragments,
# recordings of 180 s with 30 s between them, 6 Mbit/s (the DVD preset).
# Exit status 0 when every check held. The figures are in OUT/summary.txt.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build
out=/var/tmp/quvo-soak
seconds=3600 share=0.5 fragment=650 switch=180 pause=30 bitrate=6000000
# Growth allowed between the first and the last of the alike points.
rss_slack_kib=${SOAK_RSS_SLACK_KIB:-16384}

while [ $# -gt 0 ]; do
  case $1 in
    --build) build=$(cd "$2" && pwd); shift 2 ;;
    --out) out=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --capture-share) share=$2; shift 2 ;;
    --fragment) fragment=$2; shift 2 ;;
    --switch) switch=$2; shift 2 ;;
    --pause) pause=$2; shift 2 ;;
    --bitrate) bitrate=$2; shift 2 ;;
    *) sed -n '2,15p' "$0" >&2; exit 1 ;;
  esac
done

nice cmake --build "$build" --target soak_driver soak_check >/dev/null
rm -rf "$out"
mkdir -p "$out/files" "$out/registry"
export QUVO_REGISTRY_DIR=$out/registry SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy
for module in KestorBoard MpegDecoders TvrFileWriter; do
  "$build/tools/regsvr" -s "$build/modules/$module.so" >/dev/null
done
"$build/tools/boardctl/boardctl" signal on >/dev/null

echo "soak: $seconds s into $out/files (fragments $fragment MiB, $bitrate bit/s)" | tee "$out/summary.txt"
start=$(date +%s)
nice -n "${SOAK_NICE:-10}" "$build/bench/soak/soak_driver" --dir "$out/files" --seconds "$seconds" --capture-share "$share" \
  --fragment "$fragment" --switch "$switch" --pause "$pause" --bitrate "$bitrate" \
  >"$out/driver.log" 2>&1 &
pid=$!
# Every 10 s: resident memory, descriptors, threads (for the record; the verdict
# uses the driver's own alike points).
echo "seconds rss_kib fds threads" >"$out/samples.txt"
while kill -0 "$pid" 2>/dev/null; do
  if [ -r "/proc/$pid/status" ]; then
    rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
    threads=$(awk '/^Threads/ {print $2}' "/proc/$pid/status" 2>/dev/null || true)
    fds=$( (ls "/proc/$pid/fd" 2>/dev/null || true) | wc -l)
    echo "$(( $(date +%s) - start )) ${rss:-?} $fds ${threads:-?}" >>"$out/samples.txt"
  fi
  sleep 10
done
status=0
wait "$pid" || status=$?
elapsed=$(( $(date +%s) - start ))
failures=0
{
  echo "driver: exit $status after $elapsed s"
  [ "$status" -eq 0 ] || failures=$((failures + 1))
  (grep -E '^(capture|recording) ' "$out/driver.log" || true) | awk '{printf "  %s %s: %d bytes counted\n", $1, $2, $3}'

  # The description files, the joins and decoding, by the checker.
  mzl=("$out"/files/*.mzl)
  if [ -e "${mzl[0]}" ]; then
    nice "$build/bench/soak/soak_check" "${mzl[@]}" || failures=$((failures + 1))
  else
    echo "no description file"; failures=$((failures + 1))
  fi

  # An independent decoder on every fragment: no error output at all.
  bad=0 count=0
  for f in "$out"/files/*.mpg; do
    count=$((count + 1))
    errors=$(nice ffmpeg -nostdin -v error -i "$f" -f null - 2>&1 | wc -l)
    if [ "$errors" -ne 0 ]; then echo "  ffmpeg: $errors error line(s) decoding $(basename "$f")"; bad=$((bad + 1)); fi
  done
  echo "ffmpeg -v error: $count fragments, $bad with errors"
  [ "$bad" -eq 0 ] || failures=$((failures + 1))

  # The bytes the writer counted against the files of each recording.
  while read -r kind name counted; do
    base=${name%.mpg}
    total=$( (cat "$out/files/$base".mpg "$out/files/$base"_*.mpg 2>/dev/null || true) | wc -c)
    # A recording's count is read after it stopped; the capture's just before.
    if [ "$total" -lt "$counted" ] || { [ "$kind" = recording ] && [ "$total" -ne "$counted" ]; }; then
      echo "  $name: files hold $total bytes, the writer counted $counted"; failures=$((failures + 1))
    elif [ "$kind" = capture ]; then
      echo "  $name: files hold $total bytes, $((total - counted)) written after the last count"
    fi
  done < <(grep -E '^(capture|recording) ' "$out/driver.log" || true)

  # Memory and descriptors at alike points: the first preview point against the
  # last, and the capture after its first minute against its end.
  awk -v slack="$rss_slack_kib" '
    $1 == "use" { rss[$2, ++n[$2]] = $4; fd[$2, n[$2]] = $6 }
    END {
      bad = 0
      split("capture-start capture-end preview", k, " ")
      if (n["capture-start"]) { a = rss["capture-start", 1]; b = rss["capture-end", 1]; fa = fd["capture-start", 1]; fb = fd["capture-end", 1]
        printf "capture: rss %d -> %d KiB (%+d), descriptors %d -> %d\n", a, b, b - a, fa, fb
        if (b - a > slack || fb > fa) bad = 1 }
      if (n["preview"] > 1) { a = rss["preview", 1]; b = rss["preview", n["preview"]]; fa = fd["preview", 1]; fb = fd["preview", n["preview"]]
        max = a; for (i = 1; i <= n["preview"]; ++i) if (rss["preview", i] > max) max = rss["preview", i]
        printf "preview, after each of %d recordings: rss %d -> %d KiB (%+d, max %d), descriptors %d -> %d\n", n["preview"], a, b, b - a, max, fa, fb
        if (b - a > slack || fb > fa) bad = 1 }
      print bad ? "memory or descriptors grew" : "memory and descriptors flat"
      exit bad
    }' "$out/driver.log" || failures=$((failures + 1))
  awk 'NR > 1 && $2 != "?" { if (!min || $2 < min) min = $2; if ($2 > max) max = $2; if (!fmin || $3 < fmin) fmin = $3; if ($3 > fmax) fmax = $3 }
       END { printf "every 10 s: rss %d..%d KiB, descriptors %d..%d\n", min, max, fmin, fmax }' "$out/samples.txt"
  df -h "$out" | tail -1 | awk '{print "disk after the run: " $4 " free on " $6}'
  if [ "$failures" -eq 0 ]; then echo "soak: every check held"; else echo "soak: $failures check(s) failed"; fi
} 2>&1 | tee -a "$out/summary.txt"
grep -q "^soak: every check held" "$out/summary.txt"
