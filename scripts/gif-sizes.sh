#!/usr/bin/env bash
# Reports the total bytes of the GIFs that duzuroro-cli exports against gifsicle -O3 of the
# same files, on the demo game and on the animated game (duzuroro-gif-game), with and
# without --transparent 0; and how long our export takes against gifsicle -O3 alone and
# against ImageMagick's convert of the same frames as PNG files.
# Usage: scripts/gif-sizes.sh [build dir]   (default build/ci)
set -euo pipefail

build=${1:-build/ci}
cli=$build/frontends/cli/duzuroro-cli
maker=$build/bench/duzuroro-gif-game
for tool in "$cli" "$maker" gifsicle convert; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cli" make-demo "$work/demo" >/dev/null
"$maker" "$work/anim"

now() { date +%s.%N; }
bytes() { find "$1" -name '*.gif' -printf '%s\n' | awk '{s += $1} END {print s + 0}'; }

printf '%-28s %10s %10s %7s %9s %9s %9s\n' game ours gifsicle ratio export gifsicle convert
for game in demo/DEMO.LA0 anim/ANIM.LA0; do
  for transparent in "" "--transparent 0"; do
    out=$work/out
    rm -rf "$out" "$work/opt" "$work/png"
    mkdir -p "$work/opt"
    start=$(now)
    # shellcheck disable=SC2086
    "$cli" export "$work/$game" --format gif $transparent --out "$out" >/dev/null 2>&1
    ours=$(echo "$(now) - $start" | bc)
    start=$(now)
    for file in "$out"/*.gif; do gifsicle -O3 "$file" -o "$work/opt/${file##*/}"; done
    optimiser=$(echo "$(now) - $start" | bc)
    # The same frames as PNG files, put together by convert as the baseline of speed.
    # shellcheck disable=SC2086
    "$cli" export "$work/$game" --format png $transparent --out "$work/png" >/dev/null 2>&1
    start=$(now)
    for file in "$out"/*.gif; do
      name=${file##*/}
      convert -delay 10 -loop 0 "$work/png/${name%.gif}"-*.png "$work/png/$name"
    done
    baseline=$(echo "$(now) - $start" | bc)
    mine=$(bytes "$out")
    theirs=$(bytes "$work/opt")
    printf '%-28s %10d %10d %7.3f %8.2fs %8.2fs %8.2fs\n' "${game%%/*} ${transparent:-opaque}" \
      "$mine" "$theirs" "$(echo "$mine / $theirs" | bc -l)" "$ours" "$optimiser" "$baseline"
  done
done
