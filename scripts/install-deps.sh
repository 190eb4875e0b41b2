#!/usr/bin/env bash
# Installs the Debian packages that building and testing DuzuRoro need, when missing.
# Sourced by the other scripts; safe to run again.
set -euo pipefail

DUZURORO_PACKAGES=(
  build-essential
  cmake
  pkg-config
  git
  clang-14
  libclang-rt-14-dev
  googletest
  libgtest-dev
  libgmock-dev
  libbenchmark-dev
  libpng-dev
  libgif-dev
  zlib1g-dev
  nettle-dev
  python3
  nlohmann-json3-dev
  libcli11-dev
  libgtk-3-dev
  xvfb
  xauth
  xdotool
  x11-utils
  imagemagick
  gifsicle
  time
  unzip
  g++-mingw-w64-x86-64
  g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-x86-64
  wine64
  emscripten
  node-acorn
  nodejs
  chromium
  bash-completion
  lintian
  desktop-file-utils
  appstream
  dpkg-dev
  fakeroot
  file
  debootstrap
  man-db
)

missing=()
for package in "${DUZURORO_PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

# npm comes with Debian's nodejs as a package of its own, and inside other builds of node.
if ! command -v npm >/dev/null; then
  missing+=(npm)
fi

sudo=()
if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The cross builds (win64, web) compile zlib, libpng and giflib from Debian's source packages
# of the very versions linked here. Where the mirror no longer serves the source of an
# installed version (exit code 2), the native packages move to the newest version whose
# source it does serve, which the fetch names.
fetch_cross_sources=(bash "$(dirname "${BASH_SOURCE[0]}")/fetch-cross-sources.sh")
fetch_status=0
served=$("${fetch_cross_sources[@]}") || fetch_status=$?
if [ "$fetch_status" -eq 2 ]; then
  mapfile -t served <<<"$served"
  echo "Installing the versions whose sources the mirror serves: ${served[*]}"
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends \
    --allow-downgrades "${served[@]}"
  "${fetch_cross_sources[@]}"
elif [ "$fetch_status" -ne 0 ]; then
  exit "$fetch_status"
fi
