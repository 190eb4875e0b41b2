#!/usr/bin/env bash
# Cross-builds DuzuRoro.exe and runs it once under Wine in a virtual X display, driving it as
# a user would: the first picture, the demo game opened through the real open dialog, the
# six keys, a broken game's error box, and File > Exit. Every picture of the window's client
# area must equal, pixel for pixel, what the host build's headless programs make, and the
# .exe must carry its menu and its icon.
# Fails (never skips) when the cross compiler, Wine or the X tools are missing.
# TEST_WIN32_KEEP=1 keeps the screenshots and logs of a passing run as well.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

fail() {
    echo "test-win32: FAIL: $*" >&2
    exit 1
}
say() { echo "test-win32: [$((SECONDS - started))s] $*"; }
started=$SECONDS

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

# --- Builds ------------------------------------------------------------------------------
say "cross-building DuzuRoro.exe"
cmake --preset win64 -DDUZURORO_WERROR=ON >/dev/null  # portability problems must not pass quietly
cmake --build --preset win64 --target DuzuRoro -j 2
exe=$root/build/win64/frontends/win32/DuzuRoro.exe
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

say "building the host tools that make the expected pictures"
cmake --preset ci >/dev/null
cmake --build --preset ci --target duzuroro-cli win32-start-picture -j 2
cli=$root/build/ci/frontends/cli/duzuroro-cli
start_picture=$root/build/ci/tests/win32/win32-start-picture

# --- The session's files -----------------------------------------------------------------
work=$(mktemp -d /tmp/duzuroro-win32.XXXXXX)
xvfb_pid=""
app_pid=""
cleanup() {
    local status=$?
    if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; then kill "$app_pid" 2>/dev/null || true; fi
    if [ -d "$work/prefix" ]; then WINEPREFIX="$work/prefix" "$wineserver" -k 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    if [ "$status" -eq 0 ] && [ -z "${TEST_WIN32_KEEP:-}" ]; then
        rm -rf "$work"
    else
        rm -rf "$work/prefix"
        echo "test-win32: screenshots and logs kept in $work" >&2
    fi
}
trap cleanup EXIT

"$cli" make-demo "$work/demo" >/dev/null
[ -f "$work/demo/DEMO.LA0" ] || fail "duzuroro-cli make-demo wrote no DEMO.LA0"
mkdir -p "$work/broken"
printf 'JUNK\0\0\0\010' >"$work/broken/BROKEN.LA0"  # a block of a tag no index holds
"$start_picture" "$work/expected-start.ppm"

# What the window must show after each step: STEP COSTUME FRAME [--zoom].
expected_steps=(
    "open 1 1"
    "Right 1 2"
    "Up 2 1"
    "KP_Add 2 1 --zoom"
    "Down 1 1 --zoom"
    "Right 1 2 --zoom"
    "KP_Subtract 1 2"
    "plus 1 2"  # the main keyboard's plus leaves the zoom alone
    "Left 1 1"
)
for i in "${!expected_steps[@]}"; do
    read -r _ costume frame zoom <<<"${expected_steps[i]}"
    "$cli" screen "$work/demo/DEMO.LA0" --costume "$costume" --frame "$frame" ${zoom:-} \
        --out "$work/expected-$i.png" >/dev/null
done

# --- Waiting, without blind sleeps -------------------------------------------------------
# wait_until SECONDS COMMAND...: polls COMMAND until it succeeds; false when time runs out.
wait_until() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}
visible_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }
window_shown() { [ -n "$(visible_window "$1")" ]; }
window_gone() { [ -z "$(visible_window "$1")" ]; }
app_ended() { ! kill -0 "$app_pid" 2>/dev/null; }

# --- X display and Wine ------------------------------------------------------------------
say "starting Xvfb and a fresh Wine prefix"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
wait_until 20 test -s "$work/display" || fail "Xvfb did not start (see $work/xvfb.log)"
export DISPLAY=":$(head -1 "$work/display")"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
timeout 180 "$wine" wineboot --init >"$work/wineboot.log" 2>&1 ||
    fail "wineboot could not make a Wine prefix (see $work/wineboot.log)"

say "starting DuzuRoro.exe"
"$wine" "$exe" >"$work/app.log" 2>&1 &
app_pid=$!
wait_until 60 window_shown DuzuRoro || fail "no window titled DuzuRoro appeared"
main=$(visible_window DuzuRoro)

# Wine leaves the caption and borders to the (absent) window manager: its X window holds the
# menu bar and, below it, the client area.
geometry=$(xwininfo -id "$main")
width=$(awk '/^ *Width:/ {print $2}' <<<"$geometry")
height=$(awk '/^ *Height:/ {print $2}' <<<"$geometry")
menu=$((height - 480))
[ "$width" -eq 640 ] || fail "the client area is $width pixels wide, not 640"
((menu >= 10 && menu <= 40)) || fail "the window is $height pixels high: no 480-pixel client area below a menu bar"
# Keys go to the window under the pointer as well as to the focused one.
xdotool mousemove --window "$main" 320 $((menu + 240))

# shows EXPECTED: the client area shows exactly that picture now.
shows() {
    import -window "$main" "$work/window.png" 2>/dev/null || return 1
    convert "$work/window.png" -crop "640x480+0+$menu" +repage -alpha off -depth 8 "rgb:$work/client.rgb" &&
        convert "$1" -alpha off -depth 8 "rgb:$work/expected.rgb" &&
        cmp -s "$work/client.rgb" "$work/expected.rgb"
}
# expect_picture NAME EXPECTED: waits for the picture, or fails keeping what was shown.
expect_picture() {
    if ! wait_until 15 shows "$2"; then
        local shown="$work/shown-${1//[^a-zA-Z0-9]/_}.png"
        convert -size 640x480 -depth 8 "rgb:$work/client.rgb" "$shown"
        fail "after '$1' the window does not show $2 (it shows $shown)"
    fi
    say "after '$1' the window shows what the host build shows"
}
focus() { xdotool windowfocus "$1" 2>/dev/null || true; }
choose_file_open() {
    focus "$main"
    xdotool key alt+f
    xdotool key o
    wait_until 30 window_shown Open || fail "File > Open showed no Open dialog"
    local dialog
    dialog=$(visible_window Open)
    focus "$dialog"
    xdotool type --delay 15 "Z:${1//\//\\}"
    xdotool key Return
    wait_until 30 window_gone Open || fail "the Open dialog did not close after Enter"
}

expect_picture start "$work/expected-start.ppm"

say "File > Open $work/demo/DEMO.LA0"
choose_file_open "$work/demo/DEMO.LA0"
window_shown Error && fail "opening the demo game showed an error box"
expect_picture open "$work/expected-0.png"
import -window "$main" "$work/window-demo.png"

for ((i = 1; i < ${#expected_steps[@]}; ++i)); do
    read -r key _ <<<"${expected_steps[i]}"
    focus "$main"
    xdotool key "$key"
    expect_picture "$i: $key" "$work/expected-$i.png"
done

say "File > Open $work/broken/BROKEN.LA0"
choose_file_open "$work/broken/BROKEN.LA0"
wait_until 30 window_shown Error || fail "the broken game showed no box titled Error"
box=$(visible_window Error)
import -window root "$work/error-box.png"
# Wine marks an owned window as transient for its owner: the box belongs to the main window.
owner=$(xprop -id "$box" WM_TRANSIENT_FOR | grep -o '0x[0-9a-f]*' || true)
[ "$((owner))" -eq "$main" ] || fail "the Error box is not owned by the main window (owner: ${owner:-none})"
focus "$box"
xdotool key Return
wait_until 30 window_gone Error || fail "the Error box did not close on Enter"
expect_picture "the error" "$work/expected-start.ppm"
window_gone Error || fail "a second Error box followed the first"

say "File > Exit"
focus "$main"
xdotool key alt+f
xdotool key x
wait_until 60 app_ended || fail "DuzuRoro.exe did not end after File > Exit"
code=0
wait "$app_pid" || code=$?
app_pid=""
[ "$code" -eq 0 ] || fail "DuzuRoro.exe ended with exit code $code after File > Exit, not 0"
say "File > Exit ended DuzuRoro.exe with exit code 0"
say "all Win32 checks passed"
