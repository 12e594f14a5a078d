#!/usr/bin/env bash
# End-to-end test of keyboard play in Xvfb: a whole level-1 game cleared with the keyboard alone
# (arrows and the keypad's arrows, Shift+arrows, Space, Return, F), the name typed into the entry
# and confirmed with Return, the records file checked; the menu's mnemonic keeps working, and no
# arrow opens a menu.
# Usage: keyboard_play.sh <zum32 executable> <source folder>
set -euo pipefail

game=$1
source_dir=$2
# shellcheck source=lib.sh
source "$source_dir/tests/e2e/lib.sh"

make_workspace zum32-keys

N=10 M=5 SIDE=240  # level 1: the board, its clue margins and the client side
NAME='Keys Only 1'

start_xvfb "$work" || fail "Xvfb"
load_sprites "$source_dir/resources/char.bmp" "$work"
mapfile -t BOARD < <(zum32_board "$(epoch_of "$WHEN")" 1)
# A complete records file at level 1, so that no message box comes first.
mkdir -p "$work/config/zum32"
ini=$work/config/zum32/ZUM32.INI
expected_ini 1 >"$ini"

entry_window() { find_window 'HI-SCORE!!' DIALOG; }
press() { xdotool key --delay 25 "$@"; }

# SPRITE_HASH["framed:x,y"] := the hash of the sprite at (x, y) under the cursor's frame: black
# on the tile's edge, two white rings inside it.
frame_sprite() {
  convert "$source_dir/resources/char.bmp" -crop "16x16+${1%,*}+${1#*,}" +repage +antialias \
    -fill none -stroke black -draw 'rectangle 0,0 15,15' -stroke white \
    -draw 'rectangle 1,1 14,14' -draw 'rectangle 2,2 13,13' -depth 8 "rgb:$work/framed"
  SPRITE_HASH[framed:$1]=$(md5sum <"$work/framed" | cut -d ' ' -f 1)
}

# EXPECT := the clue margins for BOARD and the cells as CELL has them, the tile "cursor" framed.
expect_board() {
  expect_margins_and_cells "$N" "$M"
  if [[ -n ${cursor:-} ]]; then
    frame_sprite "${EXPECT[$cursor]}"
    EXPECT[$cursor]=framed:${EXPECT[$cursor]}
  fi
}
expect_screen() {
  expect_board
  wait_until "$WAIT" screen_shows "$W" "$SIDE" "$work/shot.png" "$work" || fail "$1"
}

step "start at level 1 with Ctrl+N"
start_game "$game" "$work" "$WHEN"
wait_until "$WAIT" main_window >/dev/null || fail "the main window did not appear"
W=$(main_window)
xdotool windowfocus --sync "$W" || fail "focus on the main window"
press ctrl+n
CELL=() cursor=
expect_screen "the level-1 board the frozen time seeds"

# The walk: row by row, right along even rows and left along odd ones, down at the row's end
# (with the keypad's arrow every other row). Every safe cell is opened: entered with Shift+arrow
# when it is every third one, else by Space (Return every fifth time); every bomb gets a flag.
# The keys stop at the last safe cell, whose opening clears the board.
safe_total=0
for ((r = 0; r < N; r++)); do
  for ((c = 0; c < N; c++)); do [[ ${BOARD[r]:c:1} == 0 ]] && safe_total=$((safe_total + 1)); done
done
((safe_total == 70)) || fail "the level-1 board has $safe_total safe cells"
KEYS=(Right)  # shows the cursor on the top-left cell
opened=0 visits=0 c=0 r=0 half=
declare -A PLANNED=()
on_cell() {
  local entered_with_shift=$1
  if [[ ${BOARD[r]:c:1} == 1 ]]; then
    KEYS+=(f)
    PLANNED[$c,$r]=flag
  elif [[ -z ${PLANNED[$c,$r]:-} ]]; then
    if ((!entered_with_shift)); then
      visits=$((visits + 1))
      if ((visits % 5 == 0)); then KEYS+=(Return); else KEYS+=(space); fi
    fi
    PLANNED[$c,$r]=open
    opened=$((opened + 1))
    last_safe="$c $r"
  fi
}
enter() {  # the key that moves to (c, r) as the walk goes, Shift with it on every third safe cell
  local key=$1
  if [[ ${BOARD[r]:c:1} == 0 ]] && (((opened + 1) % 3 == 0)); then
    KEYS+=("shift+$key")
    on_cell 1
  else
    KEYS+=("$key")
    on_cell 0
  fi
}
on_cell 0
for ((r = 0; r < N && opened < safe_total; r++)); do
  if ((r % 2)); then
    enter KP_Down
  elif ((r > 0)); then
    enter Down
  fi
  for ((i = 1; i < N && opened < safe_total; i++)); do
    if ((r % 2)); then
      c=$((c - 1))
      enter Left
    else
      c=$((c + 1))
      enter Right
    fi
  done
  if ((r == 4)); then half=${#KEYS[@]} half_cursor="$c $r"; fi
done
echo "${#KEYS[@]} keys; the last safe cell is $last_safe; the first half ends at $half_cursor"

step "arrows, Shift+arrows, Space, Return and F over the first five rows"
press "${KEYS[@]:0:half}"
for key in "${!PLANNED[@]}"; do
  read -r pc pr <<<"${key/,/ }"
  ((pr <= 4)) && CELL[$key]=${PLANNED[$key]}
done
read -r cc cr <<<"$half_cursor"
cursor="$((M + cc)),$((M + cr))"
expect_screen "the first five rows opened and flagged by keys"
no_menu_popup || fail "an arrow key opened a menu"

step "Alt+G opens the menu; Escape closes it and the arrows go to the game again"
press alt+g
wait_until "$WAIT" menu_popup || fail "Alt+G opened no menu"
press Escape
wait_until "$WAIT" no_menu_popup || fail "Escape left the menu open"
press Escape
# The rest of the walk opens the last safe cell: the board is cleared and the name asked for.
step "the rest of the board"
press "${KEYS[@]:half}"
wait_until "$WAIT" entry_window >/dev/null || fail "no name entry after the last safe cell"
no_menu_popup || fail "an arrow key opened a menu"

step "the name typed and confirmed with Return"
E=$(entry_window)
xdotool windowfocus --sync "$E" || fail "focus on the name entry"
xdotool type --delay 40 "$NAME"
press Return
wait_until "$WAIT" window_gone "$E" || fail "Return did not close the name entry"

step "exit by the menu's mnemonics"
xdotool windowfocus --sync "$W" || fail "focus on the main window"
press alt+g
wait_until "$WAIT" menu_popup || fail "Alt+G opened no menu"
press e
wait_until "$WAIT" game_exited || fail "the game did not end after Exit"
status=0
wait "$GAME_PID" || status=$?
GAME_PID=
((status == 0)) || fail "the game ended with status $status"

# The records file: the new rank 1 of level 1 with the name and the time on the clock, the rest
# as it was.
time=$(tr -d '\r' <"$ini" | sed -n 's/^TIME1(1)=//p')
[[ $time =~ ^-?[0-9]+$ ]] && ((time < 9999)) || fail "TIME1(1) is '$time'"
expected_ini 1 | sed "s/^NAME1(1)=NO DATA/NAME1(1)=$NAME/; s/^TIME1(1)=9999/TIME1(1)=$time/" \
  >"$work/expected.ini"
cmp "$ini" "$work/expected.ini" || fail "ZUM32.INI differs: $(iconv -f CP932 -t UTF-8 "$ini" | head -c 300)"
echo "PASS (cleared in $time s on the clock)"
