#!/usr/bin/env bash
# Installs what is missing, builds, and runs DuzuRoro.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"
echo "DuzuRoro is built in build/default."
