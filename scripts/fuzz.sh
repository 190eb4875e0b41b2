#!/usr/bin/env bash
# Fuzzes one target of tests/fuzz for SECONDS seconds (0: only runs its seeds and the
# committed findings once). Builds it first in build/fuzz (cmake --preset fuzz).
#   bash scripts/fuzz.sh TARGET SECONDS [libFuzzer options...]
# Targets: index_scan disk_header costume_block costume_block_large game codec1 codec5 codec16
#   codec1_reference codec5_reference codec16_reference round_trip export_round_trip
# The corpus grows in build/fuzz/corpus/TARGET; a finding is written to build/fuzz/findings/
# and the script fails. Commit a finding, once fixed, into tests/regressions/fuzz-SET/
# (SET: the target's name with dashes, costume_block_large sharing costume-block).
# A codec's reference target starts from that codec's seeds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if (($# < 2)); then
  sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'
  exit 2
fi
target=$1
seconds=$2
shift 2

build=${DUZURORO_FUZZ_BUILD:-$root/build/fuzz}
if [ -z "${DUZURORO_FUZZ_NO_BUILD:-}" ]; then
  cd "$root"
  [ -f "$build/CMakeCache.txt" ] || cmake --preset fuzz >/dev/null
  cmake --build "$build" --target "fuzz_$target" -j 2
fi

set_name=${target%_large}
seeds=$build/tests/fuzz/seeds/${set_name%_reference}
findings=$root/tests/regressions/fuzz-${set_name//_/-}
corpus=$build/corpus/$target
artifacts=$build/findings
mkdir -p "$corpus" "$artifacts"
inputs=("$corpus" "$seeds")
[ -d "$findings" ] && inputs+=("$findings")

# A run that takes this long, or one allocation this large, counts as a finding: no input
# may stall the program or make it ask for more than a frame's worth of memory at once.
limits=(-timeout=10 -malloc_limit_mb=64 -rss_limit_mb=2048)
fuzzer=$build/tests/fuzz/fuzz_$target

echo "fuzz_$target: every input of ${inputs[*]}"
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! "$fuzzer" "${limits[@]}" -runs=0 "${inputs[@]}" >"$log" 2>&1; then
  cat "$log" >&2
  echo "fuzz_$target fails on an input of its corpus, seeds or committed findings" >&2
  exit 1
fi
grep -E '^#[0-9]+ +(INITED|DONE)' "$log" || true
((seconds > 0)) || exit 0

# New inputs stay about as long as the seeds: a committed finding may be far longer (it is
# replayed whole above), and longer inputs would only slow every run down.
case $set_name in
  costume_block) max_len=16384 ;;
  game) max_len=8192 ;;
  *) max_len=4096 ;;
esac

echo "fuzz_$target: fuzzing for $seconds s"
"$fuzzer" "${limits[@]}" -max_len=$max_len -max_total_time="$seconds" -print_final_stats=1 \
  -dict="$root/tests/fuzz/tags.dict" -artifact_prefix="$artifacts/$target-" \
  "$@" "${inputs[@]}"
