#!/usr/bin/env bash
# Builds one Debian package holding the library, headers, modules and programs:
#   scripts/make-deb.sh [BUILD_DIR] [OUT_DIR]
# (defaults build-deb and the current folder). An optimised build with prefix /usr is
# configured, installed into a stage, its run-time dependencies are taken from the
# staged ELF files with dpkg-shlibdeps, and the .deb is built with dpkg-deb.
# One package for now; a proper split would be lib/dev/app packages.
set -euo pipefail

src=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-build-deb}")
out=$(realpath -m "${2:-.}")
name=quvosdk
version=1.0.1
arch=$(dpkg --print-architecture)
stage="$build/stage"

# RelWithDebInfo (-O2, stripped on install): GCC 12 at Release's -O3 reports false
# -Wrestrict overlaps inside std::string, which -Werror turns into a failed build.
cmake -S "$src" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${QUVO_DEB_BUILD_TYPE:-RelWithDebInfo}" \
  -DCMAKE_INSTALL_PREFIX=/usr -DQUVO_BUILD_BENCH=OFF -DQUVO_BUILD_APP=ON
# Only what gets installed: the test programs would double the build time.
ninja -C "$build" -j2 QuvoSDK quvo_platform KestorBoard MakerFilters MpegDecoders \
  TvrFileWriter regsvr quvorec boardctl encoderdesk
rm -rf "$stage"
DESTDIR="$stage" cmake --install "$build" --strip

# Debian wants the copyright file and a compressed changelog in the doc folder.
docdir="$stage/usr/share/doc/$name"
mkdir -p "$docdir"
if [ -d "$stage/usr/share/doc/Quvo" ]; then
  cp -a "$stage/usr/share/doc/Quvo/." "$docdir/"
  rm -rf "$stage/usr/share/doc/Quvo"
fi
cat > "$docdir/copyright" <<EOF
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: $name

Files: *
Copyright: 2026 The Quvo developers
License: proprietary
 All rights reserved.
EOF
printf '%s (%s) unstable; urgency=medium\n\n  * Package built from the source tree.\n\n -- Quvo developers <dev@quvo.invalid>  %s\n' \
  "$name" "$version" "$(date -R)" | gzip -9n > "$docdir/changelog.gz"

# Debian ships man pages compressed.
if [ -d "$stage/usr/share/man" ]; then
  find "$stage/usr/share/man" -type f ! -name '*.gz' -exec gzip -9n {} +
fi

# Files and folders: 0644/0755, whatever the umask of the build was.
find "$stage" -type d -exec chmod 0755 {} +
find "$stage" -type f -exec chmod go-w {} +

# Run-time dependencies from every staged ELF file, the private module folder
# included. The package's own public libraries are described by its shlibs file,
# found in the stage through -S, and -x drops the package itself from the result.
mkdir -p "$stage/DEBIAN"
printf 'libQuvoSDK 1 %s (>= %s)\nlibquvo_platform 1 %s (>= %s)\n' \
  "$name" "$version" "$name" "$version" > "$stage/DEBIAN/shlibs"
mapfile -t elves < <(find "$stage" -path "$stage/DEBIAN" -prune -o -type f \
  -exec sh -c 'head -c4 "$1" | grep -q ELF' _ {} \; -print)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/debian"
printf 'Source: %s\n\nPackage: %s\nArchitecture: any\n' "$name" "$name" > "$work/debian/control"
(cd "$work" && dpkg-shlibdeps -O -S"$stage" -x"$name" "${elves[@]}") > "$work/substvars" 2> "$work/shlibdeps.log" \
  || { cat "$work/shlibdeps.log" >&2; exit 1; }
depends=$(sed -n 's/^shlibs:Depends=//p' "$work/substvars")
# The deinterlacer loads libavfilter when it first runs, so no ELF file names it.
depends="$depends, libavfilter$(pkg-config --modversion libavfilter | cut -d. -f1)"

size=$(du -sk --exclude=DEBIAN "$stage" | cut -f1)
cat > "$stage/DEBIAN/control" <<EOF
Package: $name
Version: $version
Architecture: $arch
Maintainer: Quvo developers <dev@quvo.invalid>
Installed-Size: $size
Depends: $depends
Section: video
Priority: optional
Description: capture library, modules and programs for the MPEG encoder board
 The QuvoSDK shared library with its C headers, pkg-config and CMake files,
 the platform layer and its modules (board driver, decoders, file writer),
 the quvorec, boardctl and regsvr command-line tools and the encoderdesk
 desktop program. Modules register for each user at first use.
EOF
# Shared libraries in the package's public library folder need ldconfig triggers.
printf 'activate-noawait ldconfig\n' > "$stage/DEBIAN/triggers"
chmod 0644 "$stage"/DEBIAN/*

mkdir -p "$out"
deb="$out/${name}_${version}_${arch}.deb"
dpkg-deb --root-owner-group --build "$stage" "$deb"
rm -rf "$stage/DEBIAN"
echo "make-deb: $deb"
