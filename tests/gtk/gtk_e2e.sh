#!/usr/bin/env bash
# End-to-end tests of the desktop viewer, driven as a user drives it: on a private Xvfb
# display, through the real menus, dialogs and keys, comparing what the window shows pixel
# for pixel with the pictures that the command-line tool makes for the same steps.
#
# usage: gtk_e2e.sh CASE VIEWER CLI HELPERS_DIR WORK_DIR
#   CASE: start-and-exit | browse | broken-game
set -euo pipefail

case_name=$1
viewer=$2
cli=$3
helpers=$4
work=$5

# Every wait is bounded; the sanitizer build starts and draws a good deal slower.
timeout_seconds=${DUZURORO_E2E_TIMEOUT:-30}

rm -rf "$work"
mkdir -p "$work"
xvfb_pid=
viewer_pid=
wid=

cleanup() {
    if [ -n "$viewer_pid" ] && [ ! -s "$work/exit-code" ]; then kill "$viewer_pid" 2>/dev/null || true; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -s "$work/viewer.log" ]; then
        echo "--- viewer output ---" >&2
        cat "$work/viewer.log" >&2
    fi
    exit 1
}

# Runs "$@" until it succeeds, for at most the timeout; false when it never did.
wait_until() {
    local deadline=$((SECONDS + timeout_seconds))
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

start_display() {
    # -displayfd picks a free display number, so that tests may run side by side.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
    xvfb_pid=$!
    wait_until test -s "$work/display" || fail "Xvfb did not start"
    export DISPLAY=":$(head -n1 "$work/display")"
}

# The visible top-level window whose title is exactly $1.
find_window() {
    xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1
}

window_shown() {
    local found
    found=$(find_window "$1")
    [ -n "$found" ]
}

window_gone() { ! window_shown "$1"; }

# Starts the viewer in directory $1, as a user starting it from there, and waits for its
# window. The exit code lands in $work/exit-code when it ends.
start_viewer() {
    rm -f "$work/viewer.pid" "$work/exit-code"
    (
        cd "$1"
        env ASAN_OPTIONS=detect_leaks=0 GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 \
            "$viewer" >"$work/viewer.log" 2>&1 &
        echo $! >"$work/viewer.pid"
        code=0
        wait $! || code=$?
        echo "$code" >"$work/exit-code"
    ) &
    wait_until test -s "$work/viewer.pid" || fail "the viewer did not start"
    viewer_pid=$(cat "$work/viewer.pid")
    wait_until window_shown DuzuRoro || fail "the window did not appear"
    wid=$(find_window DuzuRoro)
}

# Gives the keyboard to window $1 (there is no window manager to do it) and presses keys.
press() {
    local target=$1
    shift
    xdotool windowfocus --sync "$target" key --delay 30 "$@"
}

# What the drawing area shows: the bottom 640 x 480 of the window, below the menu bar.
screenshot() {
    local height
    height=$(xwininfo -id "$wid" | awk '/Height:/ {print $2}')
    import -window "$wid" "$work/window.png"
    convert "$work/window.png" -crop "640x480+0+$((height - 480))" +repage "$1"
}

same_picture() {
    screenshot "$work/shown.png" || return 1
    local differing
    differing=$(compare -metric AE "$work/shown.png" "$1" null: 2>&1) || true
    [ "$differing" = "0" ]
}

# Waits until the drawing area shows exactly picture $1; $2 says what it should be.
expect_picture() {
    if ! wait_until same_picture "$1"; then
        cp "$work/shown.png" "$work/failed-$(basename "$1")"
        fail "the window does not show $2 (see $work/failed-$(basename "$1"), expected $1)"
    fi
}

# The picture of `duzuroro-cli screen` of the game $index for the given options, made once.
# A costume not present on its disk is still pictured (its status line), with exit status 1.
cli_picture() {
    local out
    out="$work/expected$(echo "$*" | tr -c 'a-z0-9' '-').png"
    [ -f "$out" ] || "$cli" screen "$index" "$@" --out "$out" >/dev/null 2>&1 || [ -f "$out" ] ||
        fail "duzuroro-cli screen $index $*"
    echo "$out"
}

# Waits for the viewer to end and checks its exit code.
expect_exit_code() {
    wait_until test -s "$work/exit-code" || fail "the viewer did not end"
    viewer_pid=
    local code
    code=$(cat "$work/exit-code")
    [ "$code" = "$1" ] || fail "exit code $code, expected $1"
}

# File > Open through the menu's mnemonics, the path typed into GTK's own dialog.
open_through_dialog() {
    press "$wid" alt+f o
    wait_until window_shown Open || fail "the open dialog did not appear"
    local dialog
    dialog=$(find_window Open)
    press "$dialog" ctrl+l
    xdotool type --delay 10 "$1"
    press "$dialog" Return
    wait_until window_gone Open || fail "the open dialog did not close"
}

choose_exit() { press "$wid" alt+f x; }

start_display
"$helpers/start_picture" "$work/start.ppm" || fail "no headless start picture"
convert "$work/start.ppm" "$work/start.png"

case $case_name in
start-and-exit)
    start_viewer "$work"
    geometry=$(xwininfo -id "$wid")
    width=$(awk '/Width:/ {print $2}' <<<"$geometry")
    height=$(awk '/Height:/ {print $2}' <<<"$geometry")
    [ "$width" = 640 ] || fail "the window is $width pixels wide, not 640"
    ((height > 480 && height < 480 + 100)) || fail "the window is $height pixels high"
    hints=$(xprop -id "$wid" WM_NORMAL_HINTS)
    grep -q "minimum size: 640 by $height" <<<"$hints" &&
        grep -q "maximum size: 640 by $height" <<<"$hints" ||
        fail "the window can be resized: $hints"
    icons=$(xprop -id "$wid" _NET_WM_ICON)
    for size in 48 32 16; do
        grep -q "Icon ($size x $size)" <<<"$icons" || fail "the window has no $size x $size icon"
    done
    expect_picture "$work/start.png" '"Please open a file."'
    # The six keys before any game change nothing.
    press "$wid" Left Up Right Down KP_Add KP_Subtract
    expect_picture "$work/start.png" '"Please open a file." after the six keys'
    choose_exit
    expect_exit_code 0
    ;;

browse)
    "$cli" make-demo "$work/demo" >/dev/null || fail "duzuroro-cli make-demo"
    index="$work/demo/DEMO.LA0"
    start_viewer "$work/demo"
    expect_picture "$work/start.png" '"Please open a file."'
    open_through_dialog "$index"
    expect_picture "$(cli_picture --costume 1)" "costume 1"
    press "$wid" Right Right
    expect_picture "$(cli_picture --costume 1 --frame 3)" "costume 1, frame 3"
    # The main keyboard's plus and minus are not the zoom keys.
    press "$wid" plus equal minus
    press "$wid" F10 Escape  # through the menu bar and back: the keys still reach the viewer
    press "$wid" Left
    expect_picture "$(cli_picture --costume 1 --frame 2)" "costume 1, frame 2 unzoomed"
    press "$wid" KP_Add
    expect_picture "$(cli_picture --costume 1 --frame 2 --zoom)" "costume 1 zoomed"
    press "$wid" Up Up Up
    expect_picture "$(cli_picture --costume 4 --zoom)" "costume 4 zoomed"
    press "$wid" KP_Subtract Down
    expect_picture "$(cli_picture --costume 3)" "costume 3"
    # Held down, Up steps on with every auto-repeat until it stops at the last costume.
    last=$(($("$cli" info "$index" | awk '/^Costumes:/ {print $2}') - 1))
    xdotool windowfocus --sync "$wid" keydown Up
    reached=0
    wait_until same_picture "$(cli_picture --costume "$last")" || reached=$?
    xdotool keyup Up
    ((reached == 0)) || fail "holding Up did not reach costume $last"
    "$helpers/close_window" "$wid"
    expect_exit_code 0
    ;;

broken-game)
    "$cli" make-demo "$work/demo" >/dev/null || fail "duzuroro-cli make-demo"
    index="$work/demo/DEMO.LA0"
    mkdir -p "$work/broken"
    printf 'JUNK\0\0\0\20notagame' >"$work/broken/BROKEN.LA0"
    start_viewer "$work/broken"
    open_through_dialog "$index"
    expect_picture "$(cli_picture --costume 1)" "costume 1"
    open_through_dialog "$work/broken/BROKEN.LA0"
    wait_until window_shown Error || fail "no Error dialog"
    error=$(find_window Error)
    owner=$(xprop -id "$error" WM_TRANSIENT_FOR)
    grep -q "window id # $(printf '0x%x' "$wid")\$" <<<"$owner" ||
        fail "the Error dialog is not owned by the main window: $owner"
    state=$(xprop -id "$error" _NET_WM_STATE)
    grep -q _NET_WM_STATE_MODAL <<<"$state" || fail "the Error dialog is not modal: $state"
    import -window "$error" "$work/error-dialog.png"
    press "$error" Return
    wait_until window_gone Error || fail "the Error dialog did not close"
    # One failure, one dialog: none follows within a second.
    for _ in $(seq 10); do
        window_shown Error && fail "a second Error dialog"
        sleep 0.1
    done
    expect_picture "$work/start.png" '"Please open a file." after the failed open'
    choose_exit
    expect_exit_code 0
    ;;

*)
    fail "unknown case $case_name"
    ;;
esac
echo "PASS: $case_name"
