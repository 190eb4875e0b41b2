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
  g++-mingw-w64-x86-64
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

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=()
  if [ "$(id -u)" -ne 0 ]; then sudo=(sudo); fi
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
fi
