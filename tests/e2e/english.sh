#!/usr/bin/env bash
# The English game end to end: started under an English locale, its menu's names and a dialog's
# texts read over the accessibility bus (english_reader.py), and its title screen pixel for pixel
# against the English reference picture.
# Usage: english.sh <zum32 executable> <source folder>
set -euo pipefail

game=$1
source_dir=$2
# shellcheck source=lib.sh
source "$source_dir/tests/e2e/lib.sh"

make_workspace zum32-english
start_xvfb "$work" || fail "Xvfb"
mkdir -p "$work/config/zum32"
expected_ini >"$work/config/zum32/ZUM32.INI"

dbus-daemon --session --fork --nopidfile --print-address=3 --print-pid=4 3>"$work/bus" 4>"$work/bus.pid"
export DBUS_SESSION_BUS_ADDRESS=$(head -n 1 "$work/bus")
trap 'kill "$(cat "$work/bus.pid")" 2>/dev/null; cleanup_workspace' EXIT

step "the game under LANG=en_US.UTF-8"
# An empty LANGUAGE asks for nothing, so the locale decides, installed or not.
start_game "$game" "$work" "$WHEN" LANGUAGE= LC_ALL= LC_MESSAGES= LANG=en_US.UTF-8 \
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
wait_until "$WAIT" main_window >/dev/null || fail "the main window did not appear"
W=$(main_window)

step "the title screen against the English reference"
reference=$source_dir/tests/e2e/english_title.png
title_shown() {
  capture_client "$W" 368 "$work/title.png" "$work" &&
    [[ $(compare -metric AE "$work/title.png" "$reference" null: 2>&1) == 0 ]]
}
wait_until "$WAIT" title_shown || fail "the title differs from $reference: see $work/title.png"

step "the menu and the properties dialog over the accessibility bus"
/usr/bin/python3 "$source_dir/tests/e2e/english_reader.py" "$W" || fail "the English names"
