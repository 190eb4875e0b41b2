#!/usr/bin/env bash
# duzuroro-cli.exe, cross-built through the win64 preset and run under Wine beside the Linux
# tool of this build: for the demo game, the regression games and games in folders named
# Théâtre and ゲーム (which code page 1252, Wine's here, cannot spell), every file the .exe
# writes, every line it prints and every exit status must be the Linux tool's, byte for byte;
# only the paths that info prints are spelled the Windows way. A console program needs no
# display. Fails (never skips) when the cross compiler or Wine is missing.
#
# usage: win32_cli_run.sh SOURCE_DIR CLI WORK_DIR [TEST_CLI]
#   TEST_CLI: the tool's own tests (tests/cli), then run over the .exe as well
set -euo pipefail

source_dir=$(cd "$1" && pwd)
linux_cli=$(realpath "$2")
work=$3
test_cli=${4:-}
started=$SECONDS

say() { echo "win32_cli: [$((SECONDS - started))s] $*"; }
fail() {
    echo "win32_cli: FAIL: $*" >&2
    echo "win32_cli: the runs' files and logs are in $work" >&2
    exit 1
}

rm -rf "$work"
mkdir -p "$work"

# --- Tools -------------------------------------------------------------------------------
command -v x86_64-w64-mingw32-g++ >/dev/null ||
    fail "the MinGW-w64 cross compiler (x86_64-w64-mingw32-g++) is missing: bash scripts/install-deps.sh"
# shellcheck source=find_wine.sh
source "$(dirname "$0")/find_wine.sh"
find_wine
for tool in python3 cmp diff script; do
    command -v "$tool" >/dev/null || fail "$tool is missing"
done

# --- The cross build ---------------------------------------------------------------------
say "cross-building duzuroro-cli.exe"
(
    cd "$source_dir"
    cmake --preset win64 -DDUZURORO_WERROR=ON >/dev/null # portability problems must not pass quietly
    cmake --build --preset win64 --target duzuroro-cli duzuroro-cli-file-check -j 2
) >"$work/build.log" 2>&1 || { tail -n 40 "$work/build.log" >&2; fail "the cross build failed"; }
exe=$source_dir/build/win64/frontends/cli/duzuroro-cli.exe
file_check=$source_dir/build/win64/frontends/win32/duzuroro-cli-file-check.exe
[ -f "$exe" ] || fail "the cross build made no $exe"
# One file that needs nothing beside it: it may import only what every Windows has.
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\tDLL Name: *//p' | tr 'A-Z' 'a-z' | sort -u)
unexpected=$(grep -vxE 'kernel32\.dll|msvcrt\.dll|user32\.dll|advapi32\.dll|shell32\.dll|api-ms-win-[a-z0-9-]+\.dll' <<<"$imports" || true)
[ -z "$unexpected" ] || fail "duzuroro-cli.exe needs DLLs beside it: $unexpected"

# --- A fresh Wine prefix -----------------------------------------------------------------
stop_wine() {
    WINEPREFIX="$work/prefix" "$wineserver" -k 2>/dev/null || true
    rm -rf "$work/prefix"
}
trap stop_wine EXIT
say "making a fresh Wine prefix"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
# Wine spells host names in the locale's character set: UTF-8, so that every Windows name has
# a host name; its ANSI code page is then 1252.
export LC_ALL=C.UTF-8
timeout 180 "$wine" wineboot --init >"$work/wineboot.log" 2>&1 ||
    fail "wineboot could not make a Wine prefix (see $work/wineboot.log)"

say "checking the file access in UTF-8, reading and writing"
mkdir -p "$work/file-check"
(cd "$work/file-check" && timeout 120 "$wine" "$file_check") >"$work/file-check.log" 2>&1 ||
    { cat "$work/file-check.log" >&2; fail "the file access checks failed"; }

# --- The two tools, side by side ---------------------------------------------------------
# Each side runs in a folder of its own with the same relative arguments, so that the only
# difference left is the program.
linux=$work/linux
windows=$work/windows
mkdir -p "$linux/results" "$windows/results"
run_linux() { (cd "$linux" && exec "$linux_cli" "$@"); }
run_windows() { (cd "$windows" && exec timeout 300 "$wine" "$exe" "$@"); }

theatre=Théâtre
game_jp=ゲーム
say "make-demo into game, $theatre and $game_jp"
for folder in game "$theatre" "$game_jp"; do
    run_linux make-demo "$folder" || fail "the Linux tool's make-demo $folder failed"
    run_windows make-demo "$folder" || fail "duzuroro-cli.exe make-demo $folder failed"
    diff -r "$linux/$folder" "$windows/$folder" >&2 ||
        fail "make-demo $folder wrote other files under Wine"
done
for finding in decode-work info-memory; do
    cp -r "$source_dir/tests/regressions/$finding" "$linux/$finding"
    cp -r "$source_dir/tests/regressions/$finding" "$windows/$finding"
done

# info prints the game's absolute paths: the Windows spelling (Z:\...\ over the host's root,
# also escaped in JSON) is turned into the host's, and each side's own folder into ROOT.
normalise_paths() {
    python3 - "$1" "$2" <<'EOF'
import re, sys
root, path = sys.argv[1], sys.argv[2]
text = open(path, encoding="utf-8", errors="surrogateescape").read()
text = re.sub(r'Z:((?:\\\\[^\\"\n]*)+)', lambda m: m.group(1).replace("\\\\", "/"), text)
text = re.sub(r'Z:((?:\\[^\\"\n]*)+)', lambda m: m.group(1).replace("\\", "/"), text)
text = text.replace(root, "ROOT")
open(path, "w", encoding="utf-8", errors="surrogateescape").write(text)
EOF
}

failures=0
mismatch() {
    echo "win32_cli: MISMATCH in $1: $2" >&2
    failures=$((failures + 1))
}

# compare NAME ARGS...: runs both tools with ARGS and compares the exit status, standard
# output, standard error and the files under out/NAME, which every writing case names.
compare() {
    local name=$1 side
    shift
    run_linux "$@" >"$linux/results/$name.out" 2>"$linux/results/$name.err" &&
        echo 0 >"$linux/results/$name.status" || echo $? >"$linux/results/$name.status"
    run_windows "$@" >"$windows/results/$name.out" 2>"$windows/results/$name.err" &&
        echo 0 >"$windows/results/$name.status" || echo $? >"$windows/results/$name.status"
    for side in "$linux" "$windows"; do normalise_paths "$side" "$side/results/$name.out"; done
    for part in status out err; do
        cmp -s "$linux/results/$name.$part" "$windows/results/$name.$part" ||
            mismatch "$name" "$part differs: $(diff "$linux/results/$name.$part" "$windows/results/$name.$part" | head -n 6)"
    done
    if [ -e "$linux/out/$name" ] || [ -e "$windows/out/$name" ]; then
        diff -r "$linux/out/$name" "$windows/out/$name" >/dev/null 2>&1 ||
            mismatch "$name" "the files differ: $(diff -rq "$linux/out/$name" "$windows/out/$name" 2>&1 | head -n 4)"
        [ -z "$(find "$windows/out/$name" -name '.*' -print -quit)" ] ||
            mismatch "$name" "a hidden temporary file was left behind"
    fi
    say "$name: exit $(cat "$windows/results/$name.status"), $(find "$windows/out/$name" -type f 2>/dev/null | wc -l) files"
}

index=game/DEMO.LA0
say "comparing every command's output"
compare info info $index
compare info-json info $index --json
compare info-hashes info $index --json --hashes
compare info-theatre info "$theatre/DEMO.LA0" --json
compare info-jp info "$game_jp/DEMO.LA0"
compare info-jp-json info "$game_jp/DEMO.LA0" --json
compare info-decode-work info decode-work/G.LA0 --json
compare info-decode-work-hashes info decode-work/G.LA0 --json --hashes
compare frames export $index --out out/frames
compare frames-selected export $index --costume 1-3,14 --frame 2,4-5 --scale 2 --transparent 3 --out out/frames-selected
compare sheet-row export $index --sheet --fps 25 --out out/sheet-row
compare sheet-column export $index --costume 1,6 --sheet --layout column --sheet-json hash --out out/sheet-column
compare sheet-grid export $index --sheet --layout grid --padding 1 --scale 2 --transparent 0 --out out/sheet-grid
compare gif export $index --format gif --out out/gif
compare gif-scaled export $index --costume 1-4 --format gif --scale 3 --transparent 0 --fps 7 --out out/gif-scaled
compare palette-gpl export $index --costume 2 --palette gpl --out out/palette-gpl
compare palette-pal export $index --palette pal --palette-only --out out/palette-pal
compare palette-act export $index --palette act --palette-only --transparent 5 --out out/palette-act
compare gallery gallery $index --out out/gallery --scale 2 --transparent 0
mkdir -p "$linux/out/screen" "$windows/out/screen" "$linux/out/screen-frame" "$windows/out/screen-frame"
compare screen screen $index --costume 14 --zoom --out out/screen/sunset.png
compare screen-frame screen $index --costume 1 --frame 3 --out out/screen-frame/one.png
compare theatre export "$theatre/DEMO.LA0" --costume 1-2 --sheet --palette gpl --out "out/theatre/$theatre"
compare jp export "$game_jp/DEMO.LA0" --costume 5 --format gif --out "out/jp/$game_jp/gifs"
compare jp-gallery gallery "$game_jp/DEMO.LA0" --out "out/jp-gallery/$game_jp"
compare decode-work export decode-work/G.LA0 --out out/decode-work
say "comparing the failures"
compare missing-game info game/NOPE.LA0
compare missing-costume export $index --costume 99 --out out/missing-costume
compare missing-frame export $index --costume 1 --frame 99 --out out/missing-frame
compare not-present screen $index --costume 15 --out out/not-present/x.png
compare game-file screen $index --costume 1 --out game/DEMO.LA1
compare game-slot screen $index --costume 1 --out game/demo.la5
compare usage-range export $index --scale 9
compare usage-command frobnicate
compare usage-none
compare version --version
compare help export --help
# 32 million frame lines: the listing's bytes are compared through their digest, once its
# five lines of paths are spelled alike.
say "info of the regression game with 32 million frames"
for side in linux windows; do
    "run_$side" info info-memory/G.LA0 |
        sed -e '1,5{s#Z:\\#/#g;s#\\#/#g}' -e "1,5s#${work}/$side#ROOT#" |
        sha256sum >"$work/$side/results/info-memory.sha256"
done
cmp -s "$linux/results/info-memory.sha256" "$windows/results/info-memory.sha256" ||
    mismatch info-memory "the listing differs"

# --- A console ---------------------------------------------------------------------------
# On a terminal, Wine gives the program a console: the progress line shows, and a name in
# UTF-8 comes out as the characters it spells.
say "on a console"
(cd "$windows" && TERM=dumb timeout 300 script -qec \
    "'$wine' '$exe' export '$game_jp/DEMO.LA0' --costume 14-15 --out out/console" /dev/null) \
    >"$work/console.log" 2>&1 || true
grep -q $'\r''Exporting costume 14' "$work/console.log" || mismatch console "no progress line on the console"
grep -q "Error: Costume 15 is not present on this disk. \[costume 15\]" "$work/console.log" ||
    mismatch console "the message did not reach the console"
(cd "$windows" && TERM=dumb timeout 300 script -qec \
    "'$wine' '$exe' info '$game_jp/NOPE.LA0'" /dev/null) >"$work/console-jp.log" 2>&1 || true
grep -qF "[$game_jp/NOPE.LA0: No such file or directory]" "$work/console-jp.log" ||
    mismatch console "a name in UTF-8 is not shown as itself: $(cat "$work/console-jp.log")"

# --- The tool's own tests ----------------------------------------------------------------
# All but three, which Windows itself answers otherwise: info's paths are spelled Z:\..., a
# game named <i>&"' cannot be a Windows file, and Wine cannot start under a cap on its
# address space.
if [ -n "$test_cli" ]; then
    say "the tool's own tests over duzuroro-cli.exe"
    DUZURORO_CLI_RUNNER=$wine DUZURORO_CLI=$exe timeout 600 "$test_cli" --gtest_brief=1 \
        --gtest_filter=-CliTest.InfoJsonListsFilesCostumesFramesAndFailures:GalleryTest.ShowsEveryCostumeWithExportsOwnFilesAndItsMessages:RegressionTest.RunningOutOfMemoryIsAMessageNotACrash \
        >"$work/test_cli.log" 2>&1 || mismatch test_cli "$(grep -F '[  FAILED  ]' "$work/test_cli.log" || tail -n 5 "$work/test_cli.log")"
    say "$(grep -E '^\[  PASSED  \]' "$work/test_cli.log" || echo 'test_cli failed')"
fi

((failures == 0)) || fail "$failures differences between duzuroro-cli.exe and the Linux tool"
say "duzuroro-cli.exe wrote and printed what the Linux tool did, in every case"
