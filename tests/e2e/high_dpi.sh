#!/usr/bin/env bash
# The game on scaled screens in Xvfb: at a ratio of 2, and at 1.5 too (rounded half up), every
# game pixel is a sharp 2 x 2 block, never blurred; at 1.5 a sliver of white background may be
# left past the picture. A click on the first or the last device pixel of a cell opens that cell.
# Usage: high_dpi.sh <zum32 executable> <source folder>
set -euo pipefail

game=$1
source_dir=$2
# shellcheck source=lib.sh
source "$source_dir/tests/e2e/lib.sh"

make_workspace zum32-dpi

SIDE=368
start_xvfb "$work" 1600x1200 || fail "Xvfb"
load_sprites "$source_dir/resources/char.bmp" "$work"
mapfile -t BOARD < <(zum32_board "$(epoch_of "$WHEN")" 2)
# A complete records file, so that no message box comes first.
mkdir -p "$work/config/zum32"
expected_ini >"$work/config/zum32/ZUM32.INI"


# Scale factor, device pixels per game pixel, client side in device pixels.
for setting in "2 2 736" "1.5 2 738"; do
  read -r scale factor client <<<"$setting"
  echo "-- QT_SCALE_FACTOR=$scale"
  PIXEL_FACTOR=$factor CLIENT_SIDE=$client
  start_game "$game" "$work" "$WHEN" QT_SCALE_FACTOR="$scale"
  wait_until "$WAIT" main_window >/dev/null || fail "no window at $scale"
  W=$(main_window)
  window_geometry "$W"
  ((WIDTH == client)) || fail "at $scale the window is $WIDTH device pixels wide, not $client"

  expect_title
  wait_until "$WAIT" screen_shows "$W" "$SIDE" "$work/shot.png" "$work" || fail "title screen at $scale"
  picture=$work/shot.png.client.png
  if ((factor > 1)); then
    # Sharp: the picture equals itself sampled down to game pixels and up again.
    convert "$picture" -crop "$((SIDE * factor))x$((SIDE * factor))+0+0" +repage "$work/blocks.png"
    convert "$work/blocks.png" -sample "${SIDE}x${SIDE}" -sample "$((SIDE * factor))x$((SIDE * factor))" \
      "$work/resampled.png"
    differ=$(compare -metric AE "$work/blocks.png" "$work/resampled.png" null: 2>&1 || true)
    [[ $differ == 0 ]] || fail "at $scale, $differ device pixels are not in whole game-pixel blocks"
  fi
  if ((client > SIDE * factor)); then
    # The sliver that a fractional ratio leaves past the picture shows the white background.
    colours=$(convert "$picture" -crop "1x${client}+$((client - 1))+0" +repage \
      "$picture" -crop "${client}x1+0+$((client - 1))" +repage -append -unique-colors -format '%k %[pixel:p{0,0}]' info:)
    [[ $colours == "1 white" || $colours == "1 srgb(255,255,255)" ]] ||
      fail "at $scale the edge past the picture is '$colours'"
  fi

  # A click at the device pixel of a cell opens that cell.
  xdotool windowfocus --sync "$W" key ctrl+n
  CELL=()
  expect_level2_play 0
  wait_until "$WAIT" screen_shows "$W" "$SIDE" "$work/shot.png" "$work" || fail "new board at $scale"
  # Two safe cells: one clicked on its first device pixel, one on its last; a rounding fault
  # would open a neighbour instead.
  safe=()
  for ((i = 0; i < 15 * 15 && ${#safe[@]} < 2; i++)); do
    c=$((i % 15)) r=$((i / 15))
    [[ ${BOARD[r]:c:1} == 0 ]] && safe+=("$c $r")
  done
  window_geometry "$W"
  top=$((Y + HEIGHT - client))  # the picture's first device row
  for j in 0 1; do
    read -r c r <<<"${safe[j]}"
    at=$((j == 0 ? 0 : 16 * factor - 1))
    xdotool mousemove $((X + (8 + c) * 16 * factor + at)) $((top + (8 + r) * 16 * factor + at)) click 1
    CELL[$c,$r]=open
    expect_level2_play 0
    wait_until "$WAIT" screen_shows "$W" "$SIDE" "$work/shot.png" "$work" || fail "click on pixel $at of cell $c $r at $scale"
  done

  kill "$GAME_PID"
  wait_until "$WAIT" game_exited || fail "the game did not end"
  wait "$GAME_PID" 2>/dev/null || true
  GAME_PID=
done
echo "PASS"
