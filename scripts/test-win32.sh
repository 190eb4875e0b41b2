#!/usr/bin/env bash
# Cross-builds DuzuRoro.exe and drives it under Wine in a virtual X display: the win32_e2e
# test of the ci preset (tests/e2e/win32_run.sh), run alone. Fails (never skips) when the
# cross compiler, Wine or the X tools are missing; its screenshots and logs stay in
# build/ci/tests/e2e/win32.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset ci >/dev/null
cmake --build --preset ci --target duzuroro-cli e2e-start-picture -j 2
ctest --preset ci -L win32
