#!/usr/bin/env bash
# End-to-end test of what a screen reader is given: the game in Xvfb with a session bus and the
# accessibility bus, read with pyatspi (screen_reader.py) while a level-1 game is played by keys.
# Usage: screen_reader.sh <zum32 executable> <source folder>
set -euo pipefail

game=$1
source_dir=$2
# shellcheck source=lib.sh
source "$source_dir/tests/e2e/lib.sh"

make_workspace zum32-reader
start_xvfb "$work" || fail "Xvfb"
mkdir -p "$work/config/zum32"
expected_ini 1 >"$work/config/zum32/ZUM32.INI"
mapfile -t BOARD < <(zum32_board "$(epoch_of "$WHEN")" 1)

# A session bus of our own; the accessibility bus and its registry start from it on demand.
dbus-daemon --session --fork --nopidfile --print-address=3 --print-pid=4 3>"$work/bus" 4>"$work/bus.pid"
export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
trap 'kill "$(cat "$work/bus.pid")" 2>/dev/null; cleanup_workspace' EXIT

step "the game with accessibility on"
start_game "$game" "$work" "$WHEN" QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
wait_until "$WAIT" main_window >/dev/null || fail "the main window did not appear"
step "play and listen"
/usr/bin/python3 "$source_dir/tests/e2e/screen_reader.py" "$(main_window)" "${BOARD[@]}" || fail "what the reader heard"
