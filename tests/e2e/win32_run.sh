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
# Debian's wine64 package puts its loader beside the server, off the PATH.
wine=""
for candidate in wine64 wine /usr/lib/wine/wine64; do
    if command -v "$candidate" >/dev/null; then
        wine=$(command -v "$candidate")
        break
    fi
done
[ -n "$wine" ] || fail "Wine (wine64) is missing: bash scripts/install-deps.sh"
wineserver=$(command -v wineserver || echo "$(dirname "$wine")/wineserver")
[ -x "$wineserver" ] || fail "wineserver is missing beside $wine"
for tool in Xvfb xdotool xwininfo xprop import convert cmp; do
    command -v "$tool" >/dev/null || fail "$tool is missing: bash scripts/install-deps.sh"
done

# --- The cross build and its resources ---------------------------------------------------
say "cross-building DuzuRoro.exe"
(
    cd "$source_dir"
    cmake --preset win64 -DDUZURORO_WERROR=ON >/dev/null # portability problems must not pass quietly
    cmake --build --preset win64 --target DuzuRoro -j 2
) >"$E2E_WORK/build.log" 2>&1 || { tail -n 40 "$E2E_WORK/build.log" >&2; fail "the cross build failed"; }
exe=$source_dir/build/win64/frontends/win32/DuzuRoro.exe
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
timeout 180 "$wine" wineboot --init >"$E2E_WORK/wineboot.log" 2>&1 ||
    fail "wineboot could not make a Wine prefix (see $E2E_WORK/wineboot.log)"

# --- The session -------------------------------------------------------------------------
say "starting DuzuRoro.exe"
start_program "$E2E_WORK" "$wine" "$exe"
# Wine leaves the caption and borders to the (absent) window manager: its X window holds the
# menu bar and, below it, the client area.
expect_menu_bar 10 40
expect_picture "$main" "$start_picture" '"Please open a file."'
expect_keys_change_nothing
browse_demo
open_broken_game
say "File > Exit"
choose_exit
expect_exit_code 0
say "all Win32 checks passed"
