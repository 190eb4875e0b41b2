# shellcheck shell=bash
# The driver of the desktop programs' end-to-end runs (GTK and Win32), sourced by each run.
# A run drives its program as a user would, on a private Xvfb display, through the real
# menus, dialogs and keys, and compares the window's client area pixel for pixel with the
# pictures that the host build's headless code makes for the same steps.
#
# Before sourcing, a run sets E2E_NAME (the prefix of its messages), E2E_WORK (its folder of
# logs and screenshots, emptied here and kept afterwards), E2E_CLI (duzuroro-cli) and
# E2E_START_PICTURE (the e2e-start-picture helper built beside this file). It
# defines type_into_dialog DIALOG PATH (how its open dialog takes a path) and may define
# stop_run (its own clean-up, called on exit).

e2e_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# Every wait is bounded; Wine and the sanitizer build start and draw a good deal slower.
e2e_timeout=${DUZURORO_E2E_TIMEOUT:-60}
e2e_started=$SECONDS

rm -rf "$E2E_WORK"
mkdir -p "$E2E_WORK"
xvfb_pid=
program_pid=
main=

stop_everything() {
    local status=$?
    if [ -n "$program_pid" ] && [ ! -s "$E2E_WORK/exit-code" ]; then
        kill "$program_pid" 2>/dev/null || true
    fi
    if declare -F stop_run >/dev/null; then stop_run; fi
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
    ((status == 0)) || echo "$E2E_NAME: screenshots and logs are in $E2E_WORK" >&2
}
trap stop_everything EXIT

say() { echo "$E2E_NAME: [$((SECONDS - e2e_started))s] $*"; }

fail() {
    echo "$E2E_NAME: FAIL: $*" >&2
    if [ -s "$E2E_WORK/program.log" ]; then
        echo "--- the program's output ---" >&2
        cat "$E2E_WORK/program.log" >&2
    fi
    exit 1
}

# The picture of "Please open a file.", which the window shows before a game is opened.
start_picture="$E2E_WORK/start.ppm"
"$E2E_START_PICTURE" "$start_picture" || fail "no start picture from $E2E_START_PICTURE"

# wait_until COMMAND...: runs COMMAND until it succeeds, for at most the timeout; false when
# it never did.
wait_until() {
    local deadline=$((SECONDS + e2e_timeout))
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

start_display() {
    # -displayfd picks a free display number, so that runs may go side by side.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$E2E_WORK/display" \
        2>"$E2E_WORK/xvfb.log" &
    xvfb_pid=$!
    wait_until test -s "$E2E_WORK/display" || fail "Xvfb did not start (see $E2E_WORK/xvfb.log)"
    DISPLAY=":$(head -n1 "$E2E_WORK/display")"
    export DISPLAY
}

# The visible top-level window whose title is exactly $1.
find_window() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1; }
window_shown() { [ -n "$(find_window "$1")" ]; }
window_gone() { ! window_shown "$1"; }

# start_program DIR COMMAND...: starts the program in DIR, as a user starting it from there,
# and waits for its window, whose id lands in $main. The exit code lands in
# $E2E_WORK/exit-code when it ends.
start_program() {
    local dir=$1
    shift
    rm -f "$E2E_WORK/program.pid" "$E2E_WORK/exit-code"
    (
        cd "$dir" || exit
        "$@" >"$E2E_WORK/program.log" 2>&1 &
        echo $! >"$E2E_WORK/program.pid"
        code=0
        wait $! || code=$?
        echo "$code" >"$E2E_WORK/exit-code"
    ) &
    wait_until test -s "$E2E_WORK/program.pid" || fail "the program did not start"
    program_pid=$(cat "$E2E_WORK/program.pid")
    wait_until window_shown DuzuRoro || fail "no window titled DuzuRoro appeared"
    main=$(find_window DuzuRoro)
    # Keys reach the window under the pointer as well as the focused one.
    xdotool mousemove --window "$main" 320 "$(($(window_height "$main") - 240))"
}

expect_exit_code() {
    wait_until test -s "$E2E_WORK/exit-code" || fail "the program did not end"
    program_pid=
    local code
    code=$(cat "$E2E_WORK/exit-code")
    [ "$code" = "$1" ] || fail "the program ended with exit code $code, not $1"
}

window_width() { xwininfo -id "$1" | awk '/^ *Width:/ {print $2}'; }
window_height() { xwininfo -id "$1" | awk '/^ *Height:/ {print $2}'; }

# expect_menu_bar MIN MAX: the main window is 640 pixels wide and holds a menu bar of MIN to
# MAX rows above the 480 rows of the client area.
expect_menu_bar() {
    local width height
    width=$(window_width "$main")
    height=$(window_height "$main")
    [ "$width" = 640 ] || fail "the window is $width pixels wide, not 640"
    ((height - 480 >= $1 && height - 480 <= $2)) ||
        fail "the window is $height pixels high: no 480-row client area below a menu bar"
}

# press WINDOW KEY...: gives the keyboard to WINDOW (there is no window manager to do it) and
# presses the keys one after another.
press() {
    local target=$1
    shift
    xdotool windowfocus --sync "$target" key --delay 30 "$@"
}

# The picture as raw RGB bytes, made once: PNG and PPM compare alike.
raw_rgb() {
    [ -f "$1.rgb" ] || convert "$1" -alpha off -depth 8 "rgb:$1.rgb" || return 1
    echo "$1.rgb"
}

# shows WINDOW PICTURE: the window's client area (its bottom 640 x 480, below the menu bar)
# shows exactly PICTURE now.
shows() {
    local height expected
    expected=$(raw_rgb "$2") || return 1
    height=$(window_height "$1") || return 1
    import -window "$1" "$E2E_WORK/window.png" 2>/dev/null || return 1
    convert "$E2E_WORK/window.png" -crop "640x480+0+$((height - 480))" +repage -alpha off \
        -depth 8 "rgb:$E2E_WORK/shown.rgb" || return 1
    cmp -s "$E2E_WORK/shown.rgb" "$expected"
}

# expect_picture WINDOW PICTURE WHAT: waits until the client area shows PICTURE, which WHAT
# describes; fails keeping what it showed instead.
expect_picture() {
    if ! wait_until shows "$1" "$2"; then
        local shown
        shown="$E2E_WORK/shown-instead-of-$(basename "${2%.*}").png"
        convert -size 640x480 -depth 8 "rgb:$E2E_WORK/shown.rgb" "$shown"
        fail "the window does not show $3 (it shows $shown, expected $2)"
    fi
}

# cli_picture INDEX COSTUME FRAME ZOOM: sets $picture to what `duzuroro-cli screen` shows for
# the game INDEX at that costume and frame, zoomed when ZOOM is on; made once. A costume not
# present on its disk is still pictured (its status line), with exit status 1.
cli_picture() {
    local zoom=()
    [ "$4" = on ] && zoom=(--zoom)
    picture="$E2E_WORK/expected-c$2-f$3-$4.png"
    [ -f "$picture" ] || "$E2E_CLI" screen "$1" --costume "$2" --frame "$3" "${zoom[@]}" \
        --out "$picture" >/dev/null 2>&1 || [ -f "$picture" ] ||
        fail "duzuroro-cli screen $1 --costume $2 --frame $3 ${zoom[*]}"
}

# make_games: the demo game in $E2E_WORK/demo and the broken index file, alone in
# $E2E_WORK/broken.
make_games() {
    "$E2E_CLI" make-demo "$E2E_WORK/demo" >/dev/null || fail "duzuroro-cli make-demo"
    demo_index="$E2E_WORK/demo/DEMO.LA0"
    mkdir -p "$E2E_WORK/broken"
    cp "$e2e_dir/BROKEN.LA0" "$E2E_WORK/broken/"
    broken_index="$E2E_WORK/broken/BROKEN.LA0"
}

# The six keys before any game change nothing.
expect_keys_change_nothing() {
    press "$main" Left Up Right Down KP_Add KP_Subtract
    expect_picture "$main" "$start_picture" '"Please open a file." after the six keys'
}

# File > Open through the menu's mnemonics, the path given to the program's own dialog.
open_through_dialog() {
    press "$main" alt+f o
    wait_until window_shown Open || fail "File > Open showed no Open dialog"
    type_into_dialog "$(find_window Open)" "$1"
    wait_until window_gone Open || fail "the Open dialog did not close"
}

choose_exit() { press "$main" alt+f x; }

# Opens the demo game and walks the table of steps, checking the picture after each row.
browse_demo() {
    say "File > Open $demo_index"
    open_through_dialog "$demo_index"
    window_gone Error || fail "opening the demo game showed an Error box"
    cli_picture "$demo_index" 1 1 off
    expect_picture "$main" "$picture" "costume 1 after the open"
    cp "$E2E_WORK/window.png" "$E2E_WORK/window-costume-1.png"
    local keys costume frame zoom row=0
    while read -r keys costume frame zoom; do
        [ -z "$keys" ] || [ "${keys:0:1}" = "#" ] && continue
        row=$((row + 1))
        # shellcheck disable=SC2086  # the row's keys, one word each
        press "$main" ${keys//,/ }
        cli_picture "$demo_index" "$costume" "$frame" "$zoom"
        expect_picture "$main" "$picture" "costume $costume, frame $frame, zoom $zoom after row $row ($keys)"
    done <"$e2e_dir/steps.txt"
    ((row > 0)) || fail "no steps in $e2e_dir/steps.txt"
    say "the window showed all $row steps as the host build does"
}

# Opens the broken game: one Error box, owned by the main window, closed with Enter; no
# second box follows, and the window asks for a file again. A run that must check more of the
# box defines check_error_box BOX.
open_broken_game() {
    say "File > Open $broken_index"
    open_through_dialog "$broken_index"
    wait_until window_shown Error || fail "the broken game showed no box titled Error"
    local box owner
    box=$(find_window Error)
    owner=$(xprop -id "$box" WM_TRANSIENT_FOR | grep -o '0x[0-9a-f]*' || true)
    if [ -z "$owner" ] || ((owner != main)); then
        fail "the Error box is not owned by the main window (owner: ${owner:-none})"
    fi
    if declare -F check_error_box >/dev/null; then check_error_box "$box"; fi
    import -window "$box" "$E2E_WORK/error-box.png"
    press "$box" Return
    wait_until window_gone Error || fail "the Error box did not close on Enter"
    # One failure, one box: none follows within a second.
    for _ in $(seq 10); do
        window_shown Error && fail "a second Error box followed the first"
        sleep 0.1
    done
    expect_picture "$main" "$start_picture" '"Please open a file." after the failed open'
}
