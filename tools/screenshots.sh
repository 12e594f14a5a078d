#!/usr/bin/env bash
# Makes the README's pictures from the real program: the title, a game in play, a cleared board and
# the English title, played in Xvfb on the board that a fixed calendar time seeds, with a fresh
# configuration folder.
# Usage: tools/screenshots.sh [zum32 executable] [output folder]   (defaults: build/zum32, docs)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
game=$(realpath "${1:-$root/build/zum32}")
out=${2:-$root/docs}
[[ -x $game ]] || { echo "no executable at $game: make build first" >&2; exit 1; }
# shellcheck source=../tests/e2e/lib.sh
source "$root/tests/e2e/lib.sh"

make_workspace zum32-shots
fail() {
  echo "screenshots: $*" >&2
  [[ -s $work/game.log ]] && cat "$work/game.log" >&2
  exit 1
}

SIDE=368
mkdir -p "$out"
start_xvfb "$work" || fail "Xvfb did not start"
load_sprites "$root/resources/char.bmp" "$work"
mapfile -t BOARD < <(zum32_board "$(epoch_of "$WHEN")" 2)

entry_dialog() { find_window 'HI-SCORE!!' DIALOG; }
no_entry_dialog() { ! entry_dialog >/dev/null; }
# The window as the player sees it, menu bar included, without metadata that would change the bytes.
shoot() {
  import -window "$W" "$work/shot.png"
  convert "$work/shot.png" -strip "$out/$1"
  echo "wrote $out/$1"
}
click_cell() {
  window_geometry "$W"
  xdotool mousemove $((X + (8 + $1) * 16 + 8)) $((Y + HEIGHT - SIDE + (8 + $2) * 16 + 8)) click "$3"
}
settle() { wait_until "$WAIT" screen_shows "$W" "$SIDE" "$work/check.png" "$work" || fail "$1"; }

start_game "$game" "$work" "$WHEN"
answer_first_start_boxes
W=$(main_window)
expect_title
settle "the title screen"
shoot title.png

# In play: the top rows opened and their bombs flagged, one bomb hit further down.
xdotool windowfocus --sync "$W" key ctrl+n
CELL=()
for ((r = 0; r < 6; r++)); do
  for ((c = 0; c < 15; c++)); do
    if [[ ${BOARD[r]:c:1} == 0 ]]; then CELL[$c,$r]=open; click_cell "$c" "$r" 1
    else CELL[$c,$r]=flag; click_cell "$c" "$r" 3; fi
  done
done
for ((r = 10, hit = 0; r < 15 && !hit; r++)); do
  for ((c = 1; c < 14 && !hit; c++)); do
    [[ ${BOARD[r]:c:1} == 1 ]] || continue
    click_cell "$c" "$r" 1
    hit=1
    for dr in -1 0 1; do
      for dc in -1 0 1; do
        [[ ${BOARD[r + dr]:c + dc:1} == 1 ]] && CELL[$((c + dc)),$((r + dr))]=bomb ||
          CELL[$((c + dc)),$((r + dr))]=open
      done
    done
  done
done
expect_level2_play 1 no-counters
settle "the game in play"
shoot play.png

# Cleared: every other safe cell opened, a name entered for the new record.
for ((r = 0; r < 15; r++)); do
  for ((c = 0; c < 15; c++)); do
    [[ ${BOARD[r]:c:1} == 0 && ${CELL[$c,$r]:-} != open ]] && click_cell "$c" "$r" 1
  done
done
wait_until "$WAIT" entry_dialog >/dev/null || fail "no name entry after the clear"
dialog=$(entry_dialog)
xdotool windowfocus --sync "$dialog" type --delay 50 'ZUM'
xdotool key Return
wait_until "$WAIT" no_entry_dialog || fail "the name entry did not close"
sleep 0.5  # the repaint under the closed dialog
shoot cleared.png

xdotool windowfocus --sync "$W" key alt+g
sleep 0.5
xdotool key e
wait_until "$WAIT" game_exited || fail "the game did not end"


# The English title, on the records file that the Japanese game left: the reference picture of the
# English checks.
start_game "$game" "$work" "$WHEN" LANGUAGE=en
wait_until "$WAIT" main_window >/dev/null || fail "the English game did not start"
W=$(main_window)
sleep 1  # its first paint; the end-to-end screen reader check holds it to this picture
shoot title_en.png
xdotool windowfocus --sync "$W" key alt+g
sleep 0.5
xdotool key x
wait_until "$WAIT" game_exited || fail "the English game did not end"
