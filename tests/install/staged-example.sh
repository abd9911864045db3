#!/bin/sh
# staged-example.sh BUILD_DIR SOURCE_DIR WORK_DIR: installs the build into a
# staging folder, builds examples/record5s.c against it with pkg-config only and
# runs it as a new user (fresh HOME, no registry, build tree out of reach): the
# installed platform must register the installed modules by itself. The 5 s
# recording must be readable by ffprobe. The Python binding, installed into a
# virtual environment, runs its three examples against the same stage.
set -eu
build=$1 source=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
stage=$work/stage
DESTDIR=$stage cmake --install "$build" >"$work/install.log"
pcdir=$(dirname "$(find "$stage" -name quvosdk.pc | head -n1)")
libdir=$(dirname "$pcdir")
[ -d "$libdir/quvosdk" ] || { echo "no module folder in $libdir"; exit 1; }

cp "$source/examples/record5s.c" "$source/examples/Makefile" "$work/"
# pkg-config rewrites the prefix to the stage (sysroot), as for a real install.
PKG_CONFIG_PATH=$pcdir PKG_CONFIG_SYSROOT_DIR=$stage PKG_CONFIG_ALLOW_SYSTEM_CFLAGS=1 PKG_CONFIG_ALLOW_SYSTEM_LIBS=1 make -s -C "$work" record5s

home=$work/home && mkdir -p "$home"
before=$(find "$stage" -newer "$work/record5s" | wc -l)
cd "$work"
env -i PATH=/usr/bin:/bin HOME="$home" LD_LIBRARY_PATH="$libdir" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    ./record5s "$work/five.mpg"
duration=$(ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 "$work/five.mpg")
echo "ffprobe duration: $duration s"
awk -v d="$duration" 'BEGIN { exit !(d >= 3 && d <= 8) }' || { echo "unexpected duration"; exit 1; }
[ -s "$home/.config/quvo/registry/current_user.reg" ] || { echo "modules not registered for the user"; exit 1; }
# Nothing written under the installed tree at run time.
after=$(find "$stage" -newer "$work/record5s" | wc -l)
[ "$before" = "$after" ] || { echo "files written under the prefix:"; find "$stage" -newer "$work/record5s"; exit 1; }

# The binding finds the staged libraries by soname, as on an installed system.
cp -r "$source/bindings/python" "$work/binding" && rm -rf "$work/binding/build" "$work"/binding/src/*.egg-info
# Debian's own interpreter: its pip, setuptools and wheel come through the system site.
/usr/bin/python3 -m venv --system-site-packages --without-pip "$work/venv"
"$work/venv/bin/python" -m pip install --quiet --no-index --no-build-isolation --disable-pip-version-check "$work/binding"
py() { env -i PATH=/usr/bin:/bin HOME="$home" LD_LIBRARY_PATH="$libdir" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    "$work/venv/bin/python" "$source/examples/python/$@"; }
py timed_recording.py --seconds 2 "$work/timed.mpg"
py stop_on_signal_loss.py --max-seconds 2 "$work/signal.mpg"
py preview_snapshot.py "$work/snapshot.png"
for f in timed.mpg signal.mpg; do
  ffprobe -v error -show_entries format=duration -of default=nw=1:nk=1 "$work/$f" >/dev/null
  [ -s "$work/$f" ] || { echo "$f is empty"; exit 1; }
done
[ "$(head -c 8 "$work/snapshot.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || { echo "no PNG"; exit 1; }
after=$(find "$stage" -newer "$work/record5s" | wc -l)
[ "$before" = "$after" ] || { echo "the binding wrote under the prefix:"; find "$stage" -newer "$work/record5s"; exit 1; }
echo "staged example: ok"
