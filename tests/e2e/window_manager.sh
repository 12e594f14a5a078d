#!/usr/bin/env bash
# The game under a real window manager (openbox) in Xvfb, and then under none: the help window
# opens clear of the game on a 1024 x 768 screen with the game centred, and inside a 1920 x 1200
# screen at a scale of 2; the main window keeps its
# size against full screen; a dialog is modal, transient for the game, offers no minimise or
# maximise and does not take the game with it when minimised; once it closes, the game has the
# keyboard again (Alt+G opens its menu without the pointer moving). Message boxes carry the icon.
# Usage: window_manager.sh <zum32 executable> <x11_send helper> <source folder>
set -euo pipefail

game=$1
x11_send=$2
source_dir=$3
# shellcheck source=lib.sh
source "$source_dir/tests/e2e/lib.sh"

make_workspace zum32-wm
WM_PID=
trap '[[ -n $WM_PID ]] && kill "$WM_PID" 2>/dev/null; cleanup_workspace' EXIT

SCREEN_W=1024 SCREEN_H=768
start_xvfb "$work" "${SCREEN_W}x${SCREEN_H}" || fail "Xvfb"

dialog_window() { find_window 'プロパティ' DIALOG; }
# Under a window manager the menu also carries its type: this stricter check replaces lib.sh's.
menu_popup() { local w; for w in $(game_windows); do [[ $(window_type "$w") == DROPDOWN_MENU ]] && return 0; done; return 1; }
has_focus() { [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]]; }
wm_state() { xprop -id "$1" WM_STATE 2>/dev/null | sed -n 's/.*window state: //p'; }
both_shown() { [[ $(wm_state "$1") == Normal && $(wm_state "$2") == Normal ]]; }
managed() { xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='; }

# FX FY FW FH := the window's frame on the screen: its client area from xwininfo, widened by the
# decorations that the window manager reports (none without one).
frame_rect() {
  local info left=0 right=0 top=0 bottom=0 extents
  info=$(xwininfo -id "$1")
  FX=$(sed -n 's/.*Absolute upper-left X: *//p' <<<"$info")
  FY=$(sed -n 's/.*Absolute upper-left Y: *//p' <<<"$info")
  FW=$(sed -n 's/^ *Width: *//p' <<<"$info")
  FH=$(sed -n 's/^ *Height: *//p' <<<"$info")
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ')
  [[ -n $extents ]] && IFS=, read -r left right top bottom <<<"$extents"
  FX=$((FX - left)) FY=$((FY - top)) FW=$((FW + left + right)) FH=$((FH + top + bottom))
}

# The Motif hints of a window forbid minimise and maximise: functions, when given, name neither
# (nor "all but these"); decorations, when given, show neither button.
motif_forbids_min_max() {
  local hints flags functions decorations
  hints=$(xprop -id "$1" _MOTIF_WM_HINTS | sed -n 's/.*= //p' | tr -d ' ')
  [[ -n $hints ]] || return 1
  IFS=, read -r flags functions decorations _ <<<"$hints"
  if ((flags & 1)) && (((functions & 1) || (functions & 0x18))); then return 1; fi
  if ((flags & 2)) && (((decorations & 1) || (decorations & 0x60))); then return 1; fi
  ((flags & 1))
}

# Returns the keyboard to the game and checks it there: Alt+G opens the game's menu.
check_keyboard_back() {
  local what=$1
  wait_until "$WAIT" has_focus "$W" || fail "$what: the focus is on $(xdotool getwindowfocus), not the game"
  xdotool key alt+g
  wait_until "$WAIT" menu_popup || fail "$what: Alt+G opened no menu"
  xdotool key Escape
}

# The help window H's frame (FX, FY, FW, FH) lies inside the screen; and clear of the frame given.
help_inside() { frame_rect "$H" && ((FX >= 0 && FY >= 0 && FX + FW <= SCREEN_W && FY + FH <= SCREEN_H)); }
help_clear() { help_inside && ((FX >= $1 + $3 || FX + FW <= $1 || FY >= $2 + $4 || FY + FH <= $2)); }

# Opens the help with Ctrl+H over the centred game W and checks that it lies clear of the game,
# inside the screen, still of a usable size, with the game's icon.
check_help_beside() {
  local what=$1 gx gy gw gh
  xdotool windowfocus --sync "$W" key ctrl+h
  wait_until "$WAIT" help_window >/dev/null || fail "$what: Ctrl+H opened no help window"
  H=$(help_window)
  wait_until "$WAIT" managed "$H" || fail "$what: openbox did not frame the help window"
  frame_rect "$W"
  gx=$FX gy=$FY gw=$FW gh=$FH
  # The game moves the help after openbox has placed it; a busy machine shows the first place.
  wait_until "$WAIT" help_clear "$gx" "$gy" "$gw" "$gh"
  echo "$what: game frame $gx,$gy ${gw}x$gh; help frame $FX,$FY ${FW}x$FH"
  help_inside || fail "$what: the help window sticks out of the screen"
  help_clear "$gx" "$gy" "$gw" "$gh" || fail "$what: the help window covers the game"
  ((FW >= 240 && FH >= 240)) || fail "$what: the help window shrank to ${FW}x$FH"
  [[ $(xprop -id "$H" _NET_WM_ICON | md5sum) == $(xprop -id "$W" _NET_WM_ICON | md5sum) ]] ||
    fail "$what: the help window does not carry the game's icon"
}

# Moves the game's window W to the middle of the screen, as the player may have put it.
centre_game() {
  local x y
  window_geometry "$W"
  x=$(((SCREEN_W - WIDTH) / 2)) y=$(((SCREEN_H - HEIGHT) / 2))
  xdotool windowmove --sync "$W" "$x" "$y"
  wait_until "$WAIT" bash -c "xwininfo -id $W | grep -q 'Absolute upper-left X: *$x\$'" ||
    fail "the game's window did not move to the middle: $(xwininfo -id "$W" | grep Absolute)"
}

# Opens the properties with Ctrl+P, checks the dialog's hints; the caller closes it.
open_dialog() {
  xdotool key ctrl+p
  wait_until "$WAIT" dialog_window >/dev/null || fail "Ctrl+P opened no dialog"
  D=$(dialog_window)
  wait_until "$WAIT" has_focus "$D" || fail "the dialog did not take the focus"
  local parent
  parent=$(xprop -id "$D" WM_TRANSIENT_FOR | sed -n 's/.*# //p')
  ((parent == W)) || fail "the dialog is transient for '$parent', not the game's window $W"
  xprop -id "$D" _NET_WM_STATE | grep -q _NET_WM_STATE_MODAL || fail "the dialog is not modal"
  motif_forbids_min_max "$D" || fail "the dialog's hints allow minimise or maximise: $(xprop -id "$D" _MOTIF_WM_HINTS)"
}

# Starts openbox and waits until it runs: a window mapped while it is still starting may stay
# unmapped. Its start-up command runs once it has reached its main loop.
start_openbox() {
  rm -f "$work/openbox.ready"
  XDG_CONFIG_HOME=$work/wm-config openbox --sm-disable --startup "touch $work/openbox.ready" \
    >"$work/openbox.log" 2>&1 </dev/null &
  WM_PID=$!
  wait_until "$WAIT" test -e "$work/openbox.ready" || fail "openbox did not start: $(cat "$work/openbox.log")"
}

end_game() {
  kill "$GAME_PID"
  wait_until "$WAIT" game_exited || fail "the game did not end"
  wait "$GAME_PID" 2>/dev/null || true
  GAME_PID=
}

end_openbox() {
  kill "$WM_PID"
  wait "$WM_PID" 2>/dev/null || true
  WM_PID=
}

# ---- Under openbox ----
mkdir -p "$work/config/zum32" "$work/wm-config"
expected_ini >"$work/config/zum32/ZUM32.INI"
start_openbox

echo "-- main window"
start_game "$game" "$work" "$WHEN"
wait_until "$WAIT" main_window >/dev/null || fail "no main window"
W=$(main_window)
wait_until "$WAIT" managed "$W" || fail "openbox did not frame the game's window"
centre_game
hints=$(xprop -id "$W" WM_NORMAL_HINTS)
min=$(sed -n 's/.*minimum size: //p' <<<"$hints")
max=$(sed -n 's/.*maximum size: //p' <<<"$hints")
[[ -n $min && $min == "$max" ]] || fail "the game's size hints are not fixed: $hints"
actions=$(xprop -id "$W" _NET_WM_ALLOWED_ACTIONS)
grep -q MAXIMIZE <<<"$actions" && fail "the game's window may be maximised: $actions"
frame_rect "$W"
before="$FX $FY $FW $FH"
"$x11_send" state "$W" _NET_WM_STATE_FULLSCREEN || fail "could not send the full screen request"
sleep 1
xprop -id "$W" _NET_WM_STATE | grep -q FULLSCREEN && fail "the game's window stayed in full screen"
frame_rect "$W"
[[ "$FX $FY $FW $FH" == "$before" ]] || fail "full screen moved the game's frame from $before to $FX $FY $FW $FH"

echo "-- help window"
check_help_beside "1024 x 768"

echo "-- dialog"
xdotool windowfocus --sync "$W"
open_dialog
actions=$(xprop -id "$D" _NET_WM_ALLOWED_ACTIONS)
grep -q MAXIMIZE <<<"$actions" && fail "the dialog may be maximised: $actions"
# openbox offers minimise to every dialog and would take the game along: both come back.
xdotool windowminimize "$D"
sleep 0.5
wait_until "$WAIT" both_shown "$W" "$D" || fail "minimising the dialog left the game $(wm_state "$W") and the dialog $(wm_state "$D")"
xdotool windowfocus --sync "$D" key Return
wait_until "$WAIT" window_gone "$D" || fail "Return did not close the dialog"
check_keyboard_back "under openbox"
end_game
end_openbox

# ---- With no window manager; a first start, whose message boxes come before the window ----
echo "-- no window manager"
rm -f "$work/config/zum32/ZUM32.INI"
start_game "$game" "$work" "$WHEN"
wait_until "$WAIT" box_window >/dev/null || fail "no message box on a first start"
B=$(box_window)
box_icon=$(xprop -id "$B" _NET_WM_ICON | md5sum)
answer_first_start_boxes
W=$(main_window)
[[ $box_icon == $(xprop -id "$W" _NET_WM_ICON | md5sum) ]] || fail "the message box does not carry the game's icon"
xdotool windowfocus --sync "$W"
open_dialog
xdotool key Return
wait_until "$WAIT" window_gone "$D" || fail "Return did not close the dialog"
check_keyboard_back "with no window manager"
end_game

# ---- Under openbox at a scale of 2 on 1920 x 1200: the help still fits beside the game ----
echo "-- scale 2"
kill "$XVFB_PID"
wait "$XVFB_PID" 2>/dev/null || true
XVFB_PID=
SCREEN_W=1920 SCREEN_H=1200
start_xvfb "$work" "${SCREEN_W}x${SCREEN_H}" || fail "Xvfb at 1920 x 1200"
start_openbox
start_game "$game" "$work" "$WHEN" QT_SCALE_FACTOR=2
wait_until "$WAIT" main_window >/dev/null || fail "no main window at scale 2"
W=$(main_window)
wait_until "$WAIT" managed "$W" || fail "openbox did not frame the game's window at scale 2"
centre_game
check_help_beside "scale 2 on 1920 x 1200"
end_game
echo "PASS"
