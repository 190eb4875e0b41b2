#!/usr/bin/env bash
# Installs what is missing, builds DuzuRoro, makes the demo game and starts the desktop viewer
# in the demo's folder, so that File > Open shows DEMO.LA0 at once.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)" --target duzuroro duzuroro-cli duzuroro_icons

build=$PWD/build/default
demo=$PWD/build/demo
"$build/frontends/cli/duzuroro-cli" make-demo "$demo"
echo "The demo game is in $demo; the programs are in $build/frontends."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "There is no display to show the viewer on. On a machine without one, run it on a"
    echo "virtual display:  cd $demo && xvfb-run -a $build/frontends/gtk/duzuroro"
    exit 0
fi
cd "$demo"
exec "$build/frontends/gtk/duzuroro"
