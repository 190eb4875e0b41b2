#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: once in the normal build and once
# under AddressSanitizer and UndefinedBehaviorSanitizer; then the tests of several workers
# under ThreadSanitizer. The normal build's tests include DuzuRoro.exe, cross-built and driven
# under Wine (test win32_e2e). Then every fuzz target over its seeds and committed findings,
# and a few seconds of fuzzing each; the web viewer in headless Chromium; and the release
# packages with their checks. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc)
for preset in ci sanitize; do
  echo "=== $preset build ==="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "=== $preset tests ==="
  ctest --preset "$preset" -j "$jobs"
done

# The export and gallery tests of several workers under ThreadSanitizer: a race fails them.
# The preset builds only the tool, the export library and those tests.
echo "=== tsan build ==="
cmake --preset tsan >/dev/null
cmake --build --preset tsan -j "$jobs"
echo "=== tsan tests ==="
ctest --preset tsan -j "$jobs"

echo "=== fuzz targets ==="
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
ctest --preset fuzz -j "$jobs"

echo "=== Web viewer in headless Chromium ==="
bash scripts/test-web.sh

echo "=== Packages ==="
bash scripts/package.sh
