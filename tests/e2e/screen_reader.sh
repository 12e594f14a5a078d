#!/usr/bin/env bash
# End-to-end test of what a screen reader is given: the game in Xvfb with a session bus and the
# accessibility bus, read with pyatspi (screen_reader.py) while a level-1 game is played by keys;
# then the game under an English locale: its title against the README's English picture, and its
# menu and a dialog read in English.
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

step "the game in English: its title, menu and properties dialog"
# In an X server of its own: a second game in the first one opens the dialog of the last keys.
kill "$GAME_PID" "$XVFB_PID" && wait "$GAME_PID" "$XVFB_PID" 2>/dev/null || true
start_xvfb "$work" || fail "Xvfb for the English game"
start_game "$game" "$work" "$WHEN" LANGUAGE= LC_ALL= LC_MESSAGES= LANG=en_US.UTF-8 \
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
wait_until "$WAIT" main_window >/dev/null || fail "the English game's window did not appear"
# The README's English picture is the reference: its client, below the menu bar.
convert "$source_dir/docs/title_en.png" -gravity SouthWest -crop 368x368+0+0 +repage "$work/en.png"
english_title() {
  capture_client "$(main_window)" 368 "$work/title.png" "$work" &&
    [[ $(compare -metric AE "$work/title.png" "$work/en.png" null: 2>&1) == 0 ]]
}
wait_until "$WAIT" english_title || fail "the English title differs from docs/title_en.png"
/usr/bin/python3 "$source_dir/tests/e2e/screen_reader.py" "$(main_window)" en || fail "the English names"
