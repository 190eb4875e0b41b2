#!/usr/bin/env bash
# Makes the two release packages from the release builds:
#   build/release/packages/duzuroro_VERSION_amd64.deb  (the release preset, for Debian 12)
#   build/win64/packages/DuzuRoro-VERSION-win64.zip    (the win64 cross build)
# and checks them with scripts/check-package.sh. The version is the project's, set in
# CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)
echo "=== Debian package ==="
cmake --preset release >/dev/null
cmake --build --preset release -j "$jobs"
cpack --preset release

echo "=== Windows zip ==="
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j "$jobs"
cpack --preset win64

bash scripts/check-package.sh
