#!/usr/bin/env bash
# The game on scaled screens in Xvfb: at a ratio of 2 the window is twice as large and every game
# pixel a sharp 2 x 2 block; at 1.5 the picture keeps one device pixel per game pixel (the largest
# whole factor that fits), never blurred; clicks land on the cell under the pointer at both.
# Usage: high_dpi.sh <zum32 executable> <source folder>
set -euo pipefail

game=$1
source_dir=$2
# shellcheck source=lib.sh
source "$source_dir/tests/e2e/lib.sh"

make_workspace zum32-dpi


WAIT=30
WHEN='2024-05-01 12:00:00'
SIDE=368
start_xvfb "$work" 1600x1200 || fail "Xvfb"
load_sprites "$source_dir/resources/char.bmp" "$work"
mapfile -t BOARD < <(zum32_board "$(epoch_of "$WHEN")" 2)
# A complete records file, so that no message box comes first.
mkdir -p "$work/config/zum32"
expected_ini >"$work/config/zum32/ZUM32.INI"

main_window() { find_window 'ずむのタイル32' NORMAL; }
game_exited() { ! kill -0 "$GAME_PID" 2>/dev/null; }

# Scale factor, device pixels per game pixel, client side in device pixels.
for setting in "2 2 736" "1.5 1 369"; do
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
  for ((i = 0; i < 15 * 15; i++)); do
    c=$((i % 15)) r=$((i / 15))
    [[ ${BOARD[r]:c:1} == 0 ]] && break
  done
  window_geometry "$W"
  # At a whole ratio, the cell's last game pixel: one further is the next cell, so a rounding
  # fault shows. Qt rounds device pixels to whole logical ones for widgets, so only the first
  # device pixel of a game pixel is sure to map back to it; at a fractional ratio a logical pixel
  # spans 1.5 device pixels and an edge may fall either way, but the cell's middle must not.
  if [[ $scale == "$factor" ]]; then at=$((15 * factor)); else at=$((8 * factor)); fi
  xdotool mousemove $((X + (8 + c) * 16 * factor + at)) $((Y + HEIGHT - client + (8 + r) * 16 * factor + at)) click 1
  CELL[$c,$r]=open
  expect_level2_play 0
  wait_until "$WAIT" screen_shows "$W" "$SIDE" "$work/shot.png" "$work" || fail "click on cell $c $r at $scale"

  kill "$GAME_PID"
  wait_until "$WAIT" game_exited || fail "the game did not end"
  wait "$GAME_PID" 2>/dev/null || true
  GAME_PID=
done
echo "PASS"
