#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs. Idempotent: quiet and quick
# when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config clang libclang-rt-14-dev
  qt6-base-dev libavcodec-dev libavformat-dev libavutil-dev libswscale-dev
  libswresample-dev libavfilter-dev libsdl2-dev libgtest-dev libgmock-dev libbenchmark-dev ffmpeg
  libxcb1-dev libx11-dev xvfb xauth trayer
  qt6-translations-l10n fonts-dejavu-core
  python3-venv python3-pip python3-pytest
  abigail-tools desktop-file-utils appstream
  dpkg-dev fakeroot lintian debootstrap
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "bootstrap: installing ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
