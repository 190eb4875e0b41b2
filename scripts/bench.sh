#!/usr/bin/env bash
# Measures DuzuRoro's speed and prints one table: every figure with its time, the baseline
# measured in the same run (memset, memcpy, zlib on memory), their ratio, the goal, and
# whether it is met. Medians of several repetitions, on CPU time, so that a machine busy with
# other work slows both sides alike; the load is printed with the table.
#
#   bash scripts/bench.sh            the whole table (a few minutes; the first run also makes
#                                    the benchmark game and builds the web page)
#   bash scripts/bench.sh --guard    a smoke run for the tests: fails only when a figure is
#                                    ten times worse than its goal, never on noise
#   bash scripts/bench.sh --browser  the browser's rows alone (about a minute once built)
#
# BUILD_DIR (default build/default) is the build used; it is configured and built first.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=table
[[ ${1:-} == --guard ]] && mode=guard
[[ ${1:-} == --browser ]] && mode=browser
build=${BUILD_DIR:-build/default}
bench="$build/bench/duzuroro_bench"
cli="$build/frontends/cli/duzuroro-cli"

if [[ $mode != guard ]]; then
  bash scripts/install-deps.sh
  [[ -f $build/CMakeCache.txt ]] || cmake --preset default >/dev/null
  cmake --build "$build" -j "$(nproc)" --target duzuroro_bench duzuroro-cli >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [[ $mode == guard ]]; then
  # One short run of each: a guard ten times wider than the goal needs no median.
  "$bench" --benchmark_min_time=0.01 --benchmark_format=json \
    --benchmark_filter='Memset|Memcpy|Draw/codec:16/w:640/h:480/zoom:1|Compose|Codec|Render/codec:16/w:320|Deflate/level:[46]/strategy:0/window:15' \
    >"$work/bench.json"
  exec python3 scripts/bench_table.py --guard "$work/bench.json"
fi

# The browser's figures: the web page built as scripts/test-web.sh builds it, in headless
# Chromium; left out, with a word, where the tools are missing. Each script prints one JSON
# object; browser.json holds the frames' with the studio's under "studio".
measure_browser() {
  local missing=
  for tool in em++ node npm; do
    command -v "$tool" >/dev/null || missing+=" $tool"
  done
  [[ -x ${DUZURORO_CHROMIUM:-/usr/bin/chromium} ]] || missing+=" chromium"
  if [[ -n $missing ]]; then
    echo "No browser figures:$missing missing (bash scripts/install-deps.sh)" >&2
    echo '{}' >"$work/browser.json"
    return
  fi
  cmake --preset web >/dev/null
  cmake --build --preset web -j 2 >/dev/null
  # puppeteer-core has no browser of its own to fetch; the figures use Debian's Chromium.
  [[ -d tests/browser/node_modules/puppeteer-core ]] ||
    (cd tests/browser && npm ci --no-audit --no-fund --loglevel=error)
  node tests/browser/frames.bench.mjs build/web "$cli" "$work/demo" "$bench" \
    >"$work/frames.json" 2>"$work/frames.log" ||
    { cat "$work/frames.log" >&2; echo "The browser's frame figures failed; their rows are left out." >&2; }
  node tests/browser/studio.bench.mjs build/web "$work/demo" >"$work/studio.json" ||
    echo "The studio's figures failed; their rows are left out." >&2
  python3 - "$work" <<'JOIN' >"$work/browser.json"
import json, os, sys
def read(name):
    path = os.path.join(sys.argv[1], name)
    return json.load(open(path)) if os.path.getsize(path) else None
browser = read("frames.json") or {}
studio = read("studio.json")
if studio:
    browser["studio"] = studio
json.dump(browser, sys.stdout)
JOIN
}

if [[ $mode == browser ]]; then
  "$cli" make-demo "$work/demo" >/dev/null
  measure_browser
  echo '{"benchmarks": []}' >"$work/bench.json"
  python3 -c 'import json, sys; print(json.dumps({"browser": json.load(open(sys.argv[1]))}))' \
    "$work/browser.json" >"$work/processes.json"
  echo "Load: $(uptime | sed 's/.*load average/load average/') on $(nproc) cores"
  exec python3 scripts/bench_table.py "$work/bench.json" "$work/processes.json"
fi

"$bench" --benchmark_min_time=0.2 --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true --benchmark_format=json >"$work/bench.json"

# The benchmark game (bench/bench_game.h) is made once and kept beside the build, under the
# generator's version number, so that later runs reuse it.
version=$("$bench" --bench-game-version)
game="$build/bench-cache/bench-game-v$version"
if [[ ! -f $game/BENCH.json ]]; then
  echo "Making the benchmark game (once) in $game"
  rm -rf "$game" "$game.partial"
  "$bench" --write-bench-game "$game.partial"
  mv "$game.partial" "$game"
fi

# The whole command-line tool, as a user runs it: CPU seconds and peak memory per run.
"$bench" --write-big-game "$work/big" 65535
"$cli" make-demo "$work/demo" >/dev/null
measure_browser

python3 bench/processes.py "$cli" "$work" "$game" "$work/browser.json" >"$work/processes.json"

echo "Load: $(uptime | sed 's/.*load average/load average/') on $(nproc) cores"
python3 scripts/bench_table.py "$work/bench.json" "$work/processes.json"
