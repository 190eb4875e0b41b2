#!/usr/bin/env bash
# The desktop viewer (GTK) driven end to end under Xvfb, one case per CTest test. What is its
# own: the window's size hints and icons, GTK's open dialog, and key auto-repeat.
#
# usage: gtk_run.sh CASE VIEWER CLI START_PICTURE CLOSE_WINDOW WORK_DIR
#   CASE: start-and-exit | browse | broken-game
set -euo pipefail

case_name=$1
viewer=$2
E2E_CLI=$3
E2E_START_PICTURE=$4
close_window=$5
E2E_WORK=$6
E2E_NAME="gtk $case_name"
# shellcheck source=driver.sh
source "$(dirname "$0")/driver.sh"

# GTK's dialog takes a typed path in its location field, which Ctrl+L shows.
type_into_dialog() {
    press "$1" ctrl+l
    xdotool type --delay 10 "$2"
    press "$1" Return
}

# GTK marks the box modal as well as owned.
check_error_box() {
    local state
    state=$(xprop -id "$1" _NET_WM_STATE)
    grep -q _NET_WM_STATE_MODAL <<<"$state" || fail "the Error box is not modal: $state"
}

start_viewer() {
    start_program "$1" env ASAN_OPTIONS=detect_leaks=0 GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 \
        "$viewer"
}

# A fixed size: the window manager is told it cannot be resized.
expect_fixed_size_and_icons() {
    local height hints icons
    height=$(window_height "$main")
    hints=$(xprop -id "$main" WM_NORMAL_HINTS)
    if ! grep -q "minimum size: 640 by $height" <<<"$hints" ||
        ! grep -q "maximum size: 640 by $height" <<<"$hints"; then
        fail "the window can be resized: $hints"
    fi
    icons=$(xprop -id "$main" _NET_WM_ICON)
    for size in 48 32 16; do
        grep -q "Icon ($size x $size)" <<<"$icons" || fail "the window has no $size x $size icon"
    done
}

# Held down, Up steps on with every auto-repeat until it stops at the last costume.
expect_held_up_reaches_last() {
    local last reached=0
    last=$(($("$E2E_CLI" info "$demo_index" | awk '/^Costumes:/ {print $2}') - 1))
    cli_picture "$demo_index" "$last" 1 off
    xdotool windowfocus --sync "$main" keydown Up
    wait_until shows "$main" "$picture" || reached=$?
    xdotool keyup Up
    ((reached == 0)) || fail "holding Up did not reach costume $last"
}

start_display
make_games
case $case_name in
start-and-exit)
    start_viewer "$E2E_WORK"
    expect_menu_bar 1 99
    expect_fixed_size_and_icons
    expect_picture "$main" "$start_picture" '"Please open a file."'
    expect_keys_change_nothing
    choose_exit
    expect_exit_code 0
    ;;

browse)
    start_viewer "$E2E_WORK/demo"
    expect_picture "$main" "$start_picture" '"Please open a file."'
    browse_demo
    expect_held_up_reaches_last
    "$close_window" "$main"
    expect_exit_code 0
    ;;

broken-game)
    start_viewer "$E2E_WORK/broken"
    open_through_dialog "$demo_index"
    cli_picture "$demo_index" 1 1 off
    expect_picture "$main" "$picture" "costume 1"
    open_broken_game
    choose_exit
    expect_exit_code 0
    ;;

*)
    fail "unknown case $case_name"
    ;;
esac
echo "PASS: gtk $case_name"
