#!/usr/bin/env bash
# Measures DuzuRoro's speed and prints one table: every figure with its time, the baseline
# measured in the same run (memset, memcpy, zlib on memory), their ratio, the goal, and
# whether it is met. Medians of several repetitions, on CPU time, so that a machine busy with
# other work slows both sides alike; the load is printed with the table.
#
#   bash scripts/bench.sh            the whole table (about a minute)
#   bash scripts/bench.sh --guard    a smoke run for the tests: fails only when a figure is
#                                    ten times worse than its goal, never on noise
#
# BUILD_DIR (default build/default) is the build used; it is configured and built first.
set -euo pipefail
cd "$(dirname "$0")/.."

mode=table
[[ ${1:-} == --guard ]] && mode=guard
build=${BUILD_DIR:-build/default}
bench="$build/bench/duzuroro_bench"
cli="$build/frontends/cli/duzuroro-cli"

if [[ $mode == table ]]; then
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

"$bench" --benchmark_min_time=0.2 --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true --benchmark_format=json >"$work/bench.json"

# The whole command-line tool, as a user runs it: CPU seconds and peak memory per run.
"$bench" --write-big-game "$work/big" 65535
"$cli" make-demo "$work/demo" >/dev/null
python3 - "$cli" "$work" >"$work/processes.json" <<'PY'
import atexit, json, os, shutil, statistics, subprocess, sys, tempfile
cli, work = sys.argv[1], sys.argv[2]
def measure(args, runs=5):
    times, peaks = [], []
    for run in range(runs):
        proc = subprocess.Popen([cli] + [a.format(run=run) for a in args],
                                stdout=subprocess.DEVNULL)
        _, status, usage = os.wait4(proc.pid, 0)
        if status != 0:
            sys.exit(f"duzuroro-cli {' '.join(args)} failed")
        times.append(usage.ru_utime + usage.ru_stime)
        peaks.append(usage.ru_maxrss * 1024)
    return {"seconds": statistics.median(times), "peak": max(peaks)}
memory = (tempfile.mkdtemp(dir="/dev/shm") if os.access("/dev/shm", os.W_OK | os.X_OK)
          else work)
if memory != work:
    atexit.register(shutil.rmtree, memory, True)
big = os.path.join(work, "big", "BIG.LA0")
demo = os.path.join(work, "demo", "DEMO.LA0")
out = {
    "screen": measure(["screen", big, "--costume", "65534", "--out", os.path.join(work, "s.png")]),
    "info": measure(["info", "--json", big]),
    # Into a new folder on a memory file system where there is one, so that the figure is the
    # tool's work and not the disk's (creating a file on a busy ext4 disk can cost more than
    # encoding it); on the disk as well, as a figure without goal.
    "export": measure(["export", demo, "--out", os.path.join(memory, "export-{run}")]),
    "export_disk": measure(["export", demo, "--out", os.path.join(work, "export-{run}")]),
}
files = [os.path.join(work, "export-0", f) for f in os.listdir(os.path.join(work, "export-0"))]
out["export"]["memory"] = memory != work
out["export"]["frames"] = sum(1 for f in files if f.endswith(".png"))
out["export"]["bytes"] = sum(os.path.getsize(f) for f in files if f.endswith(".png"))
json.dump(out, sys.stdout)
PY

echo "Load: $(uptime | sed 's/.*load average/load average/') on $(nproc) cores"
python3 scripts/bench_table.py "$work/bench.json" "$work/processes.json"
