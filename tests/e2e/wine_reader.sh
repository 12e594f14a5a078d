#!/usr/bin/env bash
# The Windows build under Wine as a screen reader meets it: a client in another process
# (msaa_client.cpp, built here with MinGW) hooks the game's events out of context and reads them
# through Active Accessibility, while wine_reader.py plays a level-1 game by keys.
# Usage: wine_reader.sh <zum32.exe> <source folder>
set -euo pipefail
exe=$1 source_dir=$2
# shellcheck source=lib.sh
source "$source_dir/tests/e2e/lib.sh"

make_workspace zum32-wine-reader
trap cleanup_wine EXIT
WAIT=60  # Wine is slow to start on a loaded machine
x86_64-w64-mingw32-g++ -std=c++20 -O1 -Wall -Wextra -Werror -o "$work/client.exe" \
  "$source_dir/tests/e2e/msaa_client.cpp" -static -luuid -loleacc -lole32 -loleaut32 || fail "the client"
start_xvfb "$work" || fail "Xvfb"
mapfile -t BOARD < <(zum32_board "$(epoch_of "$WHEN")" 1)
wine_prefix
# Level 1's records in place: no first-start boxes.
mkdir -p "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/zum32"
expected_ini 1 >"$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/zum32/ZUM32.INI"

step "the game and the client"
start_wine_game "$exe" "$WHEN"
wait_until "$WAIT" wine_main >/dev/null || fail "the main window did not appear"
wine "$work/client.exe" >"$work/reader.log" 2>"$work/client.err" </dev/null &
wait_until "$WAIT" grep -q '^ready' "$work/reader.log" || fail "the client did not start: $(cat "$work/client.err")"
step "play and listen"
/usr/bin/python3 "$source_dir/tests/e2e/wine_reader.py" "$work/reader.log" "$(wine_main)" "${BOARD[@]}" ||
  fail "what the client read"
