#!/usr/bin/env bash
# The Windows build under Wine beside ours in one Xvfb, at the same frozen calendar time: the first
# start's message boxes and records file, then the title screen, a new board, a safe cell, a flag,
# a bomb's explosion and the game-over screen, pixel for pixel; the records dialog; the help
# window; Exit with code 0. Before all that, zum32.exe must import Windows' own libraries alone and
# carry no debugging data. With "en", both run in English: ours under an English locale, Wine with
# English messages (its UI language) over the Japanese code page that the game's texts are in.
# Usage: wine_compare.sh <zum32 executable> <zum32.exe> <source folder> [ja|en]
set -euo pipefail

game=$1
exe=$2
source_dir=$3
language=${4:-ja}
# shellcheck source=lib.sh
source "$source_dir/tests/e2e/lib.sh"

[[ -f $exe ]] || { echo "FAIL: $exe is missing; make windows builds it" >&2; exit 1; }

# The locale of each side, and the menu's mnemonics of that language: Best Times and Exit.
OURS_LOCALE=() RECORDS_KEY=h EXIT_KEY=e
[[ $language == en ]] && WINE_LOCALE=(-u LC_ALL LANG=ja_JP.UTF-8 LC_MESSAGES=en_US.UTF-8) \
  OURS_LOCALE=(LANGUAGE= LC_ALL= LC_MESSAGES= LANG=en_US.UTF-8) RECORDS_KEY=b EXIT_KEY=x
# One file that needs nothing but Windows' own libraries.
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'a-z' 'A-Z' | sort | tr '\n' ' ')
[[ $imports == "GDI32.DLL KERNEL32.DLL MSVCRT.DLL OLE32.DLL OLEACC.DLL OLEAUT32.DLL USER32.DLL WINMM.DLL " ]] ||
  { echo "FAIL: $exe imports $imports" >&2; exit 1; }
# A player's copy carries no debugging data.
if x86_64-w64-mingw32-objdump -h "$exe" | grep -q '\.debug'; then
  echo "FAIL: $exe is not stripped" >&2
  exit 1
fi

make_workspace zum32-wine
OURS_PID=
cleanup_both() {
  [[ -n $OURS_PID ]] && kill "$OURS_PID" 2>/dev/null
  cleanup_wine
}
trap cleanup_both EXIT

WAIT=60  # Wine is slow to start on a loaded machine
SIDE=368  # the drawn square of the title screen and of level 2

start_xvfb "$work" || fail "Xvfb"
mapfile -t BOARD < <(zum32_board "$(epoch_of "$WHEN")" 2)

wine_prefix

wine_box() { find_window "$TITLE" DIALOG wine_windows; }
wine_dialog() {
  local w
  for w in $(wine_windows); do
    [[ $(window_type "$w") == DIALOG ]] && { echo "$w"; return 0; }
  done
  return 1
}
wine_window_gone() { window_gone "$1" wine_windows; }
# Wine shows an open menu as an override-redirect window of its own.
wine_menu_open() {
  local w
  for w in $(wine_windows); do
    [[ $(xwininfo -id "$w" 2>/dev/null) == *'Override Redirect State: yes'* ]] && return 0
  done
  return 1
}
focus() { xdotool windowfocus --sync "$1" || fail "focus on window $1"; }

# ---- First start of both, each with its own empty records folder ----
step "first start of ours"
start_game "$game" "$work/ours" "$WHEN" "${OURS_LOCALE[@]}"
OURS_PID=$GAME_PID GAME_PID=
answer_first_start_boxes
OURS=$(main_window)
# Out of the way of Wine's window, which has no window manager to place it either.
xdotool windowmove --sync "$OURS" 640 0 || fail "moving our window"

step "first start under Wine"
start_wine_game "$exe" "$WHEN"
answer_first_start_boxes Wine wine_box wine_main wine_window_gone
WINE=$(wine_main)

step "records files"
expected_ini >"$work/expected.ini"
ours_ini=$work/ours/config/zum32/ZUM32.INI
wine_ini=$(find "$WINEPREFIX/drive_c/users" -path '*/AppData/Roaming/zum32/ZUM32.INI' | head -n 1)
[[ -n $wine_ini ]] || fail "the Windows build wrote no %APPDATA%\\zum32\\ZUM32.INI"
cmp "$work/expected.ini" "$ours_ini" || fail "our records file differs from the expected bytes"
cmp "$work/expected.ini" "$wine_ini" || fail "the Windows build's records file differs from ours"
(($(stat -c %s "$wine_ini") == 518)) || fail "the records file is not 518 bytes"

# ---- Pixels ----

# The drawn side x side square of each client. Ours fills its client below the menu bar. Under
# Wine the X window is the client below the menu bar, and the client is square but may be a few
# pixels larger, as on Windows, whose sizes count the sizing frame that this window lacks; the
# strip beyond the square shows the white class background.
capture_ours() {
  window_geometry "$OURS" || return 1
  import -window "$OURS" "$work/ours.full.png" 2>/dev/null || return 1
  convert "$work/ours.full.png" -crop "${SIDE}x${SIDE}+0+$((HEIGHT - SIDE))" +repage "$work/ours.png"
}
capture_wine() {
  window_geometry "$WINE" || return 1
  local top=$((HEIGHT - WIDTH)) colours
  import -window "$WINE" "$work/wine.full.png" 2>/dev/null || return 1
  convert "$work/wine.full.png" -crop "${WIDTH}x${WIDTH}+0+${top}" +repage "$work/wine.client.png" || return 1
  convert "$work/wine.client.png" -crop "${SIDE}x${SIDE}+0+0" +repage "$work/wine.png" || return 1
  colours=$(convert "$work/wine.client.png" -fill white -draw "rectangle 0,0 $((SIDE - 1)),$((SIDE - 1))" \
    -unique-colors -depth 8 txt:- | tail -n +2 | grep -vc '#FFFFFF' || true)
  ((WIDTH >= SIDE && WIDTH < SIDE + 8 && colours == 0)) ||
    { echo "the Wine client ($WIDTH wide) is not the square and a white strip" >"$MISMATCH_LOG"; return 1; }
}
# Both squares equal, outside the rectangles "x,y,w,h" given (animations that run on their own).
MASKS=()
same_pixels() {
  local m draw=()
  for m in "${MASKS[@]}"; do
    IFS=, read -r x y w h <<<"$m"
    draw+=(-draw "rectangle $x,$y $((x + w - 1)),$((y + h - 1))")
  done
  capture_ours && capture_wine || return 1
  convert "$work/ours.png" -fill black "${draw[@]}" "$work/ours.cmp.png"
  convert "$work/wine.png" -fill black "${draw[@]}" "$work/wine.cmp.png"
  compare -metric AE "$work/ours.cmp.png" "$work/wine.cmp.png" "$work/diff.png" 2>"$MISMATCH_LOG" ||
    { echo " pixels differ" >>"$MISMATCH_LOG"; return 1; }
}
# Retried: the two games' clocks and animations tick apart, so a moment when both show the same
# frame is awaited.
expect_same() {
  wait_until "$WAIT" same_pixels && return 0
  # ZUM32_WINE_KEEP names a folder that keeps the last pictures of a failed comparison.
  if [[ -n ${ZUM32_WINE_KEEP:-} ]]; then
    mkdir -p "$ZUM32_WINE_KEEP"
    cp "$work"/{ours,wine,diff}.png "$ZUM32_WINE_KEEP/" 2>/dev/null || true
  fi
  fail "$1"
}

step "title screen"
# The title's figure animates on its own: its 32 x 32 square is left out.
MASKS=(245,64,32,32)
expect_same "the title screens differ"

step "Ctrl+N on both"
focus "$OURS"
xdotool key ctrl+n
focus "$WINE"
xdotool key ctrl+n
# The two clocks started apart by the time between the two Ctrl+N; each clock's digits are set
# against those the other showed at any moment (a tick that falls within an explosion is lost, so
# they drift further apart later), the rest of the screen as it is.
CLOCK=16,112,64,16
MASKS=($CLOCK)
expect_same "the new boards differ"
declare -A ours_clocks=() wine_clocks=()
clock_digits() { convert "$1" -crop 64x16+16+112 +repage -depth 8 rgb:- | md5sum | cut -d' ' -f1; }
same_clock_shown() {
  capture_ours && capture_wine || return 1
  ours_clocks[$(clock_digits "$work/ours.png")]=1
  wine_clocks[$(clock_digits "$work/wine.png")]=1
  local h both=0
  for h in "${!ours_clocks[@]}"; do [[ -n ${wine_clocks[$h]:-} ]] && both=$((both + 1)); done
  ((both >= 2))  # two readings: both clocks run
}
wait_until "$WAIT" same_clock_shown || fail "the clocks did not show the same two readings"

# Two safe cells in the top rows to open and to flag, and five bombs inside the board below them,
# so far apart that no explosion reaches another's cell.
safe=() bombs=()
apart() {
  local b bc br
  for b in "${bombs[@]}"; do
    read -r bc br <<<"$b"
    (($1 - bc < 3 && bc - $1 < 3 && $2 - br < 3 && br - $2 < 3)) && return 1
  done
  return 0
}
for ((r = 1; r < 14; r++)); do
  for ((c = 1; c < 14; c++)); do
    if [[ ${BOARD[r]:c:1} == 1 ]]; then
      ((r > 3 && ${#bombs[@]} < 5)) && apart "$c" "$r" && bombs+=("$c $r")
    elif ((r < 3 && ${#safe[@]} < 2)); then
      safe+=("$c $r")
    fi
  done
done
((${#bombs[@]} == 5 && ${#safe[@]} == 2)) || fail "the board has no cells for the clicks"

# A click at the centre of board cell (c, r) of level 2 in both windows, each in its client.
click_both() {
  local c=$1 r=$2 button=$3
  window_geometry "$OURS"
  xdotool mousemove $((X + (8 + c) * 16 + 8)) $((Y + HEIGHT - SIDE + (8 + r) * 16 + 8)) click "$button"
  window_geometry "$WINE"
  xdotool mousemove $((X + (8 + c) * 16 + 8)) $((Y + HEIGHT - WIDTH + (8 + r) * 16 + 8)) click "$button"
}

step "a safe cell opened, a cell flagged"
read -r c r <<<"${safe[0]}"
click_both "$c" "$r" 1
read -r c r <<<"${safe[1]}"
click_both "$c" "$r" 3
expect_same "the opened and the flagged cells differ"

step "a bomb and its explosion"
read -r c r <<<"${bombs[0]}"
click_both "$c" "$r" 1
# The bombs of the bomb row keep animating: their tiles are left out.
MASKS=(32,80,64,16 $CLOCK)
expect_same "the explosion's end differs"

step "four bombs more: game over"
for bomb in "${bombs[@]:1:3}"; do
  read -r c r <<<"$bomb"
  click_both "$c" "$r" 1
  expect_same "the screens differ after the explosion at $c $r"
done
cp "$work/wine.png" "$work/before.png"
read -r c r <<<"${bombs[4]}"
click_both "$c" "$r" 1
# The banner's 192 x 48 pixels at (88, 32) must have come, lest a screen still in play pass.
banner_shown() {
  local changed
  changed=$(compare -metric AE -extract 192x48+88+32 "$work/before.png" "$work/wine.png" null: 2>&1 || true)
  ((${changed%% *} > 1000))
}
ended() { same_pixels && banner_shown; }
# The game-over banner is drawn through its mask from the second sheet, whose colours our
# palette display matches to the nearest colour of the game palette. The bomb row stands still.
MASKS=($CLOCK)
wait_until "$WAIT" ended || fail "no game-over screen, or the two differ"

step "the records dialog"
focus "$WINE"
xdotool key alt+g
wait_until "$WAIT" wine_menu_open || fail "Alt+G opened no menu"
xdotool key "$RECORDS_KEY"
wait_until "$WAIT" wine_dialog >/dev/null || fail "the records dialog did not open"
dialog=$(wine_dialog)
focus "$dialog"
xdotool key Return
wait_until "$WAIT" wine_window_gone "$dialog" || fail "the records dialog did not close"

if [[ $language == ja ]]; then  # the help window's mechanics are the same in English
step "help"
focus "$WINE"
xdotool key ctrl+h
wine_help() { find_window "$TITLE ヘルプ" NORMAL wine_windows; }
wait_until "$WAIT" wine_help >/dev/null || fail "Ctrl+H showed no help window"
fi

step "Exit"
# With the help window in front, the game's menu is opened with the mouse: Wine without a window
# manager gives the keyboard back to a window only when it is clicked.
window_geometry "$WINE"
xdotool mousemove $((X + 24)) $((Y + (HEIGHT - WIDTH) / 2)) click 1
wait_until "$WAIT" wine_menu_open || fail "a click on the menu bar opened no menu"
xdotool key "$EXIT_KEY"
wait_until "$WAIT" game_exited || { [[ -n ${ZUM32_WINE_KEEP:-} ]] && import -window root "$ZUM32_WINE_KEEP/exit.png"; fail "the Windows build did not end after Exit"; }
status=0
wait "$GAME_PID" || status=$?
GAME_PID=
((status == 0)) || fail "the Windows build ended with code $status"
echo "PASS ($SECONDS s)"
