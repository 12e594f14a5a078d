#!/usr/bin/env bash
# The game native on Wayland: weston (its X11 back end in Xvfb) with the title bars that Qt draws,
# at output scale 1 and 2. A game starts and a click opens its cell; the title bar's maximise
# button leaves the game running with its picture unscaled (at scale 2 every game pixel an exact
# 2 x 2 block) and centred, where clicks still open their cells; a dialog survives being
# maximised and closes with Return; Exit ends with code 0.
# No client can learn where Wayland put its window: the picture is found on the screen by its
# tiles, and a window by what it changed there.
# Usage: wayland.sh <zum32 executable> <source folder>
set -euo pipefail

game=$1
source_dir=$2
# shellcheck source=lib.sh
source "$source_dir/tests/e2e/lib.sh"
find_on_screen() { /usr/bin/python3 "$source_dir/tests/e2e/screen_find.py" "$@"; }

make_workspace zum32-wayland
WESTON_PID=
stop_weston() {
  [[ -n $WESTON_PID ]] && kill "$WESTON_PID" 2>/dev/null && wait "$WESTON_PID" 2>/dev/null
  WESTON_PID=
}
trap 'stop_weston; cleanup_workspace' EXIT

start_xvfb "$work" 1280x1024 || fail "Xvfb"
load_sprites "$source_dir/resources/char.bmp" "$work"
convert "$source_dir/resources/char.bmp" "$work/sheet.ppm"
mapfile -t BOARD < <(zum32_board "$(epoch_of "$WHEN")" 2)
mkdir -p "$work/config/zum32" "$work/runtime"
chmod 700 "$work/runtime"
expected_ini >"$work/config/zum32/ZUM32.INI"  # no message box comes first

shot() { import -window root "$work/$1.png" 2>/dev/null && convert "$work/$1.png" "$work/$1.ppm"; }
# ORIGIN := the device pixel where the picture starts: its first two tiles show the sprite at $1.
picture_at() {
  shot screen && ORIGIN=($(find_on_screen sprite "$work/screen.ppm" "$work/sheet.ppm" "${1%,*}" "${1#*,}" "$PIXEL_FACTOR"))
}
# BOX := left top right bottom of what changed on the screen since the shot named $1, but for
# the rectangle of device pixels that follows, if any.
changed_since() {
  shot now && BOX=($(find_on_screen changed "$work/$1.ppm" "$work/now.ppm" "${@:2}")) && ((${#BOX[@]} == 4))
}
picture_shows() { shot screen && hash_tiles "$work/screen.png" "${ORIGIN[0]}" "${ORIGIN[1]}" "$1" "$work/tiles.png" "$work" && tiles_match; }
# Clicks the middle of a window's maximise button in the title bar that Qt draws: 22 logical
# pixels square, the second from the right, 8 in from the edge with 5 between; 30 pixels high.
maximise() { point_and_click "$((BOX[2] + 1 - 46 * PIXEL_FACTOR))" "$((BOX[1] + 15 * PIXEL_FACTOR))"; }
# The compositor draws the pointer into the screen: it rests on the panel, away from its buttons.
park() { xdotool mousemove 620 5; }
# weston moves its pointer by the X pointer's steps, held at the edges of its output, so the two
# drift apart either way: one corner and then the other brings them together before each press.
sync_pointer() { xdotool mousemove 0 0 sleep 0.1 mousemove 1239 999 sleep 0.1; }
point_and_click() {
  sync_pointer
  xdotool mousemove "$1" "$2" sleep 0.2 click 1
  park
}
click_cell() {
  point_and_click "$((ORIGIN[0] + (16 * (8 + $1) + 8) * PIXEL_FACTOR))" \
    "$((ORIGIN[1] + (16 * (8 + $2) + 8) * PIXEL_FACTOR))"
}
# The first safe cells of the board, in reading order.
SAFE=()
for ((r = 0; r < 15 && ${#SAFE[@]} < 2; r++)); do
  for ((c = 0; c < 15 && ${#SAFE[@]} < 2; c++)); do [[ ${BOARD[r]:c:1} == 0 ]] && SAFE+=("$c $r"); done
done
alive() { kill -0 "$GAME_PID" 2>/dev/null || fail "the game ended: $1"; }
# Clicks safe cell number $1 and waits for the board to show it open; $2 says what failed. A
# press that a loaded weston lost is made again: a click on an open cell changes nothing.
open_safe() {
  local c r
  read -r c r <<<"${SAFE[$1]}"
  CELL[$c,$r]=open
  expect_level2_play 0
  for _ in 1 2 3; do
    click_cell "$c" "$r"
    wait_until 10 picture_shows 368 && return 0
  done
  wait_until "$WAIT" picture_shows 368 || fail "$2"
}

for scale in 1 2; do
  PIXEL_FACTOR=$scale
  step "output scale $scale"
  # An output of 1240 x 1000 device pixels at either scale.
  XDG_RUNTIME_DIR=$work/runtime weston --backend=x11-backend.so --socket=zum32 --no-config \
    --width=$((1240 / scale)) --height=$((1000 / scale)) --scale="$scale" --idle-time=0 \
    >"$work/weston.log" 2>&1 </dev/null &
  WESTON_PID=$!
  wait_until "$WAIT" test -S "$work/runtime/zum32" || { cat "$work/weston.log" >&2; fail "weston did not start"; }
  sync_pointer
  park
  # Its desktop drawn: two shots a second apart alike.
  shot desktop
  settled() { sleep 1 && ! changed_since desktop && cp "$work/now.ppm" "$work/desktop.ppm"; }
  wait_until "$WAIT" eval 'settled || { cp "$work/now.ppm" "$work/desktop.ppm"; false; }' ||
    fail "weston's desktop never settled"

  start_game "$game" "$work" "$WHEN" QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=zum32
  expect_title
  wait_until "$WAIT" eval 'picture_at "$SPR_CLOSED" && picture_shows 368' ||
    fail "the title is not shown whole and unscaled"
  # The panel along the top is left out: its clock may turn a minute meanwhile.
  changed_since desktop 0 0 1240 "$((32 * scale))" || fail "the game's window changed nothing"
  window=("${BOX[@]}")

  step "a game"
  xdotool key ctrl+n
  CELL=()
  expect_level2_play 0
  wait_until "$WAIT" picture_shows 368 || fail "Ctrl+N showed no new board"
  step "a click"
  open_safe 0 "the click opened no cell"

  step "maximise"
  before=("${ORIGIN[@]}")
  BOX=("${window[@]}")
  maximised() { picture_at "$SPR_CORNER_BG" && [[ "${ORIGIN[*]}" != "${before[*]}" ]] && picture_shows 368; }
  # A loaded weston may lose the press: once more while the window has not moved at all.
  for _ in 1 2 3; do
    maximise
    wait_until 10 maximised && break
    alive "maximised"
    picture_at "$SPR_CORNER_BG" && [[ "${ORIGIN[*]}" == "${before[*]}" ]] || break
  done
  wait_until "$WAIT" maximised ||
    { alive "maximised"; fail "the maximised window does not show the picture unscaled, moved (was at ${before[*]})"; }
  open_safe 1 "a click in the maximised window opened no cell"

  step "a dialog, maximised, closed with Return"
  xdotool key ctrl+t
  expect_title
  wait_until "$WAIT" eval 'picture_at "$SPR_CLOSED" && picture_shows 368' || fail "Ctrl+T showed no title"
  shot before_dialog
  xdotool key ctrl+p
  # The dialog is what changed but for the title's animation square, and the panel and the
  # maximised game's title bar along the top, which turns inactive.
  k=$PIXEL_FACTOR
  unchecked=("$((ORIGIN[0] + 245 * k))" "$((ORIGIN[1] + 64 * k))" "$((32 * k))" "$((32 * k))"
             0 0 1240 "$((62 * k))")
  wait_until "$WAIT" eval 'changed_since before_dialog "${unchecked[@]}" && ((BOX[2] - BOX[0] > 64 * k))' ||
    fail "Ctrl+P showed no dialog"
  maximise
  sleep 1
  alive "its dialog maximised"
  xdotool key Return
  expect_title
  wait_until "$WAIT" picture_shows 368 || fail "Return did not close the maximised dialog"
  alive "its dialog closed"

  step "exit"
  # 終了 from the menu. A loaded weston may lose a press or a key: the menu is tried again then.
  menu_open() { changed_since before_menu "${unchecked[@]}" && ((BOX[3] - BOX[1] > 48 * k)); }
  for _ in 1 2 3; do
    # A click on the title's ground gives the game the keyboard, whatever the dialog left.
    point_and_click "$((ORIGIN[0] + 8 * k))" "$((ORIGIN[1] + 8 * k))"
    shot before_menu
    xdotool key alt+g
    if wait_until 10 menu_open; then
      sleep 1  # the popup takes the keyboard
      xdotool key e
      wait_until 10 game_exited && break
    fi
    game_exited && break
    xdotool key Escape Escape
  done
  wait_until "$WAIT" game_exited || fail "終了 did not end the game"
  status=0
  wait "$GAME_PID" || status=$?
  GAME_PID=
  ((status == 0)) || fail "the game ended with code $status"
  stop_weston
done
echo "wayland: played, maximised and closed at scales 1 and 2"
