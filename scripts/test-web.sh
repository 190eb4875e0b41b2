#!/usr/bin/env bash
# Builds the web viewer and runs its tests in headless Chromium: the page served from
# 127.0.0.1, the demo game chosen through the page's file inputs, the keys pressed on the
# canvas, every picture compared pixel for pixel with the host build's `duzuroro-cli screen`;
# and the page `duzuroro-cli gallery` writes, opened from file:// at desktop and phone widths;
# and the studio view: its tiles, playback and downloads against the tool's (studio.test.mjs).
# Fails (never skips) when emscripten, Chromium or npm is missing.
# TEST_WEB_KEEP=1 keeps the games, pictures and screenshots of a passing run as well;
# DUZURORO_STUDIO_SCREENSHOT=docs/studio.png writes the picture of the studio in docs/web.md.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

fail() {
    echo "test-web: FAIL: $*" >&2
    exit 1
}
say() { echo "test-web: [$((SECONDS - started))s] $*"; }
started=$SECONDS

for tool in em++ node npm convert unzip; do
    command -v "$tool" >/dev/null || fail "$tool is missing: bash scripts/install-deps.sh"
done
chromium=${DUZURORO_CHROMIUM:-/usr/bin/chromium}
[ -x "$chromium" ] || fail "$chromium is missing: bash scripts/install-deps.sh"

say "building the web page"
cmake --preset web >/dev/null
cmake --build --preset web -j 2
for file in index.html duzuroro.js studio.js fflate.js sw.js manifest.webmanifest icon-128.png icon-256.png; do
    [ -s "build/web/$file" ] || fail "the web build made no build/web/$file"
done

say "building the host tools that make the expected pictures"
cmake --preset ci >/dev/null
cmake --build --preset ci --target duzuroro-cli e2e-start-picture browser-big-game -j 2

say "installing the pinned puppeteer-core"
# puppeteer-core has no browser of its own to fetch; the tests use Debian's Chromium.
(cd tests/browser && npm ci --no-audit --no-fund --loglevel=error)

work=$(mktemp -d /tmp/duzuroro-web.XXXXXX)
say "running the browser tests (work folder $work)"
status=0
DUZURORO_WEB_DIR=$root/build/web \
    DUZURORO_CLI=$root/build/ci/frontends/cli/duzuroro-cli \
    DUZURORO_START_PICTURE=$root/build/ci/tests/e2e/e2e-start-picture \
    DUZURORO_BIG_GAME=$root/build/ci/tests/browser/browser-big-game \
    DUZURORO_BROWSER_WORK=$work \
    DUZURORO_CHROMIUM=$chromium \
    timeout 600 node --test --test-concurrency=1 tests/browser/*.test.mjs || status=$?
if ((status != 0)); then
    fail "the browser tests failed; their pictures and screenshots are in $work"
fi
if [ -n "${TEST_WEB_KEEP:-}" ]; then
    say "kept $work"
else
    rm -rf "$work"
fi
say "PASS"
