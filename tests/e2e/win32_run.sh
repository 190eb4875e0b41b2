#!/usr/bin/env bash
# DuzuRoro.exe, cross-built through the win64 preset and driven end to end under Wine in one
# session. What is its own: the cross build and the resources the .exe carries, and a fresh
# Wine prefix. Fails (never skips) when the cross compiler, Wine or the X tools are missing.
#
# usage: win32_run.sh SOURCE_DIR CLI START_PICTURE WORK_DIR
set -euo pipefail

source_dir=$1
E2E_CLI=$2
E2E_START_PICTURE=$3
E2E_WORK=$4
E2E_NAME=win32
# shellcheck source=driver.sh
source "$(dirname "$0")/driver.sh"

# --- Tools -------------------------------------------------------------------------------
command -v x86_64-w64-mingw32-g++ >/dev/null ||
    fail "the MinGW-w64 cross compiler (x86_64-w64-mingw32-g++) is missing: bash scripts/install-deps.sh"
command -v x86_64-w64-mingw32-windres >/dev/null ||
    fail "the MinGW-w64 resource compiler (x86_64-w64-mingw32-windres) is missing"
# shellcheck source=find_wine.sh
source "$(dirname "$0")/find_wine.sh"
find_wine
for tool in Xvfb xdotool xwininfo xprop import convert cmp; do
    command -v "$tool" >/dev/null || fail "$tool is missing: bash scripts/install-deps.sh"
done

# --- The cross build and its resources ---------------------------------------------------
say "cross-building DuzuRoro.exe"
(
    cd "$source_dir"
    cmake --preset win64 -DDUZURORO_WERROR=ON >/dev/null # portability problems must not pass quietly
    cmake --build --preset win64 --target DuzuRoro duzuroro-file-check -j 2
) >"$E2E_WORK/build.log" 2>&1 || { tail -n 40 "$E2E_WORK/build.log" >&2; fail "the cross build failed"; }
exe=$source_dir/build/win64/frontends/win32/DuzuRoro.exe
file_check=$source_dir/build/win64/frontends/win32/duzuroro-file-check.exe
[ -f "$exe" ] || fail "the cross build made no $exe"
# One self-contained program: no MinGW runtime DLL may be needed beside it.
if x86_64-w64-mingw32-objdump -p "$exe" | grep -iE 'DLL Name: *(libstdc|libgcc|libwinpthread)'; then
    fail "DuzuRoro.exe is not statically linked"
fi
# The resources as the .exe carries them: the menu, and the icon in its three sizes at 8 bits.
resources=$(x86_64-w64-mingw32-windres -J coff -O rc -i "$exe") ||
    fail "windres cannot read the resources of DuzuRoro.exe"
main_menu=$(sed -n '/^101 MENU$/,/^END$/p' <<<"$resources")
expected_menu='101 MENU
BEGIN
  POPUP "&File"
  BEGIN
    MENUITEM "&Open", 57601
    MENUITEM "E&xit", 8
  END
END'
[ "$main_menu" = "$expected_menu" ] || fail "DuzuRoro.exe carries no menu 101 with File, Open and Exit"
icon_sizes=$(sed -n '/^102 14 /,/^END$/p' <<<"$resources" | grep -o '"[^"]*", 1, 8,' | tr -d '\n')
[ "$icon_sizes" = '"\060\060\000\000", 1, 8,"\040\040\000\000", 1, 8,"\020\020\000\000", 1, 8,' ] ||
    fail "DuzuRoro.exe carries no icon 102 of 48, 32 and 16 pixels at 8 bits per pixel"

# --- A fresh Wine prefix -----------------------------------------------------------------
stop_run() {
    if [ -d "$E2E_WORK/prefix" ]; then
        WINEPREFIX="$E2E_WORK/prefix" "$wineserver" -k 2>/dev/null || true
        rm -rf "$E2E_WORK/prefix"
    fi
}

# Wine's dialog takes a Windows path in its file name field, which has the keyboard: the
# host's root is drive Z:.
type_into_dialog() {
    xdotool windowfocus "$1" 2>/dev/null || true
    xdotool type --delay 15 "Z:${2//\//\\}"
    xdotool key Return
}

start_display
make_games
say "making a fresh Wine prefix"
export WINEPREFIX="$E2E_WORK/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine spells host file names in the locale's character set: UTF-8, so that every Windows
# name has a host name; its ANSI code page is then 1252, as on a Western European Windows.
export LC_ALL=C.UTF-8
timeout 180 "$wine" wineboot --init >"$E2E_WORK/wineboot.log" 2>&1 ||
    fail "wineboot could not make a Wine prefix (see $E2E_WORK/wineboot.log)"

# --- The file access, in code page 1252 --------------------------------------------------
say "checking the file access: non-ASCII folders and names, the share mode"
mkdir -p "$E2E_WORK/file-check"
(cd "$E2E_WORK/file-check" && timeout 120 "$wine" "$file_check") >"$E2E_WORK/file-check.log" 2>&1 ||
    { cat "$E2E_WORK/file-check.log" >&2; fail "the file access checks failed"; }

# The demo game from a folder whose name needs the ANSI code page, chosen in the dialog as a
# user would: its plain parent typed, then the folder and DEMO.LA0 double-clicked, each the
# only entry listed (Wine loses letters that xdotool types from outside the keyboard).
# Costume 1 at actual size after the open, then a step of each kind.
open_from_folder() {
    local parent=$E2E_WORK/ansi-$1 folder=$E2E_WORK/ansi-$1/$2 dialog
    rm -rf "$parent"
    mkdir -p "$parent"
    cp -r "$E2E_WORK/demo" "$folder"
    say "File > Open $folder/DEMO.LA0"
    press "$main" alt+f o
    wait_until window_shown Open || fail "File > Open showed no Open dialog"
    dialog=$(find_window Open)
    type_into_dialog "$dialog" "$parent/"
    sleep 1.5
    for _ in $(seq 20); do
        window_shown Open || break
        xdotool mousemove --window "$dialog" 45 44 click --repeat 2 --delay 80 1 2>/dev/null || true
        sleep 1
    done
    window_gone Open || fail "the Open dialog did not open $folder/DEMO.LA0"
    window_gone Error || fail "opening the demo game from $2 showed an Error box"
    cli_picture "$demo_index" 1 1 off
    expect_picture "$main" "$picture" "costume 1 after the open from $2"
    cp "$E2E_WORK/window.png" "$E2E_WORK/window-$2.png"
    press "$main" Up Right KP_Add
    cli_picture "$demo_index" 2 2 on
    expect_picture "$main" "$picture" "costume 2, frame 2, zoom on in the game from $2"
}

# --- The session -------------------------------------------------------------------------
say "starting DuzuRoro.exe"
start_program "$E2E_WORK" "$wine" "$exe"
# Wine leaves the caption and borders to the (absent) window manager: its X window holds the
# menu bar and, below it, the client area.
expect_menu_bar 10 40
expect_picture "$main" "$start_picture" '"Please open a file."'
expect_keys_change_nothing
# Each open shows a picture other than the one before it, so that none can pass unseen.
open_from_folder 1 Théâtre
open_from_folder 2 Euro€
browse_demo
open_broken_game
say "File > Exit"
choose_exit
expect_exit_code 0
say "all Win32 checks passed"
