#!/usr/bin/env bash
# End-to-end test of the real game in Xvfb: first start, a game played with the mouse and compared
# with the sprite sheet tile by tile, the keys and the menu, help, exit by menu and by close request,
# and the records file.
# Usage: run_e2e.sh <zum32 executable> <x11_send helper> <source folder>
set -euo pipefail

game=$1
x11_send=$2
source_dir=$3
# shellcheck source=lib.sh
source "$source_dir/tests/e2e/lib.sh"

make_workspace zum32-e2e

SIDE=368  # the client side of the title screen and of level 2, the level of a fresh start

start_xvfb "$work" || fail "Xvfb"
load_sprites "$source_dir/resources/char.bmp" "$work"
mapfile -t BOARD < <(zum32_board "$(epoch_of "$WHEN")" 2)

game_status() {
  local status=0
  wait "$GAME_PID" || status=$?
  GAME_PID=
  return "$status"
}
focus() { xdotool windowfocus --sync "$1" || fail "focus on window $1"; }

# Client pixel of the centre of board cell (c, r) at level 2, as a screen position. Moves go
# without --sync, which would wait forever for a move to where the pointer already is; the
# server plays fake input in order, so a click lands where the move put the pointer.
cell_x() { echo $((X + (8 + $1) * 16 + 8)); }
cell_y() { echo $((Y + HEIGHT - SIDE + (8 + $1) * 16 + 8)); }
click_cell() {
  window_geometry "$W"
  xdotool mousemove "$(cell_x "$1")" "$(cell_y "$2")" click "$3"
}
expect_screen() {
  wait_until "$WAIT" screen_shows "$W" "$SIDE" "$work/shot.png" "$work" || fail "$1"
}

# ---- First start: a fresh configuration folder, so one message box per level ----
step "first start"
start_game "$game" "$work" "$WHEN"
answer_first_start_boxes
W=$(main_window)
window_geometry "$W"
((WIDTH == SIDE)) || fail "the title window is $WIDTH pixels wide"
expect_title
expect_screen "title screen"

# ---- A game: the board that the frozen calendar time seeds ----
step "Ctrl+N"
focus "$W"
xdotool key ctrl+n
CELL=()
expect_level2_play 0
expect_screen "the new board's clues and closed cells"

# A bomb inside the board, and safe cells away from its square to open, flag and drag over.
near() { (($1 >= bomb_c - 1 && $1 <= bomb_c + 1 && $2 >= bomb_r - 1 && $2 <= bomb_r + 1)); }
bomb_c= bomb_r=
for ((r = 1; r < 14; r++)); do
  for ((c = 1; c < 14; c++)); do
    [[ -z $bomb_c && ${BOARD[r]:c:1} == 1 ]] && bomb_c=$c bomb_r=$r
  done
done
[[ -n $bomb_c ]] || fail "no inner bomb on the board"
safe=()
flagged_neighbour=
for ((r = 0; r < 15; r++)); do
  for ((c = 0; c < 15; c++)); do
    [[ ${BOARD[r]:c:1} == 0 ]] || continue
    if near "$c" "$r"; then
      [[ -z $flagged_neighbour ]] && flagged_neighbour="$c $r"
    else
      safe+=("$c $r")
    fi
  done
done
[[ -n $flagged_neighbour ]] || fail "the bomb has no safe neighbour"
# Cells that the clicks use already, so that the drag finds three closed ones.
taken="|$(IFS='|'; echo "${safe[*]:0:5}")|"
free_cell() { [[ ${BOARD[$2]:$1:1} == 0 && $taken != *"|$1 $2|"* ]] && ! near "$1" "$2"; }
drag=
for ((r = 0; r < 15; r++)); do
  for ((c = 0; c + 2 < 15; c++)); do
    [[ -z $drag ]] && free_cell "$c" "$r" && free_cell $((c + 1)) "$r" && free_cell $((c + 2)) "$r" &&
      drag="$c $r"
  done
done
[[ -n $drag ]] || fail "no three safe cells in a row for the drag"
echo "bomb at $bomb_c $bomb_r; flagged neighbour $flagged_neighbour; drag from $drag"

step "open three safe cells, flag two cells, drag over three"
for cell in "${safe[@]:0:3}"; do
  read -r c r <<<"$cell"
  click_cell "$c" "$r" 1
  CELL[$c,$r]=open
done
read -r c r <<<"${safe[3]}"
click_cell "$c" "$r" 3
CELL[$c,$r]=flag
click_cell "$c" "$r" 1  # a flag keeps the cell closed
read -r c r <<<"$flagged_neighbour"
click_cell "$c" "$r" 3
CELL[$c,$r]=flag
expect_level2_play 0
expect_screen "opened and flagged cells"
# Qt merges motion events still queued, as Windows merges mouse moves, so a busy game would skip
# a cell of a fast drag; each move waits for its cell to open, as a player's hand would.
read -r c r <<<"$drag"
window_geometry "$W"
xdotool mousemove "$(cell_x "$c")" "$(cell_y "$r")" mousedown 1
CELL[$c,$r]=open
expect_level2_play 0
expect_screen "the drag's first cell"
xdotool mousemove "$(cell_x $((c + 1)))" "$(cell_y "$r")"
CELL[$((c + 1)),$r]=open
expect_level2_play 0
expect_screen "the drag's second cell"
xdotool mousemove "$(cell_x $((c + 2)))" "$(cell_y "$r")" mouseup 1
CELL[$((c + 2)),$r]=open
expect_level2_play 0
expect_screen "opened, flagged and dragged cells"

step "open a bomb"
click_cell "$bomb_c" "$bomb_r" 1
CELL[$bomb_c,$bomb_r]=bomb
for dr in -1 0 1; do
  for dc in -1 0 1; do
    c=$((bomb_c + dc)) r=$((bomb_r + dr))
    [[ ${BOARD[r]:c:1} == 1 ]] && CELL[$c,$r]=bomb || CELL[$c,$r]=open
  done
done
# The explosion takes four 60 ms steps; the counters catch up with the bomb at their next redraw.
expect_level2_play 1 no-counters
expect_screen "the explosion's end: bomb and neighbours open, the flag gone"
read -r c r <<<"${safe[4]}"
click_cell "$c" "$r" 1
CELL[$c,$r]=open
expect_level2_play 1
expect_screen "the counters after the explosion"

step "Ctrl+T"
xdotool key ctrl+t
expect_title
expect_screen "title screen after Ctrl+T"

step "Ctrl+H"
xdotool key ctrl+h
wait_until "$WAIT" help_window >/dev/null || fail "Ctrl+H opened no help window"
# Qt gives the new window the focus once it is mapped; take it back only after that.
help=$(help_window)
wait_until "$WAIT" bash -c "[[ \$(xdotool getwindowfocus) == $help ]]" || true

step "Alt+G"
focus "$W"
xdotool key alt+g
wait_until "$WAIT" menu_popup || fail "Alt+G opened no menu"
xdotool key Escape
wait_until "$WAIT" no_menu_popup || fail "Escape left the menu open"
xdotool key Escape

step "exit by the menu"
xdotool key alt+g
wait_until "$WAIT" menu_popup || fail "Alt+G opened no menu"
xdotool key e
wait_until "$WAIT" game_exited || fail "the game did not end after Exit"
game_status || fail "the game ended with status $?"

# The records file: the level and three empty tables, Shift-JIS with CRLF line ends.
ini=$work/config/zum32/ZUM32.INI
expected_ini >"$work/expected.ini"
cmp "$ini" "$work/expected.ini" || fail "ZUM32.INI differs: $(iconv -f CP932 -t UTF-8 "$ini" | head -c 300)"

# ---- Second start: the records exist, so no box; help open; closed by a close request ----
step "second start, closed by WM_DELETE_WINDOW"
start_game "$game" "$work" "$WHEN"
wait_until "$WAIT" main_window >/dev/null || fail "the main window did not appear on the second start"
box_window >/dev/null && fail "a message box although the records file is complete"
W=$(main_window)
focus "$W"
xdotool key ctrl+h
wait_until "$WAIT" help_window >/dev/null || fail "Ctrl+H opened no help window"
"$x11_send" close "$W" || fail "could not send the close request"
wait_until "$WAIT" game_exited || fail "the game did not end on a close request"
game_status || fail "the game ended with status $? on a close request"
cmp "$ini" "$work/expected.ini" || fail "ZUM32.INI changed on a run that changed nothing"
echo "PASS"
