#!/usr/bin/env bash
# Makes the two release packages from the release builds:
#   build/release/packages/duzuroro_VERSION_amd64.deb  (the release preset, for Debian 12)
#   build/win64/packages/DuzuRoro-VERSION-win64.zip    (the win64 cross build)
# both carrying the web page of the viewer and the studio from the web preset's build.
# and checks them with scripts/check-package.sh. The version is the project's, set in
# CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)
echo "=== Web page ==="
cmake --preset web >/dev/null
cmake --build --preset web -j "$jobs"
studio=(-DDUZURORO_STUDIO_DIR="$PWD/build/web")

echo "=== Debian package ==="
cmake --preset release "${studio[@]}" >/dev/null
cmake --build --preset release -j "$jobs"
cpack --preset release

echo "=== Windows zip ==="
cmake --preset win64 "${studio[@]}" >/dev/null
cmake --build --preset win64 -j "$jobs"
cpack --preset win64

bash scripts/check-package.sh
