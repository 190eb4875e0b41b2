#!/usr/bin/env bash
# Cross-builds DuzuRoro.exe and drives it under Wine in a virtual X display, and runs
# duzuroro-cli.exe under Wine beside the Linux tool: the ci preset's tests labelled win32
# (tests/e2e/win32_run.sh, tests/e2e/win32_cli_run.sh), run alone. Fails (never skips) when
# the cross compiler, Wine or the X tools are missing; the screenshots and logs stay in
# build/ci/tests/e2e/win32 and build/ci/tests/e2e/win32-cli.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset ci >/dev/null
cmake --build --preset ci --target duzuroro-cli test_cli e2e-start-picture -j 2
ctest --preset ci -L win32
